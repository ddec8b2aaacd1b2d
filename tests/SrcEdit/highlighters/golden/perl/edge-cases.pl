#!/usr/bin/perl -w
use strict; use vars qw($x @list %seen);
print $x if $y;
@ARGV %INC @argv If if $ARGV $FORMAT_LINE_BREAK_CHARACTERS
$_ $! $^W $, $^X $^ $_name $10 $; $@
$a =~ s/x/y/; $b !~ m{z};
"a\\" b "c\" d" "e\\\" f" """"inner" "" 'x'
'single \' quote' 'x#y'
1e5 1-2 1e-5 0x1F 1_000 12ab 1..9 .5 $a . $b $c.=$d ...
# comment "not a string"
"a # not comment" # comment
=head1 NAME
$a **= 2; $b ||= 3; $c &&= 4; $d <=> $e; $f -> g; a::b; $h >>= 1; $i <<= 2;
x= x % y %= z
x
%
`backtick` café 
"unclosed
sub eq ne lt cmp and or not xor constant locale
