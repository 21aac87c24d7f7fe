#include "engine/utils/FileStore.h"

#include "engine/utils/UnicodeText.h"

#include <cstdint>
#include <cstring>
#include <new>
#include <string>

FileStore::FileStore() : current_(nullptr) {
    props_.resize(3, 0);
    props_.set(FileSize, -1);
    props_.set(CurrentLine, 0);
    location_.reset();
}

FileStore::~FileStore() = default;

void FileStore::clear() {
    current_ = nullptr;
    fileName_.clear();
    whole_.clearEx(0);
    lines_.clear();
    text_.clear();
    props_.set(FileSize, -1);
    props_.set(CurrentLine, -1);
    props_.set(Continuation, 0);
    location_ = SpecificLocation();
    location_.reset();
    errors_.clear();
    nulCharacters_.clear();
}

void FileStore::resetLocation() {
    location_.reset();
}

int32_t FileStore::fail(int32_t number, const char* text) {
    clear();
    errors_.set(number, text);
    return LoadFailed;
}

int32_t FileStore::loadFile(const char* name, const char* mode) {
    FILE* stream = name ? std::fopen(name, mode ? mode : "rb") : nullptr;
    if (!stream)
        return fail(9805241, "loadFile() can't open file");
    int32_t result = load(stream, true);
    if (result == 1)
        fileName_.assign(name);
    return result;
}

int32_t FileStore::load(FILE* stream, bool close) {
    clear();
    if (!stream)
        return fail(9805261, "loadFile() passed a NULL FILE *");
    auto finish = [&](int32_t number, const char* text) {
        if (close)
            std::fclose(stream);
        return fail(number, text);
    };
    if (std::fseek(stream, 0, SEEK_END) != 0)
        return finish(9805242, "fseek() failed in loadWholeFile()");
    long size = std::ftell(stream);
    if (size < 0 || size > 0x7FFFFFF0L)
        return finish(9805243, "ftell() failed in loadWholeFile()");
    if (std::fseek(stream, 0, SEEK_SET) != 0)
        return finish(9805244, "fseek() failed in loadWholeFile()");
    if (size > 0) {
        if (whole_.setStringLength(static_cast<int32_t>(size) + 1) != 1)
            return finish(9805245, "setStringLength() failed in loadWholeFile()");
        if (std::fread(whole_.getBuffer(), 1, static_cast<size_t>(size), stream) != static_cast<size_t>(size))
            return finish(9805246, "fread() failed in loadWholeFile()");
        whole_.getBuffer()[size] = 0;
    }
    if (close)
        std::fclose(stream);
    if (!decodeWholeText())
        return fail(9805248, "not enough memory to decode the text in loadWholeFile()");
    const std::vector<size_t> nuls = replaceNulCharacters();
    props_.set(FileSize, static_cast<int32_t>(size));
    whole_.setReadPosition(0);
    StrStore text(256);
    size_t nextNul = 0;
    for (int32_t start = 0; whole_.nextLine(text); start = whole_.getReadPosition()) {
        if (addLine(text.getString(), 0) != 0)
            return fail(9805247, "addLine() failed in parseWholeFile()");
        if (nextNul < nuls.size() && nuls[nextNul] < static_cast<size_t>(start) + text.getStringLength()) {
            nulCharacters_.push_back({lineCount(), static_cast<int32_t>(nuls[nextNul] - start) + 1});
            ++nextNul;
        }
    }
    props_.set(CurrentLine, 0);
    return 1;
}

