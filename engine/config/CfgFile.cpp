#include "engine/config/CfgFile.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

// Smallest number of bytes one record takes in the file: version, three words, an empty
// name and five empty lists.
constexpr size_t kMinRecordBytes = 4 + 12 + 8 + 5 * 8;

class ByteReader {
public:
    ByteReader(const uint8_t* d, size_t n) : data(d), size(n) {}

    bool int32(int32_t& v) {
        if (size - pos < 4)
            return fail("the file ends early");
        uint32_t u = uint32_t(data[pos]) | uint32_t(data[pos + 1]) << 8 | uint32_t(data[pos + 2]) << 16 |
                     uint32_t(data[pos + 3]) << 24;
        v = static_cast<int32_t>(u);
        pos += 4;
        return true;
    }

    bool marker() {
        int32_t m;
        if (!int32(m))
            return false;
        return m == 1 || fail("a string or list marker is not 1");
    }

    bool string(std::string& s) {
        int32_t len;
        if (!marker() || !int32(len))
            return false;
        if (len < 0 || static_cast<uint32_t>(len) > CFG_MAX_STRING)
            return fail("a string length is out of range");
        if (size - pos < static_cast<size_t>(len))
            return fail("the file ends inside a string");
        s.assign(reinterpret_cast<const char*>(data + pos), static_cast<size_t>(len));
        pos += static_cast<size_t>(len);
        return true;
    }

    bool list(std::vector<int32_t>& l) {
        int32_t count;
        l.clear();
        if (!marker() || !int32(count))
            return false;
        if (count < 0 || static_cast<size_t>(count) > (size - pos) / 4)
            return fail("a list count is out of range");
        l.resize(static_cast<size_t>(count));
        for (int32_t& v : l)
            int32(v);
        return true;
    }

    size_t remaining() const { return size - pos; }

    bool fail(const char* text) {
        if (why.empty())
            why = text;
        return false;
    }

    std::string why;

private:
    const uint8_t* data;
    size_t size;
    size_t pos = 0;
};

class ByteWriter {
public:
    void int32(int32_t v) {
        const uint32_t u = static_cast<uint32_t>(v);
        for (int i = 0; i < 4; ++i)
            out.push_back(static_cast<uint8_t>(u >> (8 * i)));
    }
    void string(const char* s) {
        const size_t n = std::min<size_t>(std::strlen(s ? s : ""), CFG_MAX_STRING);
        int32(1);
        int32(static_cast<int32_t>(n));
        out.insert(out.end(), s, s + n);
    }
    void list(const std::vector<int32_t>& l) {
        int32(1);
        int32(static_cast<int32_t>(l.size()));
        for (int32_t v : l)
            int32(v);
    }
    std::vector<uint8_t> out;
};

int32_t headerStringsOf(int32_t version) {
    if (version == 1)
        return 0;
    return version <= 4 ? 5 : 10;
}

// Sets the listed properties to 0 and strings to "" in every record of a kind.
void upgradeKind(CfgStore& store, int32_t kind, std::initializer_list<int32_t> props,
                 std::initializer_list<int32_t> strings) {
    for (int32_t p = 0; p < store.getCount(kind); ++p) {
        TagStore* r = store.recordAt(kind, p);
        for (int32_t prop : props)
            r->setProperty(prop, 0);
        for (int32_t s : strings)
            r->setString(s, "");
    }
}

// Every number that a record list names must lead to an existing record.
bool referencesResolve(const CfgStore& store, int32_t kind, const std::vector<int32_t>& list) {
    return std::all_of(list.begin(), list.end(), [&](int32_t n) { return store.record(kind, n) != nullptr; });
}

