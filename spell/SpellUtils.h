#pragma once
// Small services of the spell-checker family: change listeners, dialog placement, string and
// path helpers, the user dictionaries' hashing and the prime table of their slot counts.

#include <cstdint>
#include <string>
#include <vector>

#include "framework/core/Object.h"

// A list of listeners; each listed object has one handler, called in the order of addition.
class TEventList : public TObject {
public:
    TEventList() = default;
    ~TEventList() override;

    // A second Add for an object already listed keeps the first handler.
    void Add(TObject* Obj, TNotifyEvent Handler);
    void Remove(TObject* Obj);
    void Notify(TObject* Sender);
    int Count() const { return static_cast<int>(FObjects.size()); }

private:
    std::vector<TObject*> FObjects;
    std::vector<TNotifyEvent> FHandlers;
};

// Word hash of the user dictionaries: 0..N-1 for N >= 2, 0 for an empty string. Computed on
// unsigned 32-bit values so that it never overflows; the results equal the two's-complement ones
// that the stored files were made with.
int32_t HashString(const char* s, int32_t N);
// Probe step 1..97 for h >= 0.
int32_t SecondaryHash(int32_t h);
// The first prime of the table greater than n; 0 when n is at or past the table's end.
uint32_t GetNextPrime(uint32_t n);

// The locale's case conversion (AnsiLowerCase, AnsiUpperCase) of a word. The platform converts
// through wide text and the locale for every call; a word of ASCII letters, the same in every code
// page, is converted here, and so is any word when the code page has one byte to a character,
// through the platform's answers for each byte asked once.
std::string WordLowerCase(const std::string& Word);
std::string WordUpperCase(const std::string& Word);
// Whether WordLowerCase (WordUpperCase) leaves the word as it is, told without converting it.
bool WordIsLowerCase(const std::string& Word);
bool WordIsUpperCase(const std::string& Word);

// Source with its first occurrence of Find replaced.
std::string ReplaceString(const std::string& Find, const std::string& Replace, const std::string& Source);
// Expands %AppDir%, %AppName%, %UserName%, %AppData%, %MyDocuments% (first occurrence each) and
// then the environment's variables.
std::string ExpandBasicVars(const std::string& S);
std::string GetSpecialFolder(int Folder);
// Whether the file can be opened for writing. With DeleteOnClose only a file that does not exist
// is probed (and is gone again afterwards); an existing file is only opened, never deleted.
bool CanFileBeWritten(const std::string& FileName, bool DeleteOnClose);
void ADForceDirectories(const std::string& Dir);
std::string AdExcludeTrailingBackslash(const std::string& S);
std::string GetOrthosVersion();
inline int ADMin(int A, int B) {
    return A < B ? A : B;
}
inline int ADMax(int A, int B) {
    return A > B ? A : B;
}

// Places a top-level window at (X, Y), kept inside its monitor's work area.
void AdjustDialogPosition(HWND Form, int X, int Y);
// Places a top-level window beside a screen rectangle (below it, or above when there is no room).
void AdjustDialogToRect(HWND Form, const RECT& Rect, bool Horizontal, bool Vertical);
