#include "spell/MainDictionary.h"

#include <cstring>

#include "spell/MainDictionaryFormat.h"
#include "spell/PhoneticsMap.h"

namespace {

uint32_t le32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

bool readExact(HANDLE h, void* data, DWORD n) {
    DWORD got = 0;
    return ReadFile(h, data, n, &got, nullptr) && got == n;
}

constexpr int kMaxSuggestionsListed = 501;

} // namespace

TMainDictionary::~TMainDictionary() {
    WriteLoaded(false);
}

bool TMainDictionary::Fail(const std::string& why) {
    FLastError = why;
    return false;
}

void TMainDictionary::WriteFilename(const std::string& Name) {
    FLastError.clear();
    if (GetFileAttributesA(Name.c_str()) == INVALID_FILE_ATTRIBUTES) {
        Fail("\"" + Name + "\" does not exist.");
        return;
    }
    HANDLE h = CreateFileA(Name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        Fail("\"" + Name + "\" cannot be opened.");
        return;
    }
    FHits = 0;
    bool was = FLoaded;
    WriteLoaded(false);
    struct Closer {
        HANDLE h;
        ~Closer() { CloseHandle(h); }
    } closer{h};
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(h, &size) || size.QuadPart <= kMainDictionaryHeaderBlock) {
        Fail("\"" + Name + "\" is too short for a main dictionary.");
        return;
    }
    std::array<uint8_t, 1024> header{};
    if (!readExact(h, header.data(), 1024) ||
        std::memcmp(header.data(), kMainDictionarySignature, kMainDictionarySignatureLength) != 0) {
        Fail("\"" + Name + "\" is not a main dictionary.");
        return;
    }
    uint8_t n = 0;
    std::vector<uint8_t> title;
    uint8_t fixed[48];
    if (!readExact(h, &n, 1)) {
        Fail("\"" + Name + "\" is cut short.");
        return;
    }
    title.resize((static_cast<size_t>(n) + 1) * 2);
    if (!readExact(h, title.data(), static_cast<DWORD>(title.size())) || !readExact(h, fixed, 48)) {
        Fail("\"" + Name + "\" is cut short.");
        return;
    }
    std::wstring wtitle;
    for (size_t i = 0; i + 1 < title.size(); i += 2) {
        wchar_t c = static_cast<wchar_t>(title[i] | title[i + 1] << 8);
        if (c == 0)
            break;
        wtitle.push_back(c);
    }
    std::string atitle;
    if (!wtitle.empty()) {
        int len = WideCharToMultiByte(CP_ACP, 0, wtitle.data(), static_cast<int>(wtitle.size()), nullptr, 0,
                                      nullptr, nullptr);
        atitle.resize(static_cast<size_t>(len > 0 ? len : 0));
        if (len > 0)
            WideCharToMultiByte(CP_ACP, 0, wtitle.data(), static_cast<int>(wtitle.size()), atitle.data(), len,
                                nullptr, nullptr);
    }
    std::array<uint32_t, 9> counts{};
    for (int L = 0; L < 9; ++L)
        counts[static_cast<size_t>(L)] = le32(fixed + 12 + 4 * L);
    std::array<uint64_t, 10> starts{};
    std::array<uint32_t, 10> cum{};
    starts[0] = 1025 + title.size() + 48;
    uint64_t total = 0;
    for (int L = 0; L < 9; ++L) {
        starts[static_cast<size_t>(L) + 1] =
            starts[static_cast<size_t>(L)] + uint64_t(counts[static_cast<size_t>(L)]) * (L + 4);
        total += counts[static_cast<size_t>(L)];
        if (total > 0xFFFFFFFFu ||
            starts[static_cast<size_t>(L) + 1] > static_cast<uint64_t>(size.QuadPart)) {
            Fail("\"" + Name + "\" has node counts that do not fit the file.");
            return;
        }
        cum[static_cast<size_t>(L) + 1] = static_cast<uint32_t>(total);
    }
    if (total == 0) {
        Fail("\"" + Name + "\" has no root node.");
        return;
    }
    FHeader = header;
    FTitle = atitle;
    FLanguage = le32(fixed);
    FSecondValue = le32(fixed + 4);
    FSelector = le32(fixed + 8);
    FCounts = counts;
    FStarts = starts;
    FCum = cum;
    FFilename = Name;
    WriteLoaded(was);
}

