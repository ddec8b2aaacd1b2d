/* Ingres example source */
DELETE
FROM t1
WHERE EXISTS
(SELECT t2.column1, t2.column2
FROM t2
WHERE t1.column1 = t2.column1 and
t1.column2 = t2.column2)