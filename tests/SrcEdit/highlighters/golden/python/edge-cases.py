#!/usr/bin/env python
def f(self, *args):
    """Doc string
    over lines \""" still
    done""" + x
    s = 'one \
two' + "x" + "a \
" + 'end'
    r'raw' u"uni" ur'both' UR"BOTH" rx'y' b'bytes'
    __init__ __a__ ____ ___x___ __future__ __x_
    None True False none true print self
    x = 123 + 0x1F + 0x1fL + 017 + 017L + 1.5 + .5 + 1e10 + 1e-3 + 3j + 019.5 + 09e1
    y = 10L + 019 + 1.2.3 + 0x1.2 + 1e + 12abc + 1.e5 + 0x + 0.5j + 1e5e
    z = a[1:...] ... .. a.b <> <= >= == ** 1...
    '\\' "\\\"" '\'' '''a\''' b''' "\\
    $ ? @ ` café €
'''single
triple''' """two
""" "open
after
