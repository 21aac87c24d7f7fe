#include "spell/CustomDictionary.h"

#include <cstring>

#include "spell/SpellUtils.h"

const char kUserDictionaryBanner[120] = "Orthos User Dictionary, Version 4.0\r\n"
                                        "Spelling word list for one user.\r\n"
                                        "Ignore, exclude, replace.\r\n"
                                        "Do not edit here.\r\n"
                                        "\r\n";

namespace {

constexpr int32_t kBufferStep = 65535;
constexpr size_t kMaxWordBytes = 500;

int32_t readLE32(const uint8_t* p) {
    return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                                static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24);
}

void putLE32(std::vector<uint8_t>& out, int32_t v) {
    uint32_t u = static_cast<uint32_t>(v);
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(u >> (8 * i)));
}

struct HandleGuard {
    HANDLE h;
    ~HandleGuard() {
        if (h != INVALID_HANDLE_VALUE)
            CloseHandle(h);
    }
};

bool readAll(HANDLE h, uint8_t* data, size_t n) {
    while (n > 0) {
        DWORD chunk = n > 0x10000000 ? 0x10000000 : static_cast<DWORD>(n), got = 0;
        if (!ReadFile(h, data, chunk, &got, nullptr) || got == 0)
            return false;
        data += got;
        n -= got;
    }
    return true;
}

bool writeAll(HANDLE h, const uint8_t* data, size_t n) {
    while (n > 0) {
        DWORD chunk = n > 0x10000000 ? 0x10000000 : static_cast<DWORD>(n), put = 0;
        if (!WriteFile(h, data, chunk, &put, nullptr) || put == 0)
            return false;
        data += put;
        n -= put;
    }
    return true;
}

} // namespace

TCustomDictionary::TCustomDictionary() = default;

TCustomDictionary::~TCustomDictionary() {
    if (FLoaded && FModified)
        Save();
    Unload();
}

TCustomDictionary::FileStamp TCustomDictionary::StampOf(HANDLE h) {
    FileStamp s;
    FILETIME ft{};
    LARGE_INTEGER size{};
    if (GetFileTime(h, nullptr, nullptr, &ft))
        s.Time = static_cast<uint64_t>(ft.dwHighDateTime) << 32 | ft.dwLowDateTime;
    if (GetFileSizeEx(h, &size))
        s.Size = static_cast<uint64_t>(size.QuadPart);
    return s;
}

void TCustomDictionary::ClearChanges() {
    for (TStringList* l : {&FRemovedIgnore, &FRemovedExclude, &FRemovedAutoCorrect, &FAddedIgnore,
                           &FAddedExclude, &FAddedAutoCorrectWords, &FAddedAutoCorrectReplacements})
        l->Clear();
    FRemovedAll = false;
}

void TCustomDictionary::Unload() {
    FLoaded = false;
    FModified = false;
    FStoredIgnoreCount = FStoredExcludeCount = FStoredAutoCorrectCount = 0;
    FWordCount = 0;
    FSlotCount = 0;
    FBuffer.clear();
    FBuffer.shrink_to_fit();
    FSlots.clear();
    FIgnoreIndex.clear();
    FExcludeIndex.clear();
    FAutoCorrectIndex.clear();
    FIndexListsReady = false;
    ClearChanges();
}

void TCustomDictionary::WriteLoaded(bool Value) {
    if (Value == FLoaded)
        return;
    if (!Value) {
        // A dictionary whose changes cannot be written stays loaded, so nothing is lost.
        if (FModified && !Save())
            return;
        Unload();
        return;
    }
    FLoaded = true;
    FLastError.clear();
    if (FFilename.empty())
        return;
    HANDLE h = INVALID_HANDLE_VALUE;
    if (!IsCustomDictionary(FFilename, true, h)) {
        if (FLastError.empty())
            FLastError = "\"" + FFilename + "\" is not a user dictionary.";
        Unload();
        return;
    }
    HandleGuard guard{h};
    if (h == INVALID_HANDLE_VALUE) {
        FFileDate = FileStamp{};
        FModified = true;
        return;
    }
    FFileDate = StampOf(h);
    if (!LoadDictionary(h))
        Unload();
}

