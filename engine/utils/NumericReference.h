#pragma once
// Digits of numbers written in text: numeric character references ("&#65;", "&#x41;") and
// percent escapes ("%41").

#include <cstddef>

// The value of a hexadecimal digit (either case), or -1.
int hexDigitValue(char c);

// The value of the n digits of a numeric character reference (what follows "#" or "#x"), in base
// 16 when hex. Growth stops once the value is past limit, so that long digit strings cannot
// overflow: any result above limit means "too large". -1 when there are no digits or a character
// is no digit of the base.
long referenceValue(const char* digits, size_t n, bool hex, long limit);
