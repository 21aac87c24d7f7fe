#include "engine/utils/StrStoreEx.h"
#include "engine/utils/CharClasses.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <vector>

namespace {

using zel::chars::isBlank;

int deleteLocation(void* p) {
    delete static_cast<SpecificLocation*>(p);
    return 1;
}

void* copyLocation(const void* p) {
    return new (std::nothrow) SpecificLocation(*static_cast<const SpecificLocation*>(p));
}

} // namespace

ErrorStore* StrStoreEx::errorList = nullptr;

void StrStoreEx::recordError(int32_t number, const char* format, ...) {
    if (!errorList)
        return;
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string text(n > 0 ? static_cast<size_t>(n) : 0, '\0');
    if (n > 0)
        std::vsnprintf(text.data(), text.size() + 1, format, args);
    va_end(args);
    errorList->set(number, text.c_str());
}

SpecificLocation::SpecificLocation(const SpecificLocation& other, int32_t character)
    : SpecificLocation(other) {
    setCharacter(character);
}

void SpecificLocation::setCharacter(int32_t c) {
    int32_t fresh = c >= 1 ? c : -1;
    if (length_ >= 1 && character_ >= 1 && fresh >= 1)
        setLength(length_ + character_ - fresh);
    character_ = fresh;
}

StrStoreEx::StrStoreEx(int32_t capacity) : StrStore(capacity), locations_(deleteLocation) {
    props_.resize(3, -1);
    props_.set(ReadPosition, 0);
    props_.set(LocationArray, 0);
    locations_.setCopier(copyLocation);
}

StrStoreEx::StrStoreEx(const StrStoreEx& other) : StrStoreEx(1) {
    copyFrom(other);
}

StrStoreEx::StrStoreEx(const char* text, const SpecificLocation& location) : StrStoreEx(32) {
    appendLocated(text, location);
}

StrStoreEx& StrStoreEx::operator=(const StrStoreEx& other) {
    if (this != &other)
        copyFrom(other);
    return *this;
}

StrStoreEx::~StrStoreEx() {
    delete extra1_;
    delete extra2_;
}

void StrStoreEx::copyFrom(const StrStoreEx& other) {
    assign(other);
    props_ = other.props_;
    second_ = other.second_;
    locations_.clear(true);
    int32_t n = other.locations_.capacity();
    for (int32_t i = 0; i < n; ++i)
        if (const SpecificLocation* loc = other.storedLocation(i))
            locations_.setPointer(i, new SpecificLocation(*loc), true, true);
}

int32_t StrStoreEx::appendLocated(const char* text, int32_t start, int32_t end, const SpecificLocation& loc) {
    if (!text || start < 0 || end < start)
        return 1;
    int32_t len = static_cast<int32_t>(std::strlen(text));
    if (start >= len)
        return 1;
    if (end >= len)
        end = len - 1;
    setLocationArray(true);
    if (!locations_.setPointer(getStringLength(), new SpecificLocation(loc), true, true))
        return 0;
    return append(text + start, end - start + 1);
}

int32_t StrStoreEx::appendLocated(const char* text, const SpecificLocation& loc) {
    return text ? appendLocated(text, 0, static_cast<int32_t>(std::strlen(text)) - 1, loc) : 1;
}

int32_t StrStoreEx::appendLocatedAtEnd(const char* text, const SpecificLocation& loc) {
    int32_t len = text ? static_cast<int32_t>(std::strlen(text)) : 0;
    SpecificLocation start(loc);
    if (start.getCharacter() >= 1)
        start.setCharacter(start.getCharacter() - len);
    return appendLocated(text, start);
}

StrStoreEx& StrStoreEx::operator<<(const StrStoreEx& other) {
    if (&other == this) {
        StrStoreEx copy(other);
        return *this << copy;
    }
    int32_t oldLength = getStringLength();
    bool both = hasLocations() && other.hasLocations();
    append(static_cast<const StrStore&>(other));
    if (both) {
        int32_t n = other.locations_.capacity();
        for (int32_t i = 0; i < n && i < other.getStringLength(); ++i)
            if (const SpecificLocation* loc = other.storedLocation(i))
                locations_.setPointer(oldLength + i, new SpecificLocation(*loc), true, true);
    } else {
        std::string text = "StrStoreEx::operator<<: a STRSTOREEXLOCARRAY is FALSE";
        if (!hasLocations())
            text += " (left is not)";
        if (!other.hasLocations())
            text += " (right is not)";
        recordError(9806041, "%s", text.c_str());
        setLocationArray(false);
    }
    return *this;
}

