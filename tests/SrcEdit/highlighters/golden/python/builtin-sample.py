#!/usr/local/bin/python
import string, sys
""" If no arguments were given, print a helpful message """
if len(sys.argv)==1:
    print 'Usage: celsius temp1 temp2 ...'
    sys.exit(0)