/* block
   comment */ var a = 1; // tail
x = a / 2;
