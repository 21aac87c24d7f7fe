#include "engine/utils/NumericReference.h"

int hexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

long referenceValue(const char* digits, size_t n, bool hex, long limit) {
    if (n == 0)
        return -1;
    long value = 0;
    for (size_t i = 0; i < n; ++i) {
        const int digit =
            hex ? hexDigitValue(digits[i]) : (digits[i] >= '0' && digits[i] <= '9' ? digits[i] - '0' : -1);
        if (digit < 0)
            return -1;
        if (value <= limit)
            value = value * (hex ? 16 : 10) + digit;
    }
    return value;
}
