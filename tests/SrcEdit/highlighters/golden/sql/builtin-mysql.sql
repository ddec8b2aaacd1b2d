/* MySQL sample source*/
SET @variable = 1;

CREATE /*!32302 TEMPORARY */ TABLE t (a INT);

CREATE TABLE sample (
        id INT NOT NULL,
        first_name CHAR(30) NOT NULL,
        PRIMARY KEY (id),
        INDEX name (first_name));

SELECT DATE_ADD('1997-12-31 23:59:59',
        INTERVAL 1 SECOND);

# End of sample