// A line comment with "quotes" and /* an opener
function area(w, h) {
  var s = 'it\'s', t = "a\\", u = """doc""";
  var r = w / h; r /= 2; x = /ab+/g;
  if (r >= 0x1F && r != 0xG || r <= 1.2.3) return null;
  /* a comment over lines
     still inside, "quotes" and // too
  ends here */ i++; j--; k -= 1; p && q || !z;
  a = [1..2, 0x1x, 1e5, .5, ...rest];
  $x = @y # `z` ^ \ ;
  If NaN onLoad onload POSITIVE_INFINITY zzzzzzzzzz;
  document.getElementById("id").title = "café" + 'naïve' + é;
  /**/ /*/
}
*/ done
