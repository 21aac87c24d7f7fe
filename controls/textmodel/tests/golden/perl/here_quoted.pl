print <<"EOT" . "x";
body EOT
print <<'A_B';
A_B
$y << 2;
