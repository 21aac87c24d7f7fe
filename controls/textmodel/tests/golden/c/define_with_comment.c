#include <stdio.h> /* io */
#define N 10 // ten
return N;
