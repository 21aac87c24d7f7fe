#pragma once
// The family's records in streams: short strings, little-endian numbers, length-prefixed strings; and the
// "clear" point.

#include <cstdint>
#include <string>

#include "framework/core/Win.h"

class TStream;

// A length byte, then at most 255 characters.
void WriteShortStr(TStream& Stream, const std::string& S);
void WriteInt(TStream& Stream, int32_t Value);
void WriteWord(TStream& Stream, uint16_t Value);
// Reads a length byte and that many characters at P, and moves P past them. End bounds the
// bytes that may be read: a record running past it raises EReadError.
std::string PReadShortStr(const uint8_t*& P, const uint8_t* End);
// A 32-bit length, then the characters.
void HSWriteStrWithLenToStream(TStream& Stream, const std::string& S);
// Raises EReadError for a length that is negative or longer than what the stream holds.
std::string HSReadStrWithLenFromStream(TStream& Stream);
void HSClearPointStruct(POINT& P);
bool HSIsPointStructClear(const POINT& P);
