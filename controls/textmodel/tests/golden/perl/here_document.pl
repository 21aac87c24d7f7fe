print <<END;
line one
line two END tail
my $x = 1;
