#include "engine/utils/TextArena.h"

#include <algorithm>
#include <cstring>
#include <new>

bool TextArena::newBlock(size_t size) {
    Block b;
    b.size = std::max(kBlockSize, size);
    b.base = blocks_.empty() ? 0 : blocks_.back().base + blocks_.back().size;
    b.text.reset(new (std::nothrow) char[b.size]);
    if (!b.text)
        return false;
    try {
        blocks_.push_back(std::move(b));
    } catch (...) {
        return false;
    }
    return true;
}

char* TextArena::add(const char* text, size_t n) {
    const size_t bytes = n + 1;
    if ((blocks_.empty() || blocks_.back().size - blocks_.back().used < bytes) && !newBlock(bytes))
        return nullptr;
    Block& last = blocks_.back();
    char* at = last.text.get() + last.used;
    last.used += bytes;
    if (n)
        std::memcpy(at, text, n);
    at[n] = 0;
    return at;
}

// The most recent text ends the last block, so it grows in place while that block has room;
// else a grown copy goes, with room to spare for more growth, to a block of its own. The old
// text stays readable until the arena is cleared: a reader may still hold it.
char* TextArena::growLast(const char* lastText, size_t length, const char* text, size_t n) {
    if (blocks_.empty())
        return nullptr;
    Block& tail = blocks_.back();
    const size_t needed = length + n + 1;
    // In place only when the text really ends the last block (a text added after it and then
    // left unused, say, must not be written over by mistake for it).
    const bool atEnd = lastText >= tail.text.get() && lastText < tail.text.get() + tail.used &&
                       static_cast<size_t>(lastText - tail.text.get()) + length + 1 == tail.used;
    const size_t offset = atEnd ? static_cast<size_t>(lastText - tail.text.get()) : 0;
    char* last = tail.text.get() + offset;
    if (atEnd && tail.size - offset >= needed) {
        if (n)
            std::memcpy(last + length, text, n);
        last[length + n] = 0;
        tail.used = offset + needed;
        return last;
    }
    Block grown;
    grown.size = std::max(kBlockSize, needed * 2);
    grown.base = tail.base + tail.size;
    grown.text.reset(new (std::nothrow) char[grown.size]);
    if (!grown.text)
        return nullptr;
    std::memcpy(grown.text.get(), lastText, length);
    if (n)
        std::memcpy(grown.text.get() + length, text, n);
    grown.text[needed - 1] = 0;
    grown.used = needed;
    char* moved = grown.text.get();
    try {
        blocks_.push_back(std::move(grown));
    } catch (...) {
        return nullptr;
    }
    return moved;
}

uint64_t TextArena::positionOfLast(const char* text) const {
    return blocks_.back().base + static_cast<uint64_t>(text - blocks_.back().text.get());
}

const char* TextArena::at(uint64_t position) const {
    // The last block whose base is not past the position.
    auto it = std::upper_bound(blocks_.begin(), blocks_.end(), position,
                               [](uint64_t p, const Block& b) { return p < b.base; });
    if (it == blocks_.begin())
        return nullptr;
    --it;
    return position - it->base < it->size ? it->text.get() + (position - it->base) : nullptr;
}
