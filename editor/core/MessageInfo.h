#pragma once
// One validation message as the editor keeps it.

#include "engine/utils/StrStore.h"

#include <cstdint>

class fileinfoclass;

class msginfoclass {
public:
    msginfoclass() = default;
    ~msginfoclass();
    msginfoclass(const msginfoclass&) = delete;
    msginfoclass& operator=(const msginfoclass&) = delete;

    int32_t character = -1; // 15002
    int32_t length = -1;    // 15003
    int32_t savedLineStyle = -1;
    int32_t flagWord = -1;  // 15005
    int32_t extraWord = -1; // 15014
    int32_t index = -1;     // 1-based
    int32_t bookmark = -1;  // 100..255
    StrStore text;          // 12001
    int32_t kind = -1;      // 15000: 1 error, 2 warning, 3 comment, 4 message
    int32_t line = -1;      // 15001, 1-based
    int32_t image = -1;     // 0 error, 1 warning, 2 message, 3 comment
    int32_t listed = 0;
    StrStore kindName;  // "Error", "Warning", "Comment", "Message"
    StrStore lineText;  // the line as decimal text, empty below 1
    StrStore groupText; // 12004
    fileinfoclass* owner = nullptr;
    int32_t groupWord = 0; // 15013

    bool IsErrorOrWarning() const { return kind == 1 || kind == 2; }
};

// Bookmarks 100 to 255 are the messages'; the user's own are 1 to 10.
constexpr int32_t FirstMessageBookmark = 100;
constexpr int32_t LastMessageBookmark = 255;
// Whether the bookmark warning was shown in this run (tests reset it).
extern bool BookmarkWarningShown;