void TCustomDictionary::WriteFilename(const std::string& Name) {
    HANDLE h = INVALID_HANDLE_VALUE;
    if (!IsCustomDictionary(Name, false, h))
        return;
    bool was = FLoaded;
    WriteLoaded(false);
    if (FLoaded)
        return; // the old dictionary's changes could not be written: keep it
    FFilename = Name;
    FTrackChanges = !Name.empty();
    WriteLoaded(was);
}

bool TCustomDictionary::IsCustomDictionary(const std::string& Name, bool KeepOpen, HANDLE& Handle) {
    Handle = INVALID_HANDLE_VALUE;
    if (Name.empty())
        return true;
    HANDLE h = CreateFileA(Name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        if (GetFileAttributesA(Name.c_str()) != INVALID_FILE_ATTRIBUTES) {
            FLastError = "\"" + Name + "\" cannot be opened.";
            return false;
        }
        return CanFileBeWritten(Name, true);
    }
    uint8_t head[kUserDictionaryHeaderSize];
    if (!readAll(h, head, sizeof head) || std::memcmp(head, kUserDictionaryBanner, 120) != 0) {
        CloseHandle(h);
        FLastError = "\"" + Name + "\" is not a user dictionary.";
        return false;
    }
    if (KeepOpen)
        Handle = h;
    else
        CloseHandle(h);
    return true;
}

bool TCustomDictionary::LoadDictionary(HANDLE Handle) {
    LARGE_INTEGER size{}, pos{}, zero{};
    if (!GetFileSizeEx(Handle, &size) || !SetFilePointerEx(Handle, zero, &pos, FILE_CURRENT) ||
        size.QuadPart < pos.QuadPart || size.QuadPart - pos.QuadPart > 0x7FFF0000) {
        FLastError = "\"" + FFilename + "\" is too large or cannot be read.";
        return false;
    }
    std::vector<uint8_t> data(static_cast<size_t>(size.QuadPart - pos.QuadPart));
    if (!data.empty() && !readAll(Handle, data.data(), data.size())) {
        FLastError = "\"" + FFilename + "\" cannot be read.";
        return false;
    }
    if (!Parse(data)) {
        FLastError = "\"" + FFilename + "\" is damaged: " + FLastError;
        return false;
    }
    return true;
}

// Everything in the file is checked against its bytes before it is used: counts, the slot
// table's size, every position, and the entries the positions point at.
bool TCustomDictionary::Parse(const std::vector<uint8_t>& d) {
    const size_t n = d.size();
    if (n < 24) {
        FLastError = "the header is cut short.";
        return false;
    }
    int32_t ign = readLE32(&d[0]), exc = readLE32(&d[4]), ac = readLE32(&d[8]);
    int32_t words = readLE32(&d[12]), slots = readLE32(&d[16]);
    if (slots < 0 || (slots > 0 && slots < 2) || static_cast<uint64_t>(slots) * 4 > n - 20 - 4) {
        FLastError = "the slot count " + std::to_string(slots) + " does not fit the file.";
        return false;
    }
    size_t at = 20 + static_cast<size_t>(slots) * 4;
    int32_t len = readLE32(&d[at]);
    at += 4;
    if (len < 0 || static_cast<uint64_t>(len) > n - at) {
        FLastError = "the word buffer's length " + std::to_string(len) + " does not fit the file.";
        return false;
    }
    const uint8_t* buf = d.data() + at;
    std::vector<int32_t> table(static_cast<size_t>(slots));
    int32_t live = 0, empty = 0;
    for (int32_t i = 0; i < slots; ++i) {
        int32_t p = readLE32(&d[20 + static_cast<size_t>(i) * 4]);
        table[static_cast<size_t>(i)] = p;
        if (p == 0) {
            ++empty;
            continue;
        }
        if (p == -1)
            continue;
        if (p < 1 || p >= len) {
            FLastError = "slot " + std::to_string(i) + " points outside the word buffer.";
            return false;
        }
        uint8_t kind = buf[p - 1];
        const void* end = std::memchr(buf + p, 0, static_cast<size_t>(len - p));
        if ((kind != 'I' && kind != 'E' && kind != 'A') || end == nullptr || end == buf + p) {
            FLastError = "slot " + std::to_string(i) + " points at no entry.";
            return false;
        }
        if (kind == 'A') {
            const uint8_t* r = static_cast<const uint8_t*>(end) + 1;
            if (r >= buf + len || std::memchr(r, 0, static_cast<size_t>(buf + len - r)) == nullptr) {
                FLastError = "slot " + std::to_string(i) + " has no replacement.";
                return false;
            }
        }
        ++live;
    }
    if (words != live || (slots > 0 && empty == 0)) {
        FLastError = "the word count does not match the slot table.";
        return false;
    }
    // Every live entry must be where its own probe sequence leads, before any empty slot and
    // with no second slot holding the same word: otherwise a listed word could never be found,
    // removed or told apart from its copy.
    for (int32_t i = 0; i < slots; ++i) {
        int32_t p = table[static_cast<size_t>(i)];
        if (p <= 0)
            continue;
        const char* word = reinterpret_cast<const char*>(buf + p);
        int32_t at = HashString(word, slots), step = SecondaryHash(at);
        bool reached = false;
        for (int32_t probes = 0; probes < slots && !reached; ++probes) {
            int32_t q = table[static_cast<size_t>(at)];
            if (q == 0)
                break;
            if (q > 0 && std::strcmp(reinterpret_cast<const char*>(buf + q), word) == 0) {
                reached = at == i;
                if (!reached)
                    break;
            }
            at = static_cast<int32_t>((static_cast<int64_t>(at) + step) % slots);
        }
        if (!reached) {
            FLastError = "slot " + std::to_string(i) + " holds a word that its hash does not lead to.";
            return false;
        }
    }
    FStoredIgnoreCount = ign;
    FStoredExcludeCount = exc;
    FStoredAutoCorrectCount = ac;
    FWordCount = words;
    FSlotCount = slots;
    FSlots = std::move(table);
    FBuffer.reserve(static_cast<size_t>((len / kBufferStep + 1)) * kBufferStep);
    FBuffer.assign(buf, buf + len);
    FIndexListsReady = false;
    return true;
}

