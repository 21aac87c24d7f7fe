char *s = "say \"hi\"\\";
char c = '\'';
char *u = "open
