/* SQL Server2000 example source */
SET QUOTED_IDENTIFIER ON
GO
SET ANSI_NULLS OFF
GO

/* Object:  Stored Procedure dbo.sp_PPQInsertOrder */
CREATE PROCEDURE sp_PPQInsertOrder
  @Name    varchar(25),
  @Address varchar(255),
  @ZipCode varchar(15)
AS
  INSERT INTO PPQOrders(Name, Address, ZipCode, OrderDate)
  VALUES (@Name, @Address, @ZipCode, GetDate())

  SELECT SCOPE_IDENTITY()
GO