bool TCustomDictionary::SaveDictionary(const std::string& Name) {
    std::vector<uint8_t> out;
    out.reserve(kUserDictionaryHeaderSize + 24 + FSlots.size() * 4 + FBuffer.size());
    out.insert(out.end(), kUserDictionaryBanner, kUserDictionaryBanner + 120);
    out.push_back(26);
    putLE32(out, FStoredIgnoreCount);
    putLE32(out, FStoredExcludeCount);
    putLE32(out, FStoredAutoCorrectCount);
    putLE32(out, FWordCount);
    putLE32(out, FSlotCount);
    for (int32_t s : FSlots)
        putLE32(out, s);
    putLE32(out, static_cast<int32_t>(FBuffer.size()));
    out.insert(out.end(), FBuffer.begin(), FBuffer.end());

    // The old file stays until the new one is completely on disk.
    std::string temp = Name + ".new~";
    HANDLE h =
        CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        FLastError = "\"" + temp + "\" cannot be created.";
        return false;
    }
    bool ok = writeAll(h, out.data(), out.size()) && FlushFileBuffers(h);
    ok = CloseHandle(h) && ok;
    if (ok)
        ok = MoveFileExA(temp.c_str(), Name.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    if (!ok) {
        DeleteFileA(temp.c_str());
        FLastError = "\"" + Name + "\" cannot be written.";
        return false;
    }
    return true;
}

void TCustomDictionary::AddToIndexList(char Kind, int32_t Position) {
    switch (Kind) {
    case 'I':
        FIgnoreIndex.push_back(Position);
        break;
    case 'E':
        FExcludeIndex.push_back(Position);
        break;
    case 'A':
        FAutoCorrectIndex.push_back(Position);
        break;
    default:
        break;
    }
}

void TCustomDictionary::SetupIndexLists() {
    if (FIndexListsReady)
        return;
    if (!FLoaded)
        WriteLoaded(true);
    FIgnoreIndex.clear();
    FExcludeIndex.clear();
    FAutoCorrectIndex.clear();
    for (int32_t p : FSlots)
        if (p > 0 && p <= BufferLength())
            AddToIndexList(static_cast<char>(FBuffer[static_cast<size_t>(p - 1)]), p);
    FIndexListsReady = true;
}

