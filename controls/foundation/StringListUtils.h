#pragma once
// List and string-list jobs of the family, and the search of a string list that the text
// model's find and replace uses.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "controls/foundation/SortedLists.h"
#include "controls/foundation/StringUtils.h"
#include "framework/core/List.h"

class TStrings;
class TStringList;

// Same count and every item of A in B.
bool EqualList(const TList* A, const TList* B);
// True when some item of A is in B.
bool ListsInterSect(const TList* A, const TList* B);
void AddList(const TList* Source, TList* Dest);
// Removes the object and frees it.
void RemoveItem(TList* List, TObject* Obj);
void RemoveSortedItem(TCustomSortedList* List, TObject* Obj);
using TListItemProc = std::function<void(void* Item, int32_t Index, bool& Continue)>;
// From the last item to the first until Continue is cleared; answers Continue.
bool ForEachListItem(const TList* List, const TListItemProc& Proc);
TList* CreateList();
void CreateListIfEmpty(TList*& List);
TStringList* CreateSortedStringList();

// Frees the lines' objects and clears the list.
void ClearStrings(TStrings* Strings);
// Frees the lines' objects (last first) and forgets them.
void FreeStringsObjects(TStrings* Strings);
void FreeStrings(TStrings*& Strings);
void StrArrayToStrings(TStrings* Strings, const std::vector<std::string>& Items);
void AnsiUpperCaseStrings(TStrings* Strings);
void AnsiLowerCaseStrings(TStrings* Strings);
// Deletes lines that are empty after trimming.
void RemoveEmptyStrings(TStrings* Strings);
// Deletes from A the lines found in B.
void RemoveStrings(TStrings* A, const TStrings* B);
// Deletes from B the lines not in A.
void IntersectStrings(const TStrings* A, TStrings* B);
void SubtractStrings(TStrings* A, const TStrings* B);
void SortAndRemoveDups(TStrings* Strings);
void NamePartToStrings(const TStrings* Source, TStrings* Dest);
void ValuePartToStrings(const TStrings* Source, TStrings* Dest);
// The folders of the file names, sorted, without duplicates.
void ExtractFilePaths(const TStrings* Source, TStrings* Dest);
void StringsToProc(const TStrings* Strings, const std::function<void(const std::string& S)>& Proc);
void StringsObjectsToList(const TStrings* Strings, TList* List);
int32_t MaxIntValue(const std::vector<int32_t>& Values);

// A sorted list of objects.
class TListWrapper : public TObject {
public:
    void Add(TObject* Obj) { FList.Add(Obj); }
    void Remove(TObject* Obj) { FList.Remove(Obj); }
    int32_t GetCount() const { return FList.Count(); }
    TObject* GetObject(int32_t Index) const { return static_cast<TObject*>(FList.Get(Index)); }
    TClass GetClass(int32_t Index) const { return GetObject(Index)->ClassType(); }

private:
    TSortedList FList;
};

// Search options of a string-list search.
enum TStrSearchParam : uint32_t { spCaseSens = 1, spWholeWords = 2, spBackSearch = 4 };
using TStrSearchParams = uint32_t;

// A column (from 1) and a line index (from 0).
struct TStrPos {
    int32_t X = 1;
    int32_t Y = 0;
};

// Replaces the plain text search within one line: Pos is the column to start at (from 1) and
// gets the hit's column; Len gets the hit's length.
using TFindInLineProc =
    std::function<bool(const std::string& Line, int32_t& Pos, bool Forward, int32_t& Len)>;

// Finds Text in the lines from Pos (forward, or backward with spBackSearch). Trailing blanks of
// a line do not count. With spWholeWords a hit counts only when the run of characters not in
// Delims around it is the hit itself. True with Pos at the hit.
bool FindInStringsEx(const std::string& Text, const TStrings* Strings, TStrSearchParams Params,
                     const TCharSet& Delims, TStrPos& Pos, int32_t& Len,
                     const TFindInLineProc& FindProc = nullptr);
bool FindFirstInStrings(const std::string& Text, const TStrings* Strings, bool CaseSensitive, TStrPos& Pos,
                        int32_t& Len, const TFindInLineProc& FindProc = nullptr);
bool FindNextInStrings(const std::string& Text, const TStrings* Strings, bool CaseSensitive, TStrPos& Pos,
                       int32_t& Len, const TFindInLineProc& FindProc = nullptr);
