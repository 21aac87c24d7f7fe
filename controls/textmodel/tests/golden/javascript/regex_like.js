if (a < b && c > d) { return a/b/c; }
