#pragma once
// The text model holds code-page 1252 text. A file in a Unicode form (UTF-8, UTF-16, UTF-32) is
// decoded into it when it is read and encoded back when it is written, so that the user sees and
// types real characters. A file whose characters do not all exist in the code page cannot be held
// that way: it keeps its characters as UTF-8 bytes, shown byte for byte as before, and text typed
// into it is held as UTF-8 too, so the file is never damaged.

#include <cstdint>
#include <string>

enum TTextEncoding : uint8_t { teCodePage, teUtf8, teUtf16LE, teUtf16BE, teUtf32LE, teUtf32BE };

struct TFileEncoding {
    TTextEncoding Encoding = teCodePage;
    // The file began with a byte-order mark, and is written with one.
    bool Bom = false;
    // The text holds the file's characters as UTF-8 bytes, not as code-page characters.
    bool HeldAsUtf8 = false;
    // The file announced a Unicode form by its byte-order mark but its bytes are not that form:
    // they are held as they are.
    bool Undecodable = false;

    // Characters of the file that the editor shows as bytes rather than as themselves.
    bool HasUnshownCharacters() const { return HeldAsUtf8 || Undecodable; }
    // The bytes that a typed character becomes in text held this way; false when the text cannot
    // hold it (a character outside the code page in code-page text).
    bool TypedText(uint32_t codePoint, std::string& out) const;
    bool operator==(const TFileEncoding&) const = default;
};

namespace TextCodePage {
// The character of a code-page byte. The five bytes the code page leaves undefined stand for the
// control characters of the same number, so every byte has one character and back.
uint32_t ToUnicode(uint8_t byte);
// The byte of a character; false when the code page has none.
bool FromUnicode(uint32_t codePoint, char& byte);
void AppendUtf8(std::string& out, uint32_t codePoint);
} // namespace TextCodePage

// Decodes a file's bytes into the text a source holds, and says how to write it back.
TFileEncoding DecodeFileText(const std::string& bytes, std::string& text);
// The file's bytes for the text; every line decoded from a file comes back byte for byte.
std::string EncodeFileText(const std::string& text, const TFileEncoding& encoding);
