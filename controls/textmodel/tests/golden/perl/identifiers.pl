sub name { return main'var; }
use strict; foreach my $i (1..10) {}