void TMainDictionary::WriteLoaded(bool Value) {
    if (Value == FLoaded || FFilename.empty())
        return;
    FLoaded = Value;
    ForgetAnswers();
    if (!Value) {
        if (FView)
            UnmapViewOfFile(FView);
        if (FMapping)
            CloseHandle(FMapping);
        if (FFile != INVALID_HANDLE_VALUE)
            CloseHandle(FFile);
        FView = nullptr;
        FMapping = nullptr;
        FFile = INVALID_HANDLE_VALUE;
        FLinkage = nullptr;
        FLinkageLength = 0;
        FViewSize = 0;
        return;
    }
    auto fail = [this](const std::string& why) {
        Fail("\"" + FFilename + "\" " + why);
        WriteLoaded(false);
    };
    FFile = CreateFileA(FFilename.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
    if (FFile == INVALID_HANDLE_VALUE)
        return fail("cannot be opened.");
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(FFile, &size) || size.QuadPart <= 0)
        return fail("cannot be read.");
    FMapping = CreateFileMappingA(FFile, nullptr, PAGE_READONLY | SEC_COMMIT, 0, 0, nullptr);
    if (!FMapping)
        return fail("cannot be mapped.");
    FView = static_cast<const uint8_t*>(MapViewOfFile(FMapping, FILE_MAP_READ, 0, 0, 0));
    if (!FView)
        return fail("cannot be mapped.");
    FViewSize = static_cast<uint64_t>(size.QuadPart);
    uint64_t T = FStarts[9];
    if (FViewSize <= T + 4)
        return fail("is cut short before its linkage block.");
    uint32_t N = le32(FView + T);
    if (FViewSize < T + 4 + N + kFirstLetterTableSize + kTrailingTableSize)
        return fail("is cut short after its linkage block.");
    FLinkageLength = N;
    FLinkage = FView + T + 4;
    std::memcpy(FFirstLetters.data(), FView + T + 4 + N, kFirstLetterTableSize);
    for (int L = 0; L < 9; ++L)
        FLevelTables[static_cast<size_t>(L)] = FView + FStarts[static_cast<size_t>(L)];
    std::memcpy(FTrailing.data(), FView + T + 4 + N + kFirstLetterTableSize, kTrailingTableSize);
}

bool TMainDictionary::EnsureLoaded() {
    if (!FLoaded)
        WriteLoaded(true);
    return FLoaded;
}

bool TMainDictionary::GetNode(uint32_t Index, NodeRef& Node) const {
    if (Index >= FCum[9])
        return false;
    // Most nodes carry short runs, so the search for the level starts at the lowest.
    int L = 0;
    while (L < 8 && Index >= FCum[static_cast<size_t>(L) + 1])
        ++L;
    const uint8_t* p =
        FLevelTables[static_cast<size_t>(L)] + uint64_t(Index - FCum[static_cast<size_t>(L)]) * (L + 4);
    Node.value = le32(p);
    Node.run = p + 4;
    Node.level = L;
    return true;
}

bool TMainDictionary::LinkageByte(uint32_t Position, uint32_t& Value) const {
    if (Position >= FLinkageLength)
        return false;
    Value = FLinkage[Position];
    return true;
}