SpecificLocation StrStoreEx::getLocation(int32_t index, int32_t mode) const {
    if (!hasLocations()) {
        recordError(9806042, "StrStoreEx::getLocation(): STRSTOREEXLOCARRAY is FALSE, string is %s",
                    getString());
        return SpecificLocation();
    }
    int32_t length = getStringLength();
    if (index < 0 || index > length) {
        recordError(
            9806043,
            "StrStoreEx::getLocation(): (index<0) || (index>=getStringLength()), string is %s, index is %d",
            getString(), static_cast<int>(index));
        return SpecificLocation();
    }
    int32_t slot = index < lastSlot() ? index : lastSlot();
    while (slot >= 0 && !storedLocation(slot))
        --slot;
    if (slot < 0)
        return SpecificLocation();
    SpecificLocation loc(*storedLocation(slot));
    if (loc.getCharacter() >= 1)
        loc.setCharacter(loc.getCharacter() + (index - slot));
    if ((mode == LocToLineEndTrimmed || mode == LocToLineEnd) && length >= 1) {
        if (length == 1) {
            loc.setLength(1);
            return loc;
        }
        int32_t end = length - 1;
        for (int32_t j = index + 1; j <= end && j <= lastSlot(); ++j) {
            const SpecificLocation* next = storedLocation(j);
            if (next && next->getLine() != loc.getLine()) {
                end = j - 1;
                break;
            }
        }
        if (end < index)
            end = index;
        if (mode == LocToLineEndTrimmed)
            while (end > index && isBlank(getString()[end]))
                --end;
        loc.setLength(end - index + 1);
    }
    return loc;
}

SpecificLocation StrStoreEx::getLocation(const char* pointer, int32_t mode) const {
    if (!pointer) {
        recordError(9806044, "StrStoreEx::getLocation(const char *): ptr is NULL");
        return SpecificLocation();
    }
    const char* text = getString();
    if (pointer < text || pointer > text + getStringLength() - 1) {
        // A pointer outside the text is never read, not even to report it.
        recordError(9806045,
                    "StrStoreEx::getLocation(const char *): (ptr<getString()) || "
                    "(ptr>(getString()+getStringLength()-1)), ptr is %s, string is %s, stringlength is %d",
                    "(outside the string)", text, static_cast<int>(getStringLength()));
        return SpecificLocation();
    }
    return getLocation(static_cast<int32_t>(pointer - text), mode);
}

StrStoreEx StrStoreEx::getStringWithLoc(int32_t start, int32_t end) const {
    StrStoreEx out(1);
    int32_t length = getStringLength();
    if (start < 0 || start > length || end < -1 || end >= length) {
        recordError(
            9806046,
            "StrStoreEx::getStringWithLoc(): start and/or end not in string, start is %s, string is %s, "
            "stringlength is %d",
            start >= 0 && start <= length ? getString() + start : "(outside the string)", getString(),
            static_cast<int>(length));
        return out;
    }
    if (end < start - 1) {
        recordError(9806047, "StrStoreEx::getStringWithLoc(): end<(start-1)");
        return out;
    }
    if (!hasLocations()) {
        recordError(9806048,
                    "StrStoreEx::getStringWithLoc(): STRSTOREEXLOCARRAY is FALSE, start is %s, string is %s, "
                    "stringlength is %d",
                    getString() + start, getString(), static_cast<int>(length));
        return out;
    }
    out.assign(getString() + start, end - start + 1);
    out.setLocationArray(true);
    if (end >= start) {
        if (!storedLocation(start)) {
            SpecificLocation first = getLocation(start, LocStart);
            if (first.isKnown())
                out.locations_.setPointer(0, new SpecificLocation(first), true, true);
        }
        for (int32_t i = start; i <= end && i <= lastSlot(); ++i)
            if (const SpecificLocation* loc = storedLocation(i))
                out.locations_.setPointer(i - start, new SpecificLocation(*loc), true, true);
    }
    return out;
}

StrStoreEx StrStoreEx::slice(int32_t start, int32_t count) const {
    int32_t length = getStringLength();
    if (start < 0)
        start = 0;
    if (start > length)
        start = length;
    if (count < 0 || start + count > length)
        count = length - start;
    if (hasLocations())
        return getStringWithLoc(start, start + count - 1);
    StrStoreEx out(count + 1);
    out.assign(getString() + start, count);
    return out;
}

int32_t StrStoreEx::nextLine(StrStore& line) {
    int32_t pos = getReadPosition(), length = getStringLength();
    if (pos < 0 || pos >= length)
        return 0;
    const char* text = getString();
    int32_t end = pos;
    while (end < length && text[end] != '\r' && text[end] != '\n')
        ++end;
    line.assign(text + pos, end - pos);
    if (end < length)
        end += (text[end] == '\r' && end + 1 < length && text[end + 1] == '\n') ? 2 : 1;
    props_.set(ReadPosition, end);
    return 1;
}

void StrStoreEx::skipWhitespace() {
    int32_t pos = getReadPosition();
    while (pos >= 0 && pos < getStringLength() && isBlank(getString()[pos]))
        ++pos;
    props_.set(ReadPosition, pos);
}

