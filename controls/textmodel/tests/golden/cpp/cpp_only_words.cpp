__int64 big = 0x10LL; inline int f();