std::string TCustomDictionary::StringFromStreamPos(int32_t Position) const {
    if (Position < 0 || Position >= BufferLength())
        return std::string();
    const char* s = reinterpret_cast<const char*>(FBuffer.data()) + Position;
    const void* end = std::memchr(s, 0, FBuffer.size() - static_cast<size_t>(Position));
    size_t len = end ? static_cast<size_t>(static_cast<const char*>(end) - s)
                     : FBuffer.size() - static_cast<size_t>(Position);
    return std::string(s, len);
}

bool TCustomDictionary::FindWord(char Kind, const std::string& Word, int32_t& Index, int32_t& Position) {
    if (!FLoaded)
        WriteLoaded(true);
    Index = -1;
    Position = 0;
    // An empty dictionary (the usual state of most of them) answers without hashing the word.
    if (FSlotCount <= 0 || FWordCount == 0)
        return false;
    int32_t h = HashString(Word.c_str(), FSlotCount);
    int32_t step = SecondaryHash(h);
    Index = h;
    // At most one visit per slot, whatever the file held.
    for (int32_t probes = 0; probes < FSlotCount; ++probes) {
        Position = FSlots[static_cast<size_t>(Index)];
        if (Position == 0)
            return false;
        if (Position > 0) {
            size_t p = static_cast<size_t>(Position);
            if (p + Word.size() < FBuffer.size() && std::memcmp(&FBuffer[p], Word.data(), Word.size()) == 0 &&
                FBuffer[p + Word.size()] == 0)
                return Kind == '*' || FBuffer[p - 1] == static_cast<uint8_t>(Kind);
        }
        Index = static_cast<int32_t>((static_cast<int64_t>(Index) + step) % FSlotCount);
    }
    return false;
}

void TCustomDictionary::AppendBuffer(const uint8_t* Data, int32_t Length) {
    size_t cap = FBuffer.capacity();
    if (static_cast<size_t>(Length) >= cap - FBuffer.size())
        FBuffer.reserve(cap + kBufferStep + static_cast<size_t>(Length));
    FBuffer.insert(FBuffer.end(), Data, Data + Length);
}

bool TCustomDictionary::InternalHash(std::vector<int32_t>& Slots, const char* Word, int32_t Position) {
    int32_t n = static_cast<int32_t>(Slots.size());
    if (n < 2)
        return false;
    int32_t h = HashString(Word, n);
    if (Slots[static_cast<size_t>(h)] <= 0) {
        Slots[static_cast<size_t>(h)] = Position;
        return true;
    }
    int32_t step = SecondaryHash(h);
    for (int32_t probes = 0; probes < n; ++probes) {
        h = static_cast<int32_t>((static_cast<int64_t>(h) + step) % n);
        if (Slots[static_cast<size_t>(h)] == 0) {
            Slots[static_cast<size_t>(h)] = Position;
            return true;
        }
    }
    return false;
}

bool TCustomDictionary::AddHash(const std::string& Word, int32_t Position) {
    if (static_cast<int64_t>(FWordCount) * 4 >= FSlotCount) {
        uint32_t next = GetNextPrime(static_cast<uint32_t>(FSlotCount));
        if (next != 0 && next <= 0x10000000u) {
            std::vector<int32_t> grown(next, 0);
            for (int32_t p : FSlots)
                if (p > 0)
                    InternalHash(grown, StringFromStreamPos(p).c_str(), p);
            FSlots = std::move(grown);
            FSlotCount = static_cast<int32_t>(next);
            FIndexListsReady = false;
        }
    }
    if (FSlotCount <= 0)
        return false;
    return InternalHash(FSlots, Word.c_str(), Position);
}