char StrStoreEx::skipWhitespaceAndTake() {
    skipWhitespace();
    int32_t pos = getReadPosition();
    if (pos < 0 || pos >= getStringLength())
        return 0;
    props_.set(ReadPosition, pos + 1);
    return getString()[pos];
}

int32_t StrStoreEx::setReadPosition(int32_t i) {
    if (i < 0 || i > getStringLength())
        return 0;
    props_.set(ReadPosition, i);
    return 1;
}

void StrStoreEx::clearEx(int32_t flags) {
    clear();
    props_.set(ReadPosition, -1);
    props_.set(SecondPosition, -1);
    props_.set(LocationArray, -1);
    props_.set(ReadPosition, 0);
    locations_.clear(true);
    setLocationArray(false);
    if (flags & 1) {
        second_.clear();
        delete extra1_;
        delete extra2_;
        extra1_ = extra2_ = nullptr;
    }
}

int32_t StrStoreEx::assignText(const char* text, int32_t flags) {
    clearEx(flags);
    return assign(text);
}

int32_t StrStoreEx::storeLocation(int32_t index, const SpecificLocation& loc) {
    if (index < 0)
        return 0;
    setLocationArray(true);
    return locations_.setPointer(index, new SpecificLocation(loc), true, true);
}

int32_t StrStoreEx::reserveLocations(int32_t n) {
    if (n <= locations_.capacity())
        return 1;
    void* keep = locations_.at(n - 1);
    return locations_.setPointer(n - 1, keep, false, true);
}

void StrStoreEx::removeAllLocations(bool force) {
    if (!hasLocations() && !force)
        return;
    locations_.clear(true);
    setLocationArray(false);
}

int32_t StrStoreEx::dropFirst(int32_t n) {
    int32_t length = getStringLength();
    if (n <= 0)
        return 1;
    if (n > length)
        n = length;
    if (!hasLocations()) {
        StrStore rest(getString() + n);
        assign(rest);
        return 1;
    }
    StrStoreEx rest = getStringWithLoc(n, length - 1);
    copyFrom(rest);
    props_.set(ReadPosition, 0);
    return 1;
}

int32_t StrStoreEx::collapseBlocks(const char* open, const char* close, const char* replacement,
                                   int32_t flags) {
    if (!open || !*open || !close || !*close)
        return 0;
    if (!replacement)
        replacement = "";
    const int32_t no = static_cast<int32_t>(std::strlen(open)), nc = static_cast<int32_t>(std::strlen(close));
    const int32_t nr = static_cast<int32_t>(std::strlen(replacement));
    int32_t count = 0, from = 0;
    while (from <= getStringLength()) {
        const char* text = getString();
        const char* o = std::strstr(text + from, open);
        if (!o)
            break;
        int32_t at = static_cast<int32_t>(o - text);
        if (((flags & SkipEmptyBlock) && std::strncmp(o + no, close, static_cast<size_t>(nc)) == 0) ||
            ((flags & SkipXmlDeclaration) && std::strncmp(o + no, "xml", 3) == 0)) {
            from = at + 1;
            continue;
        }
        const char* c = std::strstr(o + no, close);
        if (!c)
            break;
        int32_t blockEnd = static_cast<int32_t>(c - text) + nc; // one past the block
        int32_t length = getStringLength();
        bool located = hasLocations();
        SpecificLocation after, start;
        if (located && blockEnd < length)
            after = getLocation(blockEnd, LocStart);
        if (located)
            start = getLocation(at, LocStart);

        std::string rebuilt(text, static_cast<size_t>(at));
        rebuilt += replacement;
        rebuilt.append(text + blockEnd, static_cast<size_t>(length - blockEnd));

        std::vector<std::pair<int32_t, SpecificLocation>> moved;
        if (located) {
            for (int32_t i = 0; i <= lastSlot(); ++i) {
                const SpecificLocation* loc = storedLocation(i);
                if (!loc)
                    continue;
                if (i < at)
                    moved.emplace_back(i, *loc);
                else if (i >= blockEnd)
                    moved.emplace_back(i - blockEnd + at + nr, *loc);
            }
        }
        assign(rebuilt.c_str(), static_cast<int32_t>(rebuilt.size()));
        if (located) {
            locations_.clear(true);
            for (auto& [slot, loc] : moved)
                locations_.setPointer(slot, new SpecificLocation(loc), true, true);
            // The word stands where the block began, even when the block began a located piece.
            if (nr >= 1 && start.isKnown())
                locations_.setPointer(at, new SpecificLocation(start), true, true);
            // The replacement word is no text of the document: its inner characters get a
            // location that stops a marked run at the word.
            if (nr >= 2) {
                SpecificLocation marker;
                marker.reset();
                locations_.setPointer(at + 1, new SpecificLocation(marker), true, true);
            }
            if (after.isKnown())
                locations_.setPointer(at + nr, new SpecificLocation(after), true, true);
        }
        ++count;
        from = at + nr;
    }
    return count;
}
