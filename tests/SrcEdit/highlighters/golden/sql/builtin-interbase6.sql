/* Interbase sample source */
SET TERM !! ;

CREATE PROCEDURE HelloWorld(P_MSG VARCHAR(80)) AS
BEGIN
  EXECUTE PROCEDURE WRITELN(:P_MSG);
END !!

SET TERM ; !!