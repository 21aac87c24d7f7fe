#pragma once
// Text files in a Unicode form of two or four bytes a character, known by their byte-order mark,
// turned into the 8-bit text the engine checks: code page 1252 when every character has a place
// there (one byte a character, so positions are the characters the user sees), else UTF-8.

#include <string>

namespace zel::text {

enum class UnicodeForm { None, Utf16LE, Utf16BE, Utf32LE, Utf32BE };

// The form the text's byte-order mark names; None without one.
UnicodeForm unicodeForm(const char* bytes, size_t size);

// Replaces bytes (without their mark) in the given form by 8-bit text. A unit cut off at the end
// and a code that names no character become U+FFFD. False when the text does not fit in memory.
bool decodeUnicode(std::string& bytes, UnicodeForm form);

} // namespace zel::text
