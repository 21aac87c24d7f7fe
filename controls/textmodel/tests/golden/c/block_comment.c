int f(void) /* starts
   goes on
   ends */ { return 0; }
