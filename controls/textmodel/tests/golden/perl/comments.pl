# comment
my $n = $#list; # tail
if ($a eq $b) { last; }
