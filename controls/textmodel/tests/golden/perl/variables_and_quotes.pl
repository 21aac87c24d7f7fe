my $s = "a \" b"; my $c = 'q';
print $' . $"x";