bool checkReferences(const CfgStore& store, std::string& why) {
    for (int32_t kind = 0; kind < CFG_KINDS; ++kind) {
        const std::vector<int32_t>& order = *store.orderList(kind);
        const int32_t count = store.getCount(kind);
        std::vector<char> used(static_cast<size_t>(count), 0);
        for (int32_t pos : order) {
            if (pos < 0)
                continue;
            if (pos >= count || used[pos]) {
                why = "an order list entry names no record or names one twice";
                return false;
            }
            used[pos] = 1;
        }
        // A record whose number does not lead back to it, or whose category is missing, is no
        // fault of the file: the checks never reach it by its number and count it as inactive.
        for (int32_t p = 0; p < count; ++p) {
            const TagStore* r = store.recordAt(kind, p);
            bool ok = true;
            if (kind == CFG_TAGNAME) {
                ok = referencesResolve(store, CFG_TAGNAME, *r->list(0)) &&
                     referencesResolve(store, CFG_TAGNAME, *r->list(1)) &&
                     referencesResolve(store, CFG_ATTRIBUTE, *r->list(2)) &&
                     referencesResolve(store, CFG_ATTRIBUTE, *r->list(3));
            } else if (kind == CFG_ATTRIBUTE) {
                ok = referencesResolve(
                    store, r->getWord(2) == CFG_ATTRIBUTE_GROUP ? CFG_ATTRIBUTE : CFG_ATTVALUE, *r->list(0));
            }
            if (!ok) {
                why = "a record list names a record that does not exist";
                return false;
            }
        }
    }
    return true;
}

} // namespace

bool CfgReader::read(CfgStore& store, const uint8_t* data, size_t size, std::string& why) {
    ByteReader in(data, size);
    int32_t version;
    if (!in.int32(version)) {
        why = in.why;
        return false;
    }
    if (version < 1 || version > 6) {
        why = "unknown file version";
        return false;
    }
    int32_t header[8];
    for (int32_t& h : header)
        if (!in.int32(h)) {
            why = in.why;
            return false;
        }
    std::string text;
    for (int32_t i = 0; i < headerStringsOf(version); ++i) {
        if (!in.string(text)) {
            why = in.why;
            return false;
        }
        store.headers[i] = text;
    }
    if (!in.list(store.ownList)) {
        why = in.why;
        return false;
    }
    for (auto& o : store.order)
        if (!in.list(o)) {
            why = in.why;
            return false;
        }
    for (int32_t kind = 0; kind < CFG_KINDS; ++kind) {
        const int32_t count = header[2 + kind];
        if (count < 0 || static_cast<size_t>(count) > in.remaining() / kMinRecordBytes) {
            why = "a record count is out of range";
            return false;
        }
        auto& arr = store.records[kind];
        arr.reserve(static_cast<size_t>(count));
        for (int32_t i = 0; i < count; ++i) {
            auto r = std::make_unique<TagStore>();
            int32_t recVersion;
            if (!in.int32(recVersion)) {
                why = in.why;
                return false;
            }
            if (recVersion < 1 || recVersion > 3) {
                why = "unknown record version";
                return false;
            }
            r->version = recVersion;
            const int32_t words = recVersion == 1 ? 8 : 3;
            for (int32_t w = 0; w < words; ++w) {
                int32_t v;
                if (!in.int32(v)) {
                    why = in.why;
                    return false;
                }
                if (w < 3) {
                    if (v >= 0)
                        r->setWord(w + 1, v);
                } else {
                    r->setProperty(w - 3, v);
                }
            }
            if (!in.string(text)) {
                why = in.why;
                return false;
            }
            r->setName(text.c_str());
            for (int32_t l = 0; l < CFG_LISTS; ++l)
                if (!in.list(*r->list(l))) {
                    why = in.why;
                    return false;
                }
            if (recVersion >= 2) {
                std::vector<int32_t> props;
                if (!in.list(props)) {
                    why = in.why;
                    return false;
                }
                if (props.size() > static_cast<size_t>(CFG_PROPERTIES)) {
                    why = "a record has more properties than allowed";
                    return false;
                }
                r->setProperties(std::move(props));
                int32_t n;
                if (!in.int32(n)) {
                    why = in.why;
                    return false;
                }
                if (n < 0 || static_cast<size_t>(n) > in.remaining() / 8) {
                    why = "a string count is out of range";
                    return false;
                }
                for (int32_t s = 0; s < n; ++s) {
                    if (!in.string(text)) {
                        why = in.why;
                        return false;
                    }
                    if (s < CFG_STRINGS)
                        r->setString(s, text.c_str());
                }
            }
            arr.push_back(std::move(r));
        }
    }
    if (!checkReferences(store, why))
        return false;

    if (version == 1) {
        upgradeKind(store, CFG_TAGNAME, {2, 3}, {0});
        upgradeKind(store, CFG_ATTRIBUTE, {1, 2, 3}, {0, 1});
        store.headers[0] = "Originally a version 1 configuration";
    }
    if (version <= 2) {
        upgradeKind(store, CFG_TAGNAME, {4, 5}, {1});
        store.headers[1] = "1";
    }
    if (version <= 3) {
        upgradeKind(store, CFG_TAGNAME, {6}, {2});
        upgradeKind(store, CFG_ATTRIBUTE, {4}, {2});
    }
    if (version <= 5) {
        upgradeKind(store, CFG_ATTVALUE, {2}, {0});
    }
    store.version = version;
    store.setSavedFlags(1, 1);
    return true;
}

