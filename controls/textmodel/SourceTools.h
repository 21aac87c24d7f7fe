#pragma once
// Maintenance routines that run the Object Pascal tokenizers over whole source files:
// identifier numbering, character-set constants, interface extraction and the removal of
// inactive conditional regions.

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "controls/textmodel/HSParser.h"

// Numbers texts in the order they are first met; number 0 is the empty text.
class THSIDStringConvert {
public:
    THSIDStringConvert();
    std::string IDToString(int32_t id) const;
    int32_t StringToID(const std::string& text);
    int32_t Count() const { return int32_t(FOrdered.size()); }

private:
    std::vector<std::string> FOrdered;
    std::map<std::string, int32_t> FSorted;
};

// '.' is the decimal separator whatever the user's locale; a malformed text raises EConvertError.
double GetFloatFromString(const std::string& text);

// Reads an Object Pascal set constant of characters ("['a'..'z', '_', #13]"); anything else
// raises EParserError "Invalid charset definition".
TCharSet ParseCharSetDef(const std::string& text);

// Writes the unit's text up to and including its "implementation" to the same name with the
// extension ".INT".
void CreateIntFile(const std::string& fileName);
void CreateINTsForDir(const std::string& folder);

// Lists the string literals of the "*.pas" files in `folder` (and below it when `recursive`)
// that are not yet resource strings, into `resultFile` (in the program's folder when it names
// no folder). `excludedFile`, when it exists, lists file names to leave out.
bool SearchNotResourcedStrings(const std::string& folder, const std::string& resultFile,
                               const std::string& excludedFile, bool recursive);

// (var file name, var consider empty): asked when an include file is not found.
using TIfDefFileCallback = std::function<void(std::string& fileName, bool& considerEmpty)>;

// `source` is a text, or with `followIncludes` the name of the main file. Defines and ignored
// defines are lists separated by ';'. Only the tokens of active regions remain, comments
// dropped, each source line that keeps a token on a line of its own.
std::string HSRemoveIfDefsEx(const std::string& source, const std::string& defines,
                             const std::string& ignoredDefines, const std::string& unitPaths,
                             bool followIncludes, const TIfDefFileCallback& callback);
std::string HSRemoveIfDefs(const std::string& source, const std::string& defines,
                           const std::string& ignoredDefines, const std::string& unitPaths,
                           bool followIncludes);
std::string LoadAndParseIfDefs(const std::string& fileName, const std::string& defines,
                               const std::string& ignoredDefines, const std::string& unitPaths);
