int a = 0x1Fu;
long b = 0xzz;
unsigned c = 10UL + 7i64 - 3.5e+2;
