#pragma once
// The values of the options, job and results objects, one row per identifier and kind of object:
// how the value is read and written through each family of the typed Get/Set exports. A missing
// function means the value cannot be read (or written) that way.

#include "engine/ValidatorBaseClass.h"

#include <cstdint>
#include <span>

namespace zel::values {

using Object = ValidatorBaseClass;

// ZELGetInteger / ZELSetInteger / ZELGetString / ZELSetString.
struct ValueRow {
    int32_t id;
    int32_t kind;
    int32_t (*getInteger)(Object&, int32_t&) = nullptr;
    int32_t (*setInteger)(Object&, int32_t) = nullptr;
    const char* (*getString)(Object&) = nullptr;
    int32_t (*setString)(Object&, const char*) = nullptr;
};

// ZELGetInteger2 / ZELSetInteger2 / ZELGetString2: values read or written with an index.
struct IndexedRow {
    int32_t id;
    int32_t kind;
    int32_t (*getInteger)(Object&, int32_t index, int32_t&) = nullptr;
    int32_t (*setInteger)(Object&, int32_t index, int32_t) = nullptr;
    const char* (*getString)(Object&, int32_t index) = nullptr;
};

// ZELGetInteger4 / ZELGetString4: values of the symbols of the last validation.
struct SymbolRow {
    int32_t id;
    int32_t kind;
    int32_t (*getInteger)(Object&, const char* name, int32_t&) = nullptr;
    const char* (*getString)(Object&, int32_t symbol, int32_t valueIndex) = nullptr;
};

// ZELGetFlag / ZELSetFlag: the mask selects bits of a word, or a value of its own.
struct FlagRow {
    int32_t id;
    int32_t kind;
    int32_t (*getFlag)(Object&, int32_t mask) = nullptr;
    int32_t (*setFlag)(Object&, int32_t mask, int32_t value) = nullptr;
};

std::span<const ValueRow> valueRows();
std::span<const IndexedRow> indexedRows();
std::span<const SymbolRow> symbolRows();
std::span<const FlagRow> flagRows();

// Sets (value non-zero) or clears the mask's bits of word.
void applyBits(uint32_t& word, uint32_t mask, int32_t value);

} // namespace zel::values
