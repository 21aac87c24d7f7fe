var h = 0xff, z = 0xg, f = 1.5e-3, n = 0;
