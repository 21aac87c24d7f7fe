begin { comment that
  goes on } x := 1;
end.
