#pragma once
// Registry access with a fallback: a setting the current user has never written is taken from
// the default user's copy of the same key (HKEY_USERS\.DEFAULT), and what is read that way, or the
// caller's default, is written back into the current user's key at once.

#include "engine/utils/StrStore.h"
#include "framework/core/Registry.h"

#include <cstdint>
#include <string>

class QXRegistryEx : public TRegistry {
public:
    enum Flags : uint32_t {
        UseFallback = 1,  // build and consult the default user's hive
        FallbackOpen = 2, // the fallback key is open for the key currently open
    };
    // String read flags.
    enum ReadFlags : uint32_t { WriteBack = 1, NotWhenEmpty = 2 };

    explicit QXRegistryEx(uint32_t flags = 0);
    ~QXRegistryEx() override;
    QXRegistryEx(const QXRegistryEx&) = delete;
    QXRegistryEx& operator=(const QXRegistryEx&) = delete;

    // Opens (or creates) the key under the own root; true when that succeeded. With the fallback
    // on and the root HKEY_CURRENT_USER the same key below HKEY_USERS\.DEFAULT is opened too,
    // read-only and never created; its outcome does not change the result.
    bool OpenKey(const std::string& key, bool canCreate);
    bool OpenKeyReadOnly(const std::string& key);

    // Reads keep the value passed in as the default. A missing value is taken from the fallback
    // when it has it; integers and booleans then write the result back (strings with WriteBack,
    // and with NotWhenEmpty only a non-empty text). A value of the wrong type keeps the default
    // and is left alone. Integers stored as decimal text are converted. Always true.
    bool ReadBool(const std::string& name, bool* value);
    bool ReadInteger(const std::string& name, int32_t* value);
    bool ReadString(const std::string& name, char* buffer, int32_t bufferSize, uint32_t flags);
    bool ReadString(const std::string& name, StrStore* text, uint32_t flags);

    // Writes through the base class, whose exception reports a refused write. True.
    bool WriteBool(const std::string& name, const bool* value);
    bool WriteInteger(const std::string& name, int32_t value);
    bool WriteString(const std::string& name, const char* text);
    bool WriteStrStore(const std::string& name, const StrStore& text);
    bool DeleteKey(const std::string& name);
    bool DeleteValue(const std::string& name);

    uint32_t flags() const { return flags_; }
    QXRegistryEx* fallback() const { return fallback_; }

private:
    bool openFallback(const std::string& key);
    bool fallbackUsable() const;
    QXRegistryEx* fallback_ = nullptr; // owned
    uint32_t flags_;
};

// Direct registry helpers beside the class (the file-association code uses them).

// 1 when the key is gone afterwards (or was never there), 0 when it could not be deleted.
int32_t DeleteRegistryKey(HKEY root, const char* subKey);
// The value as bytes, zero-terminated, in a buffer the caller frees with free(); NULL when it
// cannot be read. With create set and size 0 a missing value is first written as defaultText.
char* QueryRegistryValue(const char* valueName, const char* defaultText, HKEY root, const char* subKey,
                         int32_t create, int32_t size);
// Reads a string value into text (its current text is the default written by create); 1 when a
// value was read, else 0.
int32_t ReadRegistryString(const char* valueName, StrStore* text, int32_t create, HKEY root,
                           const char* subKey);
// Creates or opens the key and sets the value when a name and data are given; size 0 with
// REG_SZ means the text and its terminator. 1, or 0 when the key or the value cannot be made.
int32_t WriteRegistryValue(const char* valueName, const void* data, HKEY root, const char* subKey, DWORD type,
                           DWORD size);
