-- ANSI SQL sample source
SELECT *
FROM planets
WHERE diameter < 13000
  AND name <> 'Earth'