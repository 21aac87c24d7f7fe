#pragma once
// Located strings: every appended piece remembers where in the source it began, so the location
// of any character can be answered after texts were cut, joined and rewritten.

#include "engine/utils/ErrorStore.h"
#include "engine/utils/IntStore.h"
#include "engine/utils/PointerArrayManager.h"
#include "engine/utils/StrStore.h"

#include <cstdint>

class SpecificLocation {
public:
    SpecificLocation() = default;
    SpecificLocation(const SpecificLocation&) = default;
    SpecificLocation& operator=(const SpecificLocation&) = default;
    SpecificLocation(const SpecificLocation& other, int32_t character); // copy with a new character

    int32_t getLength() const { return length_; }
    int32_t getLine() const { return line_; }
    int32_t getCharacter() const { return character_; }
    int32_t getSecondLine() const { return secondLine_; }
    int32_t getPositiveNumber() const { return positive_; }
    int32_t getFreeWord(int32_t flags) const { return (flags & 1) ? free_ : -1; }

    // Keeps the end of the marked text where it was when the start moves.
    void setCharacter(int32_t c);
    void setLength(int32_t n) { length_ = n >= 1 ? n : -1; }
    void setLine(int32_t line) {
        if (line >= -1)
            line_ = line;
    }
    void setSecondLine(int32_t line) {
        if (line >= -1)
            secondLine_ = line;
    }
    void set(int32_t character, int32_t line, int32_t secondLine) {
        setCharacter(character);
        setLine(line);
        setSecondLine(secondLine);
    }
    void advanceLines(int32_t n) {
        line_ += n;
        secondLine_ += n;
    }
    void nextLine() {
        ++line_;
        ++secondLine_;
        character_ = -1;
    }
    void reset(int32_t positive = -1) {
        line_ = 1;
        secondLine_ = 1;
        character_ = -1;
        if (positive >= 1)
            positive_ = positive;
    }
    int32_t setPositiveNumber(int32_t n) {
        if (n < 1)
            return -1000000000;
        positive_ = n;
        return 1;
    }
    void setFreeWord(int32_t value, int32_t flags) {
        if (flags & 1)
            free_ = value;
    }
    bool isKnown() const { return line_ >= 0 || character_ >= 1; }

private:
    int32_t length_ = -1;
    int32_t line_ = -1;
    int32_t character_ = -1;
    int32_t secondLine_ = -1;
    int32_t positive_ = -1;
    int32_t free_ = -1;
};

class StrStoreEx : public StrStore {
public:
    enum Property : int32_t { ReadPosition = 0, SecondPosition = 1, LocationArray = 2 };
    enum LocationMode : int32_t { LocStart = 0, LocToLineEndTrimmed = 1, LocToLineEnd = 2 };

    explicit StrStoreEx(int32_t capacity = 32);
    StrStoreEx(const StrStoreEx& other);
    StrStoreEx(const char* text, const SpecificLocation& location);
    StrStoreEx& operator=(const StrStoreEx& other);
    ~StrStoreEx();

    bool hasLocations() const { return props_.value(LocationArray) == 1; }

    // Appends text[start..end] (inclusive) located at loc. 1, 0 on failure; an empty range does nothing.
    int32_t appendLocated(const char* text, int32_t start, int32_t end, const SpecificLocation& loc);
    int32_t appendLocated(const char* text, const SpecificLocation& loc);
    // The location is given for the piece's end: its character is moved back by the length first.
    int32_t appendLocatedAtEnd(const char* text, const SpecificLocation& loc);
    StrStoreEx& operator<<(const StrStoreEx& other);
    using StrStore::operator<<;

    SpecificLocation getLocation(int32_t index, int32_t mode = LocStart) const;
    SpecificLocation getLocation(const char* pointer, int32_t mode = LocStart) const;
    // Characters start..end with their locations; an empty string on failure (error recorded).
    StrStoreEx getStringWithLoc(int32_t start, int32_t end) const;
    StrStoreEx slice(int32_t start, int32_t count) const;

    // Line reading from the read position; 1 with the line, 0 at the end of the text.
    int32_t nextLine(StrStore& line);
    void skipWhitespace();
    char skipWhitespaceAndTake();
    int32_t getReadPosition() const { return props_.value(ReadPosition); }
    int32_t setReadPosition(int32_t i);
    int32_t getProperty(int32_t p) const { return props_.value(p); }
    void setProperty(int32_t p, int32_t v) { props_.set(p, v); }
    void putBack() { props_.set(ReadPosition, props_.value(SecondPosition)); }

    void clearEx(int32_t flags = 0);
    int32_t assignText(const char* text, int32_t flags = 0);
    int32_t storeLocation(int32_t index, const SpecificLocation& loc);
    int32_t reserveLocations(int32_t n);
    void removeAllLocations(bool force = false);
    int32_t dropFirst(int32_t n);
    enum CollapseFlags : int32_t { SkipEmptyBlock = 2, SkipXmlDeclaration = 4 };
    int32_t collapseBlocks(const char* open, const char* close, const char* replacement, int32_t flags = 0);

    const SpecificLocation* storedLocation(int32_t index) const {
        return static_cast<const SpecificLocation*>(locations_.at(index));
    }

    // Where located strings report their internal errors; none drops them.
    static ErrorStore* errorList;

private:
    static void recordError(int32_t number, const char* format, ...)
#ifdef __GNUC__
        __attribute__((format(printf, 2, 3)))
#endif
        ;
    void setLocationArray(bool on) {
        props_.set(LocationArray, on ? 1 : 0);
    }
    int32_t lastSlot() const {
        return locations_.capacity() - 1;
    }
    void copyFrom(const StrStoreEx& other);
    IntStore props_;
    IntStore second_;
    PointerArrayManager locations_;
    PointerArrayManager* extra1_ = nullptr;
    PointerArrayManager* extra2_ = nullptr;
};
