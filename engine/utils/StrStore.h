#pragma once
// The program's own growable 8-bit string: one owned, always zero-terminated buffer with its
// length and capacity. Never throws: an allocation failure returns the documented code and keeps
// the old text.

#include <cstdint>
#include <cstdio>

class StrStore {
public:
    explicit StrStore(int32_t capacity = 32);
    StrStore(const char* text); // NOLINT: implicit on purpose, texts are passed everywhere
    StrStore(const StrStore& other);
    StrStore(const char* word, int32_t count); // "word" or "words" by count
    ~StrStore();

    StrStore& operator=(const StrStore& other);
    StrStore& operator=(const char* text);

    // Assignment; each returns 1, or 0 when the buffer could not be had (old text kept).
    int32_t assign(const char* text);
    int32_t assign(const char* text, int32_t n); // at most the first n characters
    int32_t assign(const StrStore& other);
    int32_t assignChar(char c);
    int32_t assignInt(int32_t value);

    // Buffer of exactly n bytes at least; the text becomes n - 1 characters (filled with fill
    // when fill >= 0). 1, 0 for n < 1, -1000000000 on allocation failure.
    int32_t setStringLength(int32_t n, int fill = -1);
    void clear();

    // Appending; 1 on success, 0 on allocation failure. NULL or empty appends nothing.
    int32_t append(const char* text);
    int32_t append(const char* text, int32_t n);
    int32_t append(const StrStore& other);
    int32_t appendChar(char c);
    int32_t appendInt(int32_t value);
    StrStore& operator<<(const char* text) {
        append(text);
        return *this;
    }
    StrStore& operator<<(const StrStore& other) {
        append(other);
        return *this;
    }
    StrStore& operator<<(char c) {
        appendChar(c);
        return *this;
    }
    StrStore& operator<<(int32_t value) {
        appendInt(value);
        return *this;
    }

    const char* getString() const { return data_; }
    char* getBuffer() { return data_; }
    int32_t getStringLength() const { return length_; }
    int32_t getCapacity() const { return capacity_; }
    bool isEmpty() const { return length_ == 0; }

    // Comparison and search.
    bool equals(const char* text) const;
    bool differs(const char* text) const { return !equals(text); }
    bool differs(const StrStore& other) const;
    bool operator==(const char* text) const { return equals(text); }
    bool operator==(const StrStore& other) const { return !differs(other); }
    bool isZero() const { return equals("0"); }
    char charAt(int32_t i) const; // 0 outside 0..length (the terminator at length)
    enum FindFlags : int32_t { FindCaseBlind = 4, FindEndsWith = 2 };
    int32_t find(const char* pattern, int32_t flags = 0) const; // index, -1, 0 for NULL
    static int32_t findCaseBlind(const char* text, const char* pattern, bool last = false);
    bool containsChar(char c) const;
    bool containsUpperCase() const;

    // Editing.
    int32_t replaceChar(char from, char to);
    int32_t replace(const char* pattern, const char* replacement, bool caseBlind = false);
    int32_t replaceDelimited(const char* startMarker, const char* endMarker, const char* replacement);
    enum TrimMode : int32_t { TrimBoth = 0, TrimLeading = 1, TrimTrailing = 2 };
    void trim(int32_t mode = TrimBoth);
    void keepPrintable();
    enum CollapseFlags : int32_t { CollapseKeepQuoted = 1 };
    void collapseWhitespace(int32_t flags = 0);
    int32_t removeLast(int32_t n);
    int32_t removeLeadingBlanksAndBars();
    bool removeSuffix(const char* suffix);
    enum EntityFlags : int32_t { EntityCountUndecoded = 2 };
    int32_t decodeEntities(int32_t flags = 0);
    int32_t decodeBackslashEscapes();
    StrStore substring(int32_t start, int32_t end) const; // characters start..end inclusive

    // File names.
    enum ExtensionFlags : int32_t { ExtStopAtBackslash = 1, ExtStopAtAnySlash = 2, ExtUrl = 4 };
    StrStore extension(int32_t flags = 0) const;
    int32_t toParent(int32_t separatorMode); // 1 "\", 2 "/": 1 cut, 0 not, -1 bad mode
    // Cuts the buffer at its last backslash: flag 1 removes the backslash, 0 keeps it. 1 cut, 0 none.
    static int32_t folderPart(char* buffer, int32_t flags);
    // Appends "." + extension when the name has none; flag 1: not when the name is an existing folder.
    int32_t addDefaultExtension(const char* extension, int32_t flags = 0);

    // Editor services.
    int32_t urlDecode(int32_t flags = 0); // 1 when nothing needed decoding
    void urlEncode();
    // position: index into the text (moved past the name); flags 2: start at 0.
    int32_t nextTagName(int32_t* position, StrStore& name, int32_t flags = 0) const;
    static bool listContains(const char* commaList, const char* item);

    // Stored form in the configuration file: marker 1, length 0..100000, the characters.
    // 1 on success, 0 on a bad marker, bad length or short read.
    int32_t read(FILE* stream);

private:
    int32_t grow(int32_t extra); // room for length + extra + 1, with the stepped surplus
    int32_t replaceBuffer(int32_t capacity);
    char* data_;
    int32_t length_;
    int32_t capacity_;
};

// The Latin-1 named character references, for the characters 160 to 255 in order.
extern const char* const latin1EntityNames[96];
