#include "editor/core/StringArrayStore.h"

#include "engine/utils/QXRegistryEx.h"
#include "framework/core/Strings.h"

#include <cstring>
#include <exception>
#include <new>

namespace {

int deleteString(void* element) {
    delete static_cast<StrStore*>(element);
    return 1;
}

// Every entry sorts after a new one: insertSorted then puts it at the front.
int newGoesFirst(const void*, const void*) {
    return 1;
}

// Length of the part of text before its first "(" (the whole text without one).
size_t prefixLength(const char* text) {
    const char* bracket = std::strchr(text, '(');
    return bracket ? static_cast<size_t>(bracket - text) : std::strlen(text);
}

bool sameEntry(const char* entry, const char* text, int32_t flags) {
    bool exact = (flags & StringArrayStore::AddExact) != 0;
    if (flags & StringArrayStore::AddPrefixBracket) {
        size_t n = prefixLength(text);
        if (std::strlen(entry) < n)
            return false;
        return exact ? std::strncmp(entry, text, n) == 0 : _strnicmp(entry, text, n) == 0;
    }
    return exact ? std::strcmp(entry, text) == 0 : _stricmp(entry, text) == 0;
}

} // namespace

StringArrayStore::StringArrayStore() : PointerArrayManager(deleteString) {}

const char* StringArrayStore::GetText(int32_t i) const {
    const StrStore* s = Get(i);
    return s ? s->getString() : "";
}

bool StringArrayStore::cutToMaximum() {
    if (maximumLength < 0)
        return true;
    while (count() > maximumLength)
        if (!remove(count() - 1, true))
            return false;
    return true;
}

int32_t StringArrayStore::Add(const char* text, int32_t flags) {
    if (!text)
        text = "";
    StrStore* copy = new (std::nothrow) StrStore(text);
    if (!copy || copy->getStringLength() != static_cast<int32_t>(std::strlen(text))) {
        delete copy;
        return 0;
    }
    int32_t index = (flags & AddAtEnd) ? append(copy) : insertSorted(copy, newGoesFirst);
    if (index < 0) {
        delete copy;
        return 0;
    }
    if (flags & AddRemoveEqual) {
        for (int32_t i = count() - 1; i >= 0; --i) {
            if (i == index)
                continue;
            const StrStore* entry = Get(i);
            if (!entry || !sameEntry(entry->getString(), text, flags))
                continue;
            if (flags & AddKeepOldSpelling)
                copy->assign(*entry);
            remove(i, true);
            if (i < index)
                --index;
        }
    }
    if (!(flags & AddNoCut) && !cutToMaximum())
        return 0;
    return 1;
}

int32_t StringArrayStore::ToStrings(TStrings* strings, int32_t flags) const {
    if (!strings)
        return 0;
    if (flags & 1)
        strings->Clear();
    for (int32_t i = 0; i < count(); ++i)
        strings->Add(GetText(i));
    return 0;
}

bool StringArrayStore::TakeFirst(std::string& text) {
    if (count() == 0)
        return false;
    text = GetText(0);
    remove(0, true);
    return true;
}

bool StringArrayStore::ReadFromRegistry(const std::string& key, int32_t, int32_t countWanted) {
    try {
        QXRegistryEx reg(QXRegistryEx::UseFallback);
        bool ok = reg.OpenKey(key, true);
        clear(true);
        if (!ok)
            return false;
        int32_t n = countWanted;
        bool fromStore = false;
        if (n == CountMaximum) {
            n = maximumLength >= 0 ? maximumLength : 0;
        } else if (n == CountStored) {
            n = 0;
            ok = reg.ReadInteger("NumberOfStrings", &n) && ok;
            fromStore = true;
            // The stored count is data like any other: a damaged one must not keep start-up
            // reading absent values for hours.
            if (n < 0)
                n = 0;
            else if (n > StoredCountLimit)
                n = StoredCountLimit;
        }
        char buffer[1024];
        for (int32_t i = 0; i < n; ++i) {
            buffer[0] = 0;
            std::string name = "String" + std::to_string(i);
            ok = reg.ReadString(name, buffer, sizeof buffer, 0) && ok;
            if (buffer[0])
                Add(buffer, AddAtEnd | AddNoCut);
        }
        if (!fromStore)
            ok = cutToMaximum() && ok;
        return ok;
    } catch (const std::exception&) {
        return false;
    }
}

bool StringArrayStore::WriteToRegistry(const std::string& key, int32_t, int32_t countWanted) const {
    try {
        QXRegistryEx reg(QXRegistryEx::UseFallback);
        if (!reg.OpenKey(key, true))
            return false;
        bool ok = true;
        int32_t n = countWanted;
        if (n == CountMaximum) {
            n = maximumLength >= 0 ? maximumLength : count();
        } else if (n == CountStored) {
            n = count();
            ok = reg.WriteInteger("NumberOfStrings", n) && ok;
        }
        for (int32_t i = 0; i < n; ++i) {
            std::string name = "String" + std::to_string(i);
            if (i < count())
                ok = reg.WriteString(name, GetText(i)) && ok;
            else if (reg.ValueExists(name))
                ok = reg.DeleteValue(name) && ok;
        }
        return ok;
    } catch (const std::exception&) {
        return false;
    }
}