bool TMainDictionary::GetLinkageIndex(uint32_t& Position, uint32_t& Node) const {
    const uint8_t* p = FLinkage + Position;
    if (FSelector < kLongReferenceSelector) {
        if (uint64_t(Position) + 2 > FLinkageLength)
            return false;
        Node = p[0] | p[1] << 8;
        Position += 2;
        return true;
    }
    if (uint64_t(Position) + 2 > FLinkageLength)
        return false;
    if (p[0] >= 128) {
        Node = static_cast<uint32_t>(p[0] - 128) << 8 | p[1];
        Position += 2;
        return true;
    }
    if (uint64_t(Position) + 3 > FLinkageLength)
        return false;
    Node = static_cast<uint32_t>(p[0]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[2];
    Position += 3;
    return true;
}

// The child whose character is c: a single child is the link itself, several are a reference list.
bool TMainDictionary::SelectChild(uint32_t count, uint32_t link, uint8_t c, uint32_t& Index, NodeRef& Node) {
    if (count == 1) {
        Index = link;
        return GetNode(Index, Node) && WdmNodeChar(Node.value) == c;
    }
    if (count >= kChildTableFanOut) {
        if (const ChildTable* t = ChildrenByCharacter(count, link)) {
            const uint32_t child = t->child[c];
            Index = child - 1;
            return child != 0 && GetNode(Index, Node);
        }
    }
    uint32_t pos = link;
    for (uint32_t k = 0; k < count; ++k) {
        if (!GetLinkageIndex(pos, Index) || !GetNode(Index, Node))
            return false;
        if (WdmNodeChar(Node.value) == c)
            return true;
    }
    return false;
}

// The first child of each character, as the list is read in order: a reference that cannot be
// read ends the list there, as it ends a search through it.
const TMainDictionary::ChildTable* TMainDictionary::ChildrenByCharacter(uint32_t count, uint32_t link) {
    if (!FChildTables)
        FChildTables = std::make_unique<ChildTable[]>(kChildTables);
    ChildTable& t = FChildTables[(link * 2654435761u) >> 26 & (kChildTables - 1)];
    if (t.count != count || t.link != link) {
        t.count = count;
        t.link = link;
        t.made = false;
        return nullptr;
    }
    if (t.made)
        return &t;
    t.made = true;
    std::memset(t.child, 0, sizeof t.child);
    uint32_t pos = link, index;
    NodeRef node;
    for (uint32_t k = 0; k < count && GetLinkageIndex(pos, index) && GetNode(index, node); ++k) {
        uint32_t& slot = t.child[WdmNodeChar(node.value)];
        if (slot == 0)
            slot = index + 1;
    }
    return &t;
}

bool TMainDictionary::ChildrenOf(const NodeRef& Node, uint32_t& count, uint32_t& link) const {
    count = WdmNodeCount(Node.value);
    link = WdmNodeLink(Node.value);
    if (count != 0)
        return true;
    if (link == kNoChildren)
        return false;
    if (!LinkageByte(link, count))
        return false;
    ++link;
    return count != 0;
}

bool TMainDictionary::InternalWordExists(const char* Word, int& Matched) {
    Matched = 0;
    if (!EnsureLoaded() || !Word || !*Word)
        return false;
    const uint8_t* e = &FFirstLetters[static_cast<size_t>(static_cast<uint8_t>(Word[0])) * 8];
    if (Word[1] == 0) {
        Matched = e[0] ? 1 : 0;
        return e[0] != 0;
    }
    // Go on from the deepest recorded step within the characters this word shares with the last,
    // short of its end: whether it ends a word lies in the node before.
    size_t i = 0;
    while (i < FPathKnown && Word[i] == FPathText[i])
        ++i;
    while (i > 0 && (FPath[i].count == 0 || Word[i] == 0))
        --i;
    uint32_t count, link;
    if (i > 0) {
        count = FPath[i].count;
        link = FPath[i].link;
    } else {
        count = e[1];
        link = le32(e + 4);
        if (count == 0)
            return false;
        i = 1;
        FPathText[0] = Word[0];
        FPath[1] = {count, link};
    }
    FPathKnown = i;
    Matched = static_cast<int>(i);
    for (;;) {
        if (Word[i] == 0)
            return false;
        uint32_t index;
        NodeRef node;
        if (!SelectChild(count, link, static_cast<uint8_t>(Word[i]), index, node))
            return false;
        const size_t from = i;
        ++Matched;
        ++i;
        if (Word[i] == 0)
            return WdmNodeEndsWord(node.value);
        for (int k = 0; k < node.level; ++k) {
            if (node.run[k] != static_cast<uint8_t>(Word[i]))
                return false;
            ++Matched;
            ++i;
        }
        if (!ChildrenOf(node, count, link))
            return false;
        if (i < kPathLength) {
            for (size_t j = from; j < i; ++j) {
                FPathText[j] = Word[j];
                FPath[j + 1].count = 0;
            }
            FPath[i] = {count, link};
            FPathKnown = i;
        }
    }
}

bool TMainDictionary::WordExists(const std::string& Word) {
    int matched;
    if (!FRemember) {
        for (char c : Word)
            if (c == 0)
                return false; // no stored word holds one
        return InternalWordExists(Word.c_str(), matched);
    }
    // One pass gives the slot and finds the zero byte no stored word can hold.
    uint32_t h = 2166136261u;
    bool zero = false;
    for (char c : Word) {
        h = (h ^ static_cast<uint8_t>(c)) * 16777619u;
        zero |= c == 0;
    }
    if (zero || !EnsureLoaded())
        return false;
    if (Word.empty() || Word.size() > sizeof CachedAnswer::text)
        return InternalWordExists(Word.c_str(), matched);
    if (!FAnswers)
        FAnswers = std::make_unique<CachedAnswer[]>(kCachedAnswers);
    CachedAnswer& a = FAnswers[(h ^ h >> 16) & (kCachedAnswers - 1)];
    // Compared here: the runtime's memcmp is a call into another module for a few bytes.
    bool same = a.length == Word.size();
    for (size_t i = 0; same && i < Word.size(); ++i)
        same = a.text[i] == Word[i];
    if (same)
        return a.exists;
    a.exists = InternalWordExists(Word.c_str(), matched);
    a.length = static_cast<uint8_t>(Word.size());
    std::memcpy(a.text, Word.data(), Word.size());
    return a.exists;
}

void TMainDictionary::ForgetAnswers() {
    FAnswers.reset();
    FChildTables.reset();
    FPathKnown = 0;
}

int TMainDictionary::WordLength(const std::string& Word) {
    int matched;
    InternalWordExists(Word.c_str(), matched);
    return matched;
}

void TMainDictionary::Suggest(const std::string& Word, TPhoneticsMap* Map, TStrings* List) {
    if (!Map || !List)
        return;
    FSoughtMapping = Map->GetMapping(Word);
    if (FSoughtMapping.size() < 2)
        return;
    size_t depth = static_cast<size_t>(Map->StartDepth());
    std::string prefix = Word.substr(0, std::min(depth, Word.size()));
    if (prefix.size() > 511 || prefix.find('\0') != std::string::npos)
        return;
    std::memcpy(FWork, prefix.c_str(), prefix.size() + 1);
    FList = List;
    FMap = Map;
    // The nodes form a tree, so a walk of a sound file meets each node at most once; links that
    // loop or share nodes in a damaged one end the walk there instead of repeating it for ever.
    FBudget = static_cast<int64_t>(FCum[9]) + 1;
    PerformPrefixWords(prefix.c_str());
    FList = nullptr;
    FMap = nullptr;
}

void TMainDictionary::PerformPrefixWords(const char* Prefix) {
    if (!EnsureLoaded() || !*Prefix)
        return;
    NodeRef node;
    uint32_t count, link;
    if (!GetNode(0, node) || !ChildrenOf(node, count, link))
        return;
    size_t i = 0, lastPos = 0;
    uint32_t last = 0;
    while (Prefix[i]) {
        uint32_t index;
        if (!SelectChild(count, link, static_cast<uint8_t>(Prefix[i]), index, node))
            return;
        last = index;
        lastPos = i;
        ++i;
        for (int k = 0; k < node.level; ++k, ++i)
            if (Prefix[i] == 0 || node.run[k] != static_cast<uint8_t>(Prefix[i]))
                return;
        if (!ChildrenOf(node, count, link))
            return;
    }
    InternalPrefixWords(lastPos, last, 0);
}

void TMainDictionary::InternalPrefixWords(size_t Position, uint32_t Index, int Depth) {
    if (--FBudget <= 0)
        return;
    NodeRef node;
    if (!GetNode(Index, node))
        return;
    size_t next = Position;
    if (Index != 0) {
        // The character, its run and a terminator must fit the work buffer.
        if (Position + 1 + static_cast<size_t>(node.level) + 1 > sizeof FWork)
            return;
        FWork[Position] = static_cast<char>(WdmNodeChar(node.value));
        FWork[Position + 1] = 0;
        if (WdmNodeEndsWord(node.value) && FoundWord())
            return;
        std::memcpy(FWork + Position + 1, node.run, static_cast<size_t>(node.level));
        next = Position + 1 + static_cast<size_t>(node.level);
        FWork[next] = 0;
    }
    // Most subtrees hold no word of the sought mapping, and the start of their words shows it.
    if (!FMap->MayMapBeyond(FWork, next, FSoughtMapping))
        return;
    uint32_t count, link;
    if (!ChildrenOf(node, count, link))
        return;
    if (count == 1) {
        InternalPrefixWords(next, link, Depth + 1);
        return;
    }
    uint32_t pos = link;
    for (uint32_t k = 0; k < count && FBudget > 0; ++k) {
        uint32_t child;
        if (!GetLinkageIndex(pos, child))
            return;
        InternalPrefixWords(next, child, Depth + 1);
    }
}

bool TMainDictionary::FoundWord() {
    std::string candidate(FWork);
    std::string mapping = FMap->GetMapping(candidate);
    if (mapping != FSoughtMapping)
        return mapping.size() > FSoughtMapping.size();
    if (FList->Count() >= kMaxSuggestionsListed) {
        FBudget = 0; // a full list takes no more words: the rest of the walk would find nothing
        return true;
    }
    if (FList->IndexOf(candidate) < 0)
        FList->Add(candidate);
    return false;
}
