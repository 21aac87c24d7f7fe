#pragma once
// The catalogue of the ActiveX controls registered on the machine: every class that implements a
// component category described as "Control" or "Controls".

#include <cstdint>
#include <string>

#include "framework/core/Collection.h"
#include "framework/core/Win.h"

class TStrings;

// One registered control.
class TAxControlInfo : public TCollectionItem {
    ZEL_DECLARE_CLASS(TAxControlInfo)
public:
    explicit TAxControlInfo(TCollection* Collection = nullptr) : TCollectionItem(Collection) {}

    GUID ClassID{};
    // GUID_NULL when the class names no type library.
    GUID TypeLibID{};
    std::string Name;
    std::string BitmapFile;
    int32_t BitmapIndex = 0;
    std::string ServerFile;
};

class TAxControlCollection : public TCollection {
    ZEL_DECLARE_CLASS(TAxControlCollection)
public:
    // Loads the catalogue.
    TAxControlCollection();

    TAxControlInfo* Info(int Index) const { return static_cast<TAxControlInfo*>(Items(Index)); }
    // Fills the catalogue afresh. The component-category manager finds the classes; their keys
    // below "CLSID\" of the classes root give the rest. The name is the class key's default text,
    // or, for a text with dots (a program identifier), the part between its first two dots.
    // A catalogue the platform cannot give stays empty.
    void LoadRegisteredControls();
    // The first entry whose type library or class is Guid; nil when none.
    TAxControlInfo* ItemByGUID(const GUID& Guid) const;
    // Clears Strings and adds, once per type library, the library's registered name (or, when it
    // has none, the entry's name) with the entry as the line's object. An entry without a type
    // library gets a line of its own.
    void GetActiveXNames(TStrings* Strings) const;
};
