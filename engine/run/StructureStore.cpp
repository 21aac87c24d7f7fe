#include "engine/run/StructureStore.h"

#include <windows.h>

#include <cstring>
#include <new>

namespace zel::run {

std::string StructureStore::key(const std::string& name) {
    std::string k = name;
    // Element names are nearly always plain ASCII; only others need the locale's upper case.
    bool ascii = true;
    for (char& c : k) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        else if (static_cast<unsigned char>(c) >= 0x80)
            ascii = false;
    }
    if (!ascii) {
        k = name;
        CharUpperBuffA(k.data(), static_cast<DWORD>(k.size()));
    }
    return k;
}

size_t StructureText::size() const {
    return std::strlen(text_);
}

bool operator==(const StructureText& a, const char* b) {
    return std::strcmp(a.text_, b ? b : "") == 0;
}

StructureStore::Name& StructureStore::name(const std::string& text) {
    auto [it, made] = names_.try_emplace(text);
    if (made) {
        it->second.kept = text_.add(text.data(), text.size());
        if (!it->second.kept) {
            names_.erase(it);
            throw std::bad_alloc();
        }
    }
    return it->second;
}

int32_t StructureStore::add(int32_t kind, const std::string& text, int32_t line, int32_t character,
                            int32_t closingRule) {
    const bool tag = kind == EntryOpeningTag || kind == EntryClosingTag;
    // One copy of each tag and entity name, found once here for both its text and its record;
    // each text run's own copy.
    Name* n = tag || (kind == EntryEntity && !text.empty()) ? &name(text) : nullptr;
    const char* kept = "";
    if (n) {
        if (!text.empty())
            kept = n->kept;
    } else if (!text.empty()) {
        kept = text_.add(text.data(), text.size());
        if (!kept)
            throw std::bad_alloc();
    }
    StructureEntry e;
    e.kind = static_cast<uint32_t>(kind) & 0xFF;
    e.text = StructureText(kept);
    e.line = line;
    e.character = character;
    e.closingRule = closingRule >= 0 && closingRule < (1 << 20) ? static_cast<uint32_t>(closingRule) : 1;
    entries_.push_back(e);
    const int32_t index = count() - 1;
    if (kind >= 0 && kind < 8)
        ++kindCounts_[kind];
    if (!tag)
        return index;
    if (!n->record)
        n->record = &openRecord(key(text));
    OpenRecord& r = *n->record;
    r.seen = true;
    if (kind == EntryOpeningTag) {
        ++r.openings;
        if (closingRule != 2)
            r.stack.push_back(index);
    } else {
        ++r.closings;
        if (!r.stack.empty())
            r.stack.pop_back();
    }
    return index;
}

int32_t StructureStore::findOpen(const std::string& name, int32_t flags) const {
    // A name already written in a tag knows its record.
    const auto it = names_.find(name);
    if (it != names_.end() && it->second.record)
        return findOpenIn(*it->second.record, flags);
    return findOpenKey(key(name), flags);
}

StructureStore::OpenRecord& StructureStore::openRecord(const std::string& nameKey) {
    auto [it, made] = open_.try_emplace(nameKey);
    if (made)
        it->second.body = nameKey == "BODY";
    return it->second;
}

int32_t StructureStore::findOpenKey(const std::string& nameKey, int32_t flags) const {
    auto it = open_.find(nameKey);
    if (it == open_.end())
        return (flags & 6) == 6 && nameKey == "BODY" ? -1 : kNotOpen;
    return findOpenIn(it->second, flags);
}

int32_t StructureStore::findOpenIn(const OpenRecord& record, int32_t flags) const {
    if (!record.seen)
        return (flags & 6) == 6 && record.body ? -1 : kNotOpen;
    const std::vector<int32_t>& stack = record.stack;
    if (stack.empty())
        return kNotOpen;
    if (!(flags & 1) && stack.back() == lastAdded())
        return stack.size() > 1 ? stack[stack.size() - 2] : kNotOpen;
    return stack.back();
}

bool StructureStore::closeImplied(int32_t index) {
    StructureEntry* e = entry(index);
    if (!e || e->kind != EntryOpeningTag)
        return false;
    auto it = open_.find(key(e->text));
    if (it == open_.end() || it->second.stack.empty() || it->second.stack.back() != index)
        return false;
    it->second.stack.pop_back();
    e->closed = true;
    return true;
}

void StructureStore::pushAssumed(const std::string& name) {
    OpenRecord& r = openRecord(key(name));
    r.seen = true;
    r.stack.push_back(-1);
}

void StructureStore::reset() {
    entries_.clear();
    for (int32_t& c : kindCounts_)
        c = 0;
    open_.clear();
    names_.clear();
    text_.clear();
}

int32_t StructureStore::countOf(int32_t kind) const {
    return kind >= 0 && kind < 8 ? kindCounts_[kind] : 0;
}

} // namespace zel::run
