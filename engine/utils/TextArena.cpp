#include "engine/utils/TextArena.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

namespace {

// The blocks of the usual size that arenas let go, for the next arena to take. At most kKept of
// them (2 MB) wait here; more go back to the heap. Arenas live on any thread, hence the lock.
class BlockPool {
public:
    static constexpr size_t kKept = 32;
    char* take(size_t size) {
        if (size == kBlock) {
            AcquireSRWLockExclusive(&lock_);
            char* block = nullptr;
            if (!free_.empty()) {
                block = free_.back();
                free_.pop_back();
            }
            ReleaseSRWLockExclusive(&lock_);
            if (block)
                return block;
        }
        return new (std::nothrow) char[size];
    }
    void give(char* block, size_t size) {
        if (size == kBlock) {
            AcquireSRWLockExclusive(&lock_);
            const bool kept = free_.size() < kKept;
            if (kept)
                free_.push_back(block);
            ReleaseSRWLockExclusive(&lock_);
            if (kept)
                return;
        }
        delete[] block;
    }
    void release() {
        AcquireSRWLockExclusive(&lock_);
        std::vector<char*> blocks;
        blocks.swap(free_);
        ReleaseSRWLockExclusive(&lock_);
        for (char* b : blocks)
            delete[] b;
    }
    static constexpr size_t kBlock = 64 * 1024;

private:
    SRWLOCK lock_ = SRWLOCK_INIT;
    std::vector<char*> free_;
};

// Made on first use and never destroyed: an arena that outlives static destruction (one in a
// static object) may still give its blocks back. releasePool() frees what it keeps.
BlockPool& pool() {
    static BlockPool* const p = new BlockPool();
    return *p;
}

} // namespace

void TextArena::releasePool() {
    pool().release();
}

void TextArena::clear() {
    for (Block& b : blocks_)
        pool().give(b.text, b.size);
    blocks_.clear();
}

bool TextArena::newBlock(size_t size) {
    static_assert(kBlockSize == BlockPool::kBlock, "the pool keeps blocks of the arena's usual size");
    Block b;
    b.size = std::max(kBlockSize, size);
    b.base = blocks_.empty() ? 0 : blocks_.back().base + blocks_.back().size;
    b.text = pool().take(b.size);
    if (!b.text)
        return false;
    try {
        blocks_.push_back(b);
    } catch (...) {
        pool().give(b.text, b.size);
        return false;
    }
    return true;
}

char* TextArena::add(const char* text, size_t n) {
    const size_t bytes = n + 1;
    if ((blocks_.empty() || blocks_.back().size - blocks_.back().used < bytes) && !newBlock(bytes))
        return nullptr;
    Block& last = blocks_.back();
    char* at = last.text + last.used;
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
    const bool atEnd = lastText >= tail.text && lastText < tail.text + tail.used &&
                       static_cast<size_t>(lastText - tail.text) + length + 1 == tail.used;
    const size_t offset = atEnd ? static_cast<size_t>(lastText - tail.text) : 0;
    char* last = tail.text + offset;
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
    grown.text = pool().take(grown.size);
    if (!grown.text)
        return nullptr;
    std::memcpy(grown.text, lastText, length);
    if (n)
        std::memcpy(grown.text + length, text, n);
    grown.text[needed - 1] = 0;
    grown.used = needed;
    try {
        blocks_.push_back(grown);
    } catch (...) {
        pool().give(grown.text, grown.size);
        return nullptr;
    }
    return grown.text;
}

uint64_t TextArena::positionOfLast(const char* text) const {
    return blocks_.back().base + static_cast<uint64_t>(text - blocks_.back().text);
}

const char* TextArena::at(uint64_t position) const {
    // The last block whose base is not past the position.
    auto it = std::upper_bound(blocks_.begin(), blocks_.end(), position,
                               [](uint64_t p, const Block& b) { return p < b.base; });
    if (it == blocks_.begin())
        return nullptr;
    --it;
    return position - it->base < it->size ? it->text + (position - it->base) : nullptr;
}