std::vector<uint8_t> CfgWriter::write(const CfgStore& store, int32_t version, CfgLayout* layout) {
    CfgLayout where;
    if (version < 1 || version > 6)
        return {};
    ByteWriter out;
    out.int32(version);
    out.int32(store.loaded);
    out.int32(store.saved);
    where.counts = out.out.size();
    for (int32_t kind = 0; kind < CFG_KINDS; ++kind)
        out.int32(store.getCount(kind));
    where.headers = out.out.size();
    for (int32_t i = 0; i < headerStringsOf(version); ++i)
        out.string(store.getHeader(i));
    where.ownList = out.out.size();
    out.list(store.ownList);
    for (int32_t kind = 0; kind < CFG_KINDS; ++kind) {
        where.order[kind] = out.out.size();
        out.list(store.order[kind]);
    }
    where.records = out.out.size();
    for (int32_t kind = 0; kind < CFG_KINDS; ++kind) {
        for (int32_t p = 0; p < store.getCount(kind); ++p) {
            const TagStore* r = store.recordAt(kind, p);
            if (version == 1) {
                out.int32(1);
                for (int32_t w = 1; w <= 3; ++w)
                    out.int32(r->getWord(w));
                for (int32_t prop = 0; prop < 5; ++prop)
                    out.int32(r->getProperty(prop));
            } else {
                out.int32(3);
                for (int32_t w = 1; w <= 3; ++w)
                    out.int32(r->getWord(w));
            }
            out.string(r->getName());
            for (int32_t l = 0; l < CFG_LISTS; ++l)
                out.list(*r->list(l));
            if (version != 1) {
                out.list(r->properties());
                out.int32(CFG_STRINGS);
                for (int32_t s = 0; s < CFG_STRINGS; ++s)
                    out.string(r->getString(s));
            }
        }
    }
    if (layout)
        *layout = where;
    return std::move(out.out);
}

