#!/bin/perl
require "cgi-lib.pl";
use sigtrap;
do 'envars.pl';
$_ = $password1;
sub WriteBack {
        while ($_ ne "fred")    {
                sleep 5;
        }
}