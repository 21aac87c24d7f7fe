#pragma once
// Shared helpers of the spell checker's tests: a temporary folder, whole-file reads and writes,
// a tiny main dictionary assembled byte by byte, and a checker pointed at the build's dictionaries.

#include <cstdint>
#include <string>
#include <vector>

#include "spell/SpellConfig.h"

// A fresh folder under the temporary folder, removed with its files at the end of the scope.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    const std::string& Path() const { return FPath; }
    std::string File(const std::string& name) const { return FPath + "\\" + name; }

private:
    std::string FPath;
};

std::vector<uint8_t> ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);
int32_t ReadLE32(const std::vector<uint8_t>& bytes, size_t at);
void PutLE32(std::vector<uint8_t>& bytes, size_t at, uint32_t value);

// The words of the hand-made dictionary: "a" (through the first-letter table only), "at", "cat",
// "cats", "carpet" (a node with the run "pe") and "do". The root's children use the count-byte
// form; the node after "ca" has a two-entry reference list.
struct TinyWdm {
    bool longReferences = false; // the 2-or-3-byte high-byte-first form
    std::vector<uint8_t> Build() const;
    // Offsets inside the built file, for tests that damage it.
    static size_t NodeOffset(int node, bool longReferences);
    static size_t LinkageLengthOffset();
};

// Folder of the test program (its bin/ folder), without trailing backslash.
std::string ProgramFolder();

// The dictionaries the build compiles, beside the test program.
std::string BuildDictionaryFolder();
// Whether the build compiled American.wdm; tests that check real text skip without it.
bool HaveBuildDictionary();

// Points a checker at Folder's dictionaries, with no stored configuration and its user and
// learning dictionaries in Tmp.
template <class Spell> void UseDictionaries(Spell& spell, const std::string& folder, const TempFolder& tmp) {
    spell.ConfigStorage = TConfigStorage::csNone;
    spell.ConfigDictionaryDir.Clear();
    spell.ConfigDictionaryDir.Add(folder);
    spell.ConfigDefaultActiveCustom = tmp.File("user.wdu");
    spell.SuggestionsLearningDict = tmp.File("learned.wdl");
}