bool CfgWriter::writeFile(const CfgStore& store, int32_t version, const char* path) {
    std::vector<uint8_t> bytes = write(store, version);
    if (bytes.empty())
        return false;
    // Written beside the target and moved into place, so a failed write never leaves half a file.
    std::string temp = std::string(path) + ".tmp";
    FILE* f = std::fopen(temp.c_str(), "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = (std::fclose(f) == 0) && ok;
    if (ok)
        ok = MoveFileExA(temp.c_str(), path, MOVEFILE_REPLACE_EXISTING) != 0;
    if (!ok)
        DeleteFileA(temp.c_str());
    return ok;
}

int32_t CfgStore::loadFromBytes(const uint8_t* data, size_t size, const char* name) {
    CfgStore fresh;
    std::string why;
    if (!CfgReader::read(fresh, data, size, why)) {
        lastLoadError = why;
        return CFG_LOAD_REFUSED;
    }
    fresh.fileName = name ? name : "";
    const int32_t keepFlags = flagWord;
    takeFrom(fresh);
    flagWord = keepFlags;
    lastLoadError.clear();
    return CFG_LOAD_OK;
}

int32_t CfgStore::load(const char* path) {
    FILE* f = path ? std::fopen(path, "rb") : nullptr;
    if (!f) {
        lastLoadError = "the file cannot be opened";
        return CFG_LOAD_NOT_OPENED;
    }
    std::vector<uint8_t> bytes;
    uint8_t buf[65536];
    size_t n;
    bool tooBig = false;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) {
        if (bytes.size() + n > CFG_MAX_FILE) {
            tooBig = true;
            break;
        }
        bytes.insert(bytes.end(), buf, buf + n);
    }
    const bool readError = std::ferror(f) != 0;
    std::fclose(f);
    if (tooBig || readError) {
        lastLoadError = tooBig ? "the file is too large" : "the file cannot be read";
        return CFG_LOAD_REFUSED;
    }
    return loadFromBytes(bytes.data(), bytes.size(), path);
}

namespace {

void putInt32(std::vector<uint8_t>& bytes, size_t at, int32_t v) {
    if (at + 4 > bytes.size())
        return;
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i));
}

int32_t getInt32(const std::vector<uint8_t>& bytes, size_t at) {
    if (at + 4 > bytes.size())
        return 0;
    return static_cast<int32_t>(uint32_t(bytes[at]) | uint32_t(bytes[at + 1]) << 8 |
                                uint32_t(bytes[at + 2]) << 16 | uint32_t(bytes[at + 3]) << 24);
}

} // namespace

std::vector<uint8_t> damagedCfgFile(CfgStore& store, const std::string& how) {
    if (how == "badref") {
        // A user tag name that lists an attribute number nobody holds.
        for (int32_t p = 0; p < store.getCount(CFG_TAGNAME); ++p)
            if (store.getWord(CFG_TAGNAME, p, 2, false) == 0) {
                store.addListEntry(CFG_TAGNAME, p, 2, 999999, false);
                return CfgWriter::write(store, 6);
            }
        return {};
    }
    CfgLayout at;
    std::vector<uint8_t> bytes = CfgWriter::write(store, 6, &at);
    if (how.rfind("truncate:", 0) == 0) {
        const size_t n = std::strtoul(how.c_str() + 9, nullptr, 10);
        bytes.resize(std::min(n, bytes.size()));
    } else if (how == "version") {
        putInt32(bytes, 0, 7);
    } else if (how == "hugecount") {
        putInt32(bytes, at.counts, 0x7FFFFFFF);
    } else if (how == "hugelist") {
        putInt32(bytes, at.ownList + 4, 0x7FFFFFF0);
    } else if (how == "badmarker") {
        putInt32(bytes, at.ownList, 2);
    } else if (how == "badorder" || how == "duporder") {
        const size_t list = at.order[CFG_TAGNAME];
        if (getInt32(bytes, list + 4) < 2)
            return {};
        putInt32(bytes, list + 12,
                 how == "badorder" ? store.getCount(CFG_TAGNAME) + 5 : getInt32(bytes, list + 8));
    } else if (how == "longstring") {
        // Header string 0 grown one past the limit, its bytes really there.
        const int32_t oldLen = getInt32(bytes, at.headers + 4);
        std::vector<uint8_t> text(CFG_MAX_STRING + 1, 'x');
        bytes.erase(bytes.begin() + static_cast<ptrdiff_t>(at.headers + 8),
                    bytes.begin() + static_cast<ptrdiff_t>(at.headers + 8 + oldLen));
        bytes.insert(bytes.begin() + static_cast<ptrdiff_t>(at.headers + 8), text.begin(), text.end());
        putInt32(bytes, at.headers + 4, static_cast<int32_t>(text.size()));
    } else if (how == "recordversion") {
        putInt32(bytes, at.records, 4);
    } else {
        return {};
    }
    return bytes;
}
