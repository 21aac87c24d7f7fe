#pragma once
// Character tests over ASCII only. Parsers and file formats must read the same bytes the same way
// on every machine; the C library's tests follow the locale for bytes above 127.

// Space, tab, the line breaks, form feed and vertical tab.
constexpr bool IsAsciiBlank(char C) {
    return C == ' ' || C == '\t' || C == '\r' || C == '\n' || C == '\f' || C == '\v';
}
constexpr bool IsAsciiDigit(char C) {
    return C >= '0' && C <= '9';
}
constexpr bool IsAsciiHexDigit(char C) {
    return IsAsciiDigit(C) || (C >= 'a' && C <= 'f') || (C >= 'A' && C <= 'F');
}
// The value of a hexadecimal digit, -1 for any other character.
constexpr int AsciiHexValue(char C) {
    if (IsAsciiDigit(C))
        return C - '0';
    if (C >= 'a' && C <= 'f')
        return C - 'a' + 10;
    if (C >= 'A' && C <= 'F')
        return C - 'A' + 10;
    return -1;
}
constexpr bool IsAsciiLetter(char C) {
    return (C >= 'a' && C <= 'z') || (C >= 'A' && C <= 'Z');
}
constexpr bool IsAsciiAlnum(char C) {
    return IsAsciiLetter(C) || IsAsciiDigit(C);
}
// Letters, digits and "_": what an identifier is made of in the languages the editor colours.
constexpr bool IsIdentChar(char C) {
    return IsAsciiAlnum(C) || C == '_';
}