bool TCustomDictionary::AddWord(char Kind, const std::string& Word, const std::string& Replacement) {
    if (!FLoaded)
        WriteLoaded(true);
    // A file that could not be read keeps its words; a save of the few added here would replace them.
    if (!FLoaded)
        return false;
    if (Word.size() + Replacement.size() > kMaxWordBytes)
        return false;
    // Text with an inner 0 could not be found again.
    if (Word.empty() || Word.find('\0') != std::string::npos || Replacement.find('\0') != std::string::npos)
        return false;
    int32_t index, pos;
    if (FindWord('*', Word, index, pos))
        return false;
    // The table must keep an empty slot, or lookups would find no end.
    if (FSlotCount > 0 && FWordCount + 1 >= FSlotCount &&
        GetNextPrime(static_cast<uint32_t>(FSlotCount)) == 0)
        return false;
    std::vector<uint8_t> entry;
    entry.push_back(static_cast<uint8_t>(Kind));
    entry.insert(entry.end(), Word.begin(), Word.end());
    entry.push_back(0);
    if (Kind == 'A') {
        entry.insert(entry.end(), Replacement.begin(), Replacement.end());
        entry.push_back(0);
    }
    int32_t position = BufferLength() + 1;
    AppendBuffer(entry.data(), static_cast<int32_t>(entry.size()));
    ++FWordCount;
    if (!AddHash(Word, position)) {
        --FWordCount;
        FBuffer.resize(FBuffer.size() - entry.size());
        return false;
    }
    if (FIndexListsReady)
        AddToIndexList(Kind, position);
    return true;
}

bool TCustomDictionary::RemoveWord(char Kind, const std::string& Word) {
    int32_t index, pos;
    if (!FindWord(Kind, Word, index, pos))
        return false;
    FIndexListsReady = false;
    FSlots[static_cast<size_t>(index)] = -1;
    --FWordCount;
    return true;
}

int TCustomDictionary::ReadIgnoreCount() {
    SetupIndexLists();
    return static_cast<int>(FIgnoreIndex.size());
}

int TCustomDictionary::ReadExcludeCount() {
    SetupIndexLists();
    return static_cast<int>(FExcludeIndex.size());
}

int TCustomDictionary::ReadAutoCorrectCount() {
    SetupIndexLists();
    return static_cast<int>(FAutoCorrectIndex.size());
}

TCustomDictionary* TCustomDictionary::CreateInstance() {
    return new TCustomDictionary();
}

