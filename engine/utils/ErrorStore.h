#pragma once
// One numbered error text. With the keep-first flag a later error does not replace the first.

#include "engine/utils/StrStore.h"

#include <cstdint>

class ErrorStore {
public:
    enum Flags : int32_t { KeepFirst = 1 };
    explicit ErrorStore(int32_t flags = 0);

    // Formats up to four arguments into the text ("%s" arguments that are NULL count as empty).
    int32_t set(int32_t number, const char* text);
    int32_t setf(int32_t number, const char* format, const char* s1 = nullptr, const char* s2 = nullptr,
                 const char* s3 = nullptr, const char* s4 = nullptr);
    int32_t setfi(int32_t number, const char* format, const char* s1, int32_t i1, int32_t i2 = 0);
    int32_t setfii(int32_t number, const char* format, int32_t i1, int32_t i2 = 0, int32_t i3 = 0,
                   int32_t i4 = 0);
    void clear();
    void reset(int32_t flags);

    int32_t number() const { return number_; }
    int32_t flags() const { return flags_; }
    const StrStore& text() const { return text_; }
    // "number: text" in one buffer shared by every store; valid until the next call.
    const char* displayText() const;

private:
    bool refuse() const { return (flags_ & KeepFirst) && number_ != 0; }
    int32_t number_;
    int32_t flags_;
    StrStore text_;
};
