#pragma once
// TMainDictionary: a compiled, read-only main dictionary (".wdm"), mapped into memory and walked
// in place. Every node number, link and count read from the file is checked against the mapped
// bytes, so a damaged file answers "no such word" instead of reading past its end.

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "framework/core/Object.h"
#include "framework/core/Strings.h"

class TPhoneticsMap;

class TMainDictionary : public TObject {
public:
    TMainDictionary() = default;
    ~TMainDictionary() override;

    // Accepted only for a file in the format; a caller tests success by comparing GetFilename.
    void WriteFilename(const std::string& Name);
    const std::string& GetFilename() const { return FFilename; }
    void WriteLoaded(bool Value);
    bool GetLoaded() const { return FLoaded; }
    // Why the last file name or mapping was refused.
    const std::string& LastError() const { return FLastError; }

    bool WordExists(const std::string& Word);
    // Whether WordExists keeps its answers for words asked again (the default). Candidates made
    // for suggestions are seldom asked twice, and keeping their answers costs more than it saves.
    void RememberAnswers(bool Value) { FRemember = Value; }
    int WordLength(const std::string& Word);
    void WordFound() { ++FHits; }
    int Hits() const { return FHits; }
    // Adds the words that share the word's first StartDepth characters and its phonetic key.
    void Suggest(const std::string& Word, TPhoneticsMap* Map, TStrings* List);

    const std::string& Title() const { return FTitle; }
    uint32_t Language() const { return FLanguage; }

private:
    struct NodeRef {
        uint32_t value = 0;
        const uint8_t* run = nullptr;
        int level = 0;
    };
    bool Fail(const std::string& why);
    bool GetNode(uint32_t Index, NodeRef& Node) const;
    bool GetLinkageIndex(uint32_t& Position, uint32_t& Node) const;
    bool LinkageByte(uint32_t Position, uint32_t& Value) const;
    bool SelectChild(uint32_t count, uint32_t link, uint8_t c, uint32_t& Index, NodeRef& Node);
    bool ChildrenOf(const NodeRef& Node, uint32_t& count, uint32_t& link) const;
    bool InternalWordExists(const char* Word, int& Matched);
    void ForgetAnswers();
    void PerformPrefixWords(const char* Prefix);
    void InternalPrefixWords(size_t Position, uint32_t Node, int Depth);
    bool FoundWord();
    bool EnsureLoaded();

    // Answers of WordExists for the words looked up lately. A text repeats its words, and a walk
    // reads nodes spread over the whole file; the answers hold for the mapped file only.
    struct CachedAnswer {
        uint8_t length = 0; // 0: an empty slot
        bool exists = false;
        char text[30] = {};
    };
    static constexpr size_t kCachedAnswers = 8192;
    std::unique_ptr<CachedAnswer[]> FAnswers;
    bool FRemember = true;

    // The walk of the last lookup. Suggestions test one candidate after another that differ from
    // the one before only from some place on, so a lookup goes on from the deepest step of that
    // walk that its own first characters lead to as well.
    struct PathStep {
        uint32_t count = 0; // 0: no step begins at this character (it lies in a run)
        uint32_t link = 0;
    };
    static constexpr size_t kPathLength = 64;
    char FPathText[kPathLength] = {};
    PathStep FPath[kPathLength + 1] = {};
    size_t FPathKnown = 0; // characters of FPathText whose steps FPath holds

    // The children of nodes with many, looked up by character, for the nodes met again lately: a
    // candidate tries dozens of characters at the same place, and most of them are no child. A
    // node met once is only noted; the table is made when it is met again.
    struct ChildTable {
        uint32_t link = 0, count = 0; // the reference list noted (count 0: none)
        bool made = false;
        uint32_t child[256]; // node number + 1, 0 for no child
    };
    static constexpr uint32_t kChildTableFanOut = 6;
    static constexpr size_t kChildTables = 64;
    std::unique_ptr<ChildTable[]> FChildTables;
    // The table of the list, or null when the list was only noted now.
    const ChildTable* ChildrenByCharacter(uint32_t count, uint32_t link);

    // The running suggestion search.
    char FWork[513] = {};
    TStrings* FList = nullptr;
    TPhoneticsMap* FMap = nullptr;
    std::string FSoughtMapping;
    int64_t FBudget = 0;

    std::string FFilename;
    bool FLoaded = false;
    std::string FTitle;
    uint32_t FLanguage = 0, FSecondValue = 0, FSelector = 0;
    HANDLE FFile = INVALID_HANDLE_VALUE;
    HANDLE FMapping = nullptr;
    const uint8_t* FView = nullptr;
    uint64_t FViewSize = 0;
    uint32_t FLinkageLength = 0;
    const uint8_t* FLinkage = nullptr;
    std::array<uint8_t, 2048> FFirstLetters{};
    std::array<const uint8_t*, 9> FLevelTables{};
    std::array<uint8_t, 1024> FTrailing{};
    std::array<uint8_t, 1024> FHeader{};
    std::array<uint32_t, 9> FCounts{};
    std::array<uint64_t, 10> FStarts{};
    std::array<uint32_t, 10> FCum{};
    int FHits = 0;
    std::string FLastError;
};
