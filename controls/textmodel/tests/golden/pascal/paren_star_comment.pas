(* one line *) a := b;
(* spans
   lines *) c;
(x)
