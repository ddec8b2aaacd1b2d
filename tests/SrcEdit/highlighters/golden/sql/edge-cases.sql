-- every dialect reads this text its own way
SELECT a - b, "it""s", `tick``s`, [order details], [a]]b] FROM t;
select 'it''s', 'it\'s', 'C:\\temp\\' AS dir, 'x' 'y';
/*!32302 TEMPORARY */ /* plain */ /*/ still open
*/ # hash comment?
@@ROWCOUNT @name :x rem anything goes
1-2 .5 1..2 3.14 7x
end-exec INT9 Customers DBMS_OUTPUT.PUT_LINE LCR$_ROW_LIST @@ERROR
x <> y <<= z => w == v != u += t || s && r |= q %= p ^ ++
$ \ ? ~ { } ( ) , . ;
'open string
continued' after
/* open
  comment */ done
café naïve € "é"

