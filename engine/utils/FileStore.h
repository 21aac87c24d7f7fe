#pragma once
// A text held as a list of lines: a whole file loaded at once, or lines added one by one.
// Failures record one numbered error and leave the store empty (loads) or unchanged (adds).

#include "engine/utils/ErrorStore.h"
#include "engine/utils/IntStore.h"
#include "engine/utils/PointerArrayManager.h"
#include "engine/utils/StrStore.h"
#include "engine/utils/StrStoreEx.h"
#include "engine/utils/TextArena.h"

#include <cstdint>
#include <cstdio>
#include <deque>
#include <vector>

class FileStore {
public:
    static constexpr int32_t LoadFailed = -1000000000;
    enum Property : int32_t { FileSize = 0, CurrentLine = 1, Continuation = 2 };

    FileStore();
    ~FileStore();
    FileStore(const FileStore&) = delete;
    FileStore& operator=(const FileStore&) = delete;

    int32_t loadFile(const char* name, const char* mode = "rb");
    int32_t load(FILE* stream, bool close);
    // 0, -1 when a line cannot be stored, -2 when a continuation has no line to continue.
    // flag 1: the next text added continues the last line.
    int32_t addLine(const char* text, int32_t flag = 0);
    int32_t addLine(StrStore* line, int32_t flag = 0); // takes the string; frees it on failure

    const char* line(int32_t i, SpecificLocation* location = nullptr);
    const char* lineTabsAsBlanks(int32_t i, SpecificLocation* location = nullptr);
    const char* lineNoMove(int32_t i);
    // Line i (0-based) without moving the current line; nullptr when out of range.
    const char* lineAt(int32_t i) const;
    const char* nextLine(int32_t* atEnd, SpecificLocation* location = nullptr);
    int32_t lineCount() const { return static_cast<int32_t>(lines_.size()); }
    int32_t totalCharacters(int32_t flags = 0) const;
    void recomputeLengths();
    int32_t write(FILE* stream, const char* lineEnd) const;
    int32_t save(const char* name, const char* mode, const char* lineEnd) const;
    void clear();
    void resetLocation();

    const ErrorStore& errors() const { return errors_; }
    const StrStore& fileName() const { return fileName_; }
    int32_t property(int32_t p) const { return props_.value(p); }
    const char* currentText() const { return current_; }
    // Where a loaded file held a NUL character, the first of each line (line and character from
    // 1, in line order); the text holds a blank in its place.
    struct Position {
        int32_t line;
        int32_t character;
    };
    const std::vector<Position>& nulCharacters() const { return nulCharacters_; }
    const SpecificLocation& currentLocation() const { return location_; }

private:
    int32_t fail(int32_t number, const char* text);
    int32_t appendNew(const char* text, int32_t n);
    const char* current_;
    IntStore props_;
    ErrorStore errors_;
    StrStore fileName_;
    StrStoreEx whole_;
    StrStoreEx lineBuffer_;
    SpecificLocation location_;
    // The lines' text, packed; a line already handed out stays readable until the store is
    // cleared (a continued last line is read from its new place from then on).
    TextArena text_;
    // Each line's place in the text: four bytes a line, and a deque, so that a long listing's
    // index is never copied whole as it grows.
    std::deque<uint32_t> lines_;
    bool setLast(const char* text, bool add);
    bool decodeWholeText();
    std::vector<size_t> replaceNulCharacters();
    std::vector<Position> nulCharacters_;
};