bool TCustomDictionary::Save() {
    if (FModified && !FFilename.empty()) {
        HANDLE h = INVALID_HANDLE_VALUE;
        if (!IsCustomDictionary(FFilename, true, h))
            return false; // the changes stay recorded for a later save
        FileStamp onDisk;
        {
            HandleGuard guard{h};
            onDisk = h == INVALID_HANDLE_VALUE ? FFileDate : StampOf(h);
        }
        bool direct = onDisk == FFileDate || FRemovedAll;
        if (direct) {
            if (!SaveDictionary(FFilename))
                return false;
        } else {
            // Another program changed the file: replay this session's changes on top of its words.
            TCustomDictionary* fresh = CreateInstance();
            fresh->WriteFilename(FFilename);
            fresh->WriteLoaded(true);
            bool ok = fresh->GetLoaded();
            if (ok) {
                for (int i = 0; i < FAddedIgnore.Count(); ++i)
                    fresh->AddIgnore(FAddedIgnore[i]);
                for (int i = 0; i < FAddedExclude.Count(); ++i)
                    fresh->AddExclude(FAddedExclude[i]);
                for (int i = 0; i < FAddedAutoCorrectWords.Count(); ++i)
                    fresh->AddAutoCorrect(FAddedAutoCorrectWords[i], FAddedAutoCorrectReplacements[i]);
                for (int i = 0; i < FRemovedIgnore.Count(); ++i)
                    fresh->RemoveIgnore(FRemovedIgnore[i]);
                for (int i = 0; i < FRemovedExclude.Count(); ++i)
                    fresh->RemoveExclude(FRemovedExclude[i]);
                for (int i = 0; i < FRemovedAutoCorrect.Count(); ++i)
                    fresh->RemoveAutoCorrect(FRemovedAutoCorrect[i]);
                ok = !fresh->Modified() || fresh->Save();
            }
            if (!ok)
                FLastError = fresh->LastError();
            fresh->FModified = false; // its destructor must not write a second time
            delete fresh;
            if (!ok)
                return false;
        }
        // After a direct write the file holds exactly this dictionary; later saves compare against it.
        HANDLE r = CreateFileA(FFilename.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (r != INVALID_HANDLE_VALUE) {
            if (direct)
                FFileDate = StampOf(r);
            CloseHandle(r);
        }
    }
    FModified = false;
    ClearChanges();
    return true;
}

bool TCustomDictionary::SaveAs(const std::string& Name) {
    if (!FLoaded)
        WriteLoaded(true);
    if (!FLoaded)
        return false;
    return SaveDictionary(Name);
}

std::string TCustomDictionary::GetIgnoreWord(unsigned Index) {
    SetupIndexLists();
    return Index < FIgnoreIndex.size() ? StringFromStreamPos(FIgnoreIndex[Index]) : std::string();
}

std::string TCustomDictionary::GetExcludeWord(unsigned Index) {
    SetupIndexLists();
    return Index < FExcludeIndex.size() ? StringFromStreamPos(FExcludeIndex[Index]) : std::string();
}

std::string TCustomDictionary::GetAutoCorrectWord(unsigned Index, std::string& Replacement) {
    SetupIndexLists();
    Replacement.clear();
    if (Index >= FAutoCorrectIndex.size())
        return std::string();
    std::string w = StringFromStreamPos(FAutoCorrectIndex[Index]);
    Replacement = StringFromStreamPos(FAutoCorrectIndex[Index] + static_cast<int32_t>(w.size()) + 1);
    return w;
}

bool TCustomDictionary::IgnoreExists(const std::string& Word) {
    int32_t i, p;
    return FindWord('I', Word, i, p);
}

bool TCustomDictionary::ExcludeExists(const std::string& Word) {
    int32_t i, p;
    return FindWord('E', Word, i, p);
}

bool TCustomDictionary::AutoCorrectExists(const std::string& Word, std::string& Replacement) {
    int32_t i, p;
    if (!FindWord('A', Word, i, p))
        return false;
    Replacement = StringFromStreamPos(p + static_cast<int32_t>(Word.size()) + 1);
    return true;
}

bool TCustomDictionary::AddCounted(char Kind, const std::string& Word, TStringList& Added, int32_t& Stored) {
    if (!AddWord(Kind, Word, std::string()))
        return false;
    if (FTrackChanges)
        Added.Add(Word);
    FModified = true;
    ++Stored;
    return true;
}

bool TCustomDictionary::RemoveCounted(char Kind, const std::string& Word, TStringList& Removed,
                                      int32_t& Stored) {
    if (!RemoveWord(Kind, Word))
        return false;
    if (FTrackChanges)
        Removed.Add(Word);
    FModified = true;
    --Stored;
    return true;
}

bool TCustomDictionary::AddIgnore(const std::string& Word) {
    return AddCounted('I', Word, FAddedIgnore, FStoredIgnoreCount);
}

bool TCustomDictionary::AddExclude(const std::string& Word) {
    return AddCounted('E', Word, FAddedExclude, FStoredExcludeCount);
}

bool TCustomDictionary::AddAutoCorrect(const std::string& Word, const std::string& Replacement) {
    if (!AddWord('A', Word, Replacement))
        return false;
    if (FTrackChanges) {
        FAddedAutoCorrectWords.Add(Word);
        FAddedAutoCorrectReplacements.Add(Replacement);
    }
    FModified = true;
    ++FStoredAutoCorrectCount;
    return true;
}

bool TCustomDictionary::RemoveIgnore(const std::string& Word) {
    return RemoveCounted('I', Word, FRemovedIgnore, FStoredIgnoreCount);
}

bool TCustomDictionary::RemoveExclude(const std::string& Word) {
    return RemoveCounted('E', Word, FRemovedExclude, FStoredExcludeCount);
}

bool TCustomDictionary::RemoveAutoCorrect(const std::string& Word) {
    return RemoveCounted('A', Word, FRemovedAutoCorrect, FStoredAutoCorrectCount);
}

void TCustomDictionary::RemoveAll() {
    if (!FLoaded)
        WriteLoaded(true);
    if (!FLoaded)
        return; // emptying must not become a save over a file that was never read
    FStoredIgnoreCount = FStoredExcludeCount = FStoredAutoCorrectCount = 0;
    FWordCount = 0;
    FSlotCount = 0;
    FSlots.clear();
    FBuffer.clear();
    FIndexListsReady = false;
    FIgnoreIndex.clear();
    FExcludeIndex.clear();
    FAutoCorrectIndex.clear();
    ClearChanges();
    // Emptying is a change like any other, and it replaces whatever the file holds.
    FRemovedAll = true;
    FModified = true;
}
