#pragma once
// Many short texts packed one after another, each with its terminator, into large blocks: a long
// document's lines or pieces cost little more than their characters. A text stays where it was
// put until the arena is cleared; growing the most recent one past the room left in its block
// makes a grown copy elsewhere.
//
// Blocks of the usual size go back to a small pool when an arena lets them go, and the next arena
// takes them from there: a validation run fills several arenas (the document, the output, the
// structure) and frees them with its results, and memory that stays in use costs no new pages,
// where the heap would give freed blocks back to the system and take them again.

#include <cstddef>
#include <cstdint>
#include <vector>

class TextArena {
public:
    // A copy of n characters of text with a terminator; nullptr when out of memory.
    char* add(const char* text, size_t n);
    // Appends n characters to last, the text most recently added (length characters long). Returns
    // where the grown text stands (a copy elsewhere when its block has no room), or nullptr when
    // out of memory, in which case last is unchanged.
    char* growLast(const char* last, size_t length, const char* text, size_t n);
    TextArena() = default;
    ~TextArena() { clear(); }
    TextArena(const TextArena&) = delete;
    TextArena& operator=(const TextArena&) = delete;
    void clear();
    // Frees the blocks that the pool keeps (at the library's shut-down).
    static void releasePool();
    // A text's place as one number (smaller than a pointer, for long indexes of texts): valid
    // for the text most recently added or grown. at() turns it back into the text.
    uint64_t positionOfLast(const char* text) const;
    const char* at(uint64_t position) const;

private:
    struct Block {
        char* text = nullptr; // owned: back to the pool or the heap in clear()
        size_t size = 0;
        size_t used = 0;
        uint64_t base = 0; // the position of the block's first character
    };
    static constexpr size_t kBlockSize = 64 * 1024;
    bool newBlock(size_t size);
    std::vector<Block> blocks_;
};