// A text in a Unicode form of two or four bytes a character is read as the editor shows it.
bool FileStore::decodeWholeText() {
    const int32_t size = whole_.getStringLength();
    const zel::text::UnicodeForm form = zel::text::unicodeForm(whole_.getString(), static_cast<size_t>(size));
    if (form == zel::text::UnicodeForm::None)
        return true;
    const int32_t mark =
        form == zel::text::UnicodeForm::Utf32LE || form == zel::text::UnicodeForm::Utf32BE ? 4 : 2;
    try {
        std::string bytes(whole_.getString() + mark, static_cast<size_t>(size - mark));
        if (!zel::text::decodeUnicode(bytes, form) || bytes.size() >= 0x7FFFFFF0u ||
            whole_.setStringLength(static_cast<int32_t>(bytes.size()) + 1) != 1)
            return false;
        if (!bytes.empty())
            std::memcpy(whole_.getBuffer(), bytes.data(), bytes.size());
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

// A NUL would end its line for every reader of the store: the rest of the line would go
// unchecked. Each becomes a blank; the result holds where the first of each line stood.
std::vector<size_t> FileStore::replaceNulCharacters() {
    std::vector<size_t> firsts;
    char* text = whole_.getBuffer();
    const size_t length = static_cast<size_t>(whole_.getStringLength());
    const void* found = length ? std::memchr(text, 0, length) : nullptr;
    if (!found)
        return firsts;
    bool lineHasOne = false;
    for (size_t i = static_cast<size_t>(static_cast<const char*>(found) - text); i < length; ++i) {
        if (text[i] == 0) {
            text[i] = ' ';
            if (!lineHasOne)
                firsts.push_back(i);
            lineHasOne = true;
        } else if (text[i] == '\n' || text[i] == '\r') {
            lineHasOne = false;
        }
    }
    return firsts;
}

// Records where the newest text stands, as a new last line or in place of the last line. False
// when the index cannot hold it; the text stays unused in the arena until the store is cleared.
bool FileStore::setLast(const char* text, bool add) {
    const uint64_t position = text_.positionOfLast(text);
    if (position > UINT32_MAX)
        return false;
    if (!add) {
        lines_.back() = static_cast<uint32_t>(position);
        return true;
    }
    try {
        lines_.push_back(static_cast<uint32_t>(position));
    } catch (...) {
        return false;
    }
    return true;
}

int32_t FileStore::appendNew(const char* text, int32_t n) {
    char* at = text_.add(text, static_cast<size_t>(n));
    return at && setLast(at, true) ? 0 : -1;
}

int32_t FileStore::addLine(const char* text, int32_t flag) {
    if (!text)
        text = "";
    int32_t length = static_cast<int32_t>(std::strlen(text));
    if (length > 0 && text[length - 1] == '\n')
        --length;
    const char* end = static_cast<const char*>(std::memchr(text, '\n', static_cast<size_t>(length)));
    int32_t first = end ? static_cast<int32_t>(end - text) : length;
    if (props_.value(Continuation) == 1) {
        if (lines_.empty())
            return -2;
        const char* last = lineAt(lineCount() - 1);
        char* grown =
            last ? text_.growLast(last, std::strlen(last), text, static_cast<size_t>(first)) : nullptr;
        if (!grown || !setLast(grown, false))
            return -1;
    } else if (appendNew(text, first) != 0) {
        return -1;
    }
    int32_t pos = first;
    while (pos < length) {
        ++pos; // past the line feed
        const char* next =
            static_cast<const char*>(std::memchr(text + pos, '\n', static_cast<size_t>(length - pos)));
        int32_t stop = next ? static_cast<int32_t>(next - text) : length;
        if (appendNew(text + pos, stop - pos) != 0)
            return -1;
        pos = stop;
    }
    props_.set(Continuation, flag == 1 ? 1 : 0);
    return 0;
}

int32_t FileStore::addLine(StrStore* line, int32_t flag) {
    if (!line)
        return -1;
    int32_t result = addLine(line->getString(), flag);
    delete line;
    return result;
}

const char* FileStore::lineAt(int32_t i) const {
    return i >= 0 && i < lineCount() ? text_.at(lines_[static_cast<size_t>(i)]) : nullptr;
}

const char* FileStore::lineNoMove(int32_t i) {
    const char* s = lineAt(i);
    if (!s)
        return nullptr;
    current_ = s;
    props_.set(CurrentLine, i + 1);
    return current_;
}

const char* FileStore::line(int32_t i, SpecificLocation* location) {
    const char* text = lineNoMove(i);
    if (!text)
        return nullptr;
    location_.setLine(i + 1);
    location_.setSecondLine(i + 1);
    location_.setCharacter(-1);
    if (location)
        *location = location_;
    return text;
}

const char* FileStore::lineTabsAsBlanks(int32_t i, SpecificLocation* location) {
    const char* text = line(i, location);
    if (!text)
        return nullptr;
    lineBuffer_.assignText(text);
    lineBuffer_.replaceChar('\t', ' ');
    current_ = lineBuffer_.getString();
    return current_;
}

const char* FileStore::nextLine(int32_t* atEnd, SpecificLocation* location) {
    int32_t number = location_.getLine() < 1 ? 1 : location_.getLine();
    const char* text = line(number - 1, location);
    if (atEnd)
        *atEnd = number >= lineCount() ? 1 : 0;
    location_.nextLine();
    return text;
}

int32_t FileStore::totalCharacters(int32_t flags) const {
    int32_t n = lineCount(), total = 0;
    for (int32_t i = 0; i < n; ++i)
        total += static_cast<int32_t>(std::strlen(lineAt(i))) + 1;
    if (flags & 1)
        total += (n + 1) / 2;
    return total;
}

// Lengths are always taken from the terminator: nothing to recompute.
void FileStore::recomputeLengths() {}

int32_t FileStore::write(FILE* stream, const char* lineEnd) const {
    if (!stream)
        return -1;
    // A full disk or a broken stream must not pass for a written file.
    const char* end = lineEnd ? lineEnd : "";
    const size_t endLength = std::strlen(end);
    int32_t n = lineCount();
    for (int32_t i = 0; i < n; ++i) {
        const char* text = lineAt(i);
        const size_t length = std::strlen(text);
        if (std::fwrite(text, 1, length, stream) != length ||
            std::fwrite(end, 1, endLength, stream) != endLength)
            return -1;
    }
    return std::ferror(stream) ? -1 : 0;
}

int32_t FileStore::save(const char* name, const char* mode, const char* lineEnd) const {
    FILE* stream = name ? std::fopen(name, mode ? mode : "wb") : nullptr;
    if (!stream)
        return -1;
    int32_t result = write(stream, lineEnd);
    if (std::fclose(stream) != 0)
        result = -1;
    return result;
}
