#pragma once
// A bounded most-recently-used list of strings, kept in a registry key as "NumberOfStrings" and
// the values "String0", "String1", ...

#include "engine/utils/PointerArrayManager.h"
#include "engine/utils/StrStore.h"

#include <cstdint>
#include <string>

class TStrings;

class StringArrayStore : public PointerArrayManager {
public:
    enum AddFlags : int32_t {
        AddRemoveEqual = 2,   // remove every other entry equal to the new one
        AddExact = 4,         // ... compared exactly (else ignoring case)
        AddPrefixBracket = 8, // ... comparing only the part before the first "("
        AddKeepOldSpelling = 16,
        AddAtEnd = 32,
        AddNoCut = 64,
    };
    // Counts of ReadFromRegistry and WriteToRegistry.
    static constexpr int32_t CountMaximum = -1;
    static constexpr int32_t CountStored = -2;
    // The most entries a stored "NumberOfStrings" is believed for.
    static constexpr int32_t StoredCountLimit = 10000;

    StringArrayStore();

    int32_t maximumLength = 20; // negative: unlimited

    // 1, or 0 when the copy could not be made or stored, or the list could not be cut.
    int32_t Add(const char* text, int32_t flags);
    int32_t ToStrings(TStrings* strings, int32_t flags) const;
    bool ReadFromRegistry(const std::string& key, int32_t reserved, int32_t count);
    bool WriteToRegistry(const std::string& key, int32_t reserved, int32_t count) const;

    int32_t Count() const { return count(); }
    // Entry i, or null.
    const StrStore* Get(int32_t i) const { return static_cast<const StrStore*>(at(i)); }
    const char* GetText(int32_t i) const; // "" for a missing entry
    // Takes the first entry out of the list; false when the list is empty.
    bool TakeFirst(std::string& text);
    void Clear() { clear(true); }

private:
    bool cutToMaximum();
};
