package org.example;
If NULL True if null true synchronized goto const
$x café_naïve a×b x÷y _1 $ 
obj.field 3.5 .5e-3 1...2 0x1F 10L 1.5e-3 1-2 1e+5 a.b
a >>>= b >>> c >>= d -> e && f &= g || h |= i != j == k %= l ^= m <<= n ++ --
/* block
   over lines */ int x;
/** doc
 * still */ int z;
/**/ int y; /*/ still open

*/ "str\"ing" 'c' '\'' '\\' "unterminated
# @ \ `
// line comment /* not open
@Override public void run() { }
