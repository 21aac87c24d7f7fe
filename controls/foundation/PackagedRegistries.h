#pragma once
// Registries whose entries remember the package group that made them, so that the entries of
// an unloaded group can go with it: popup and in-place editor classes, edit-source classes and
// the palette's class items.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/core/Object.h"

// The group new entries are stamped with (the program loads no packages: 0).
int32_t CurrentPackageGroup();
void SetCurrentPackageGroup(int32_t Group);

struct TPackagedCollectionItem {
    virtual ~TPackagedCollectionItem() = default;
    int32_t Group = 0;
};

template <class TItem> class TPackagedCollection {
public:
    TItem* Add() {
        FItems.push_back(std::make_unique<TItem>());
        FItems.back()->Group = CurrentPackageGroup();
        return FItems.back().get();
    }
    TItem* Last() const { return FItems.empty() ? nullptr : FItems.back().get(); }
    int32_t Count() const { return static_cast<int32_t>(FItems.size()); }
    TItem* Item(int32_t Index) const { return FItems[static_cast<size_t>(Index)].get(); }
    void Delete(int32_t Index) { FItems.erase(FItems.begin() + Index); }
    // Frees every item of that group.
    void DeleteItems(int32_t Group) {
        std::erase_if(FItems, [&](const std::unique_ptr<TItem>& I) { return I->Group == Group; });
    }

private:
    std::vector<std::unique_ptr<TItem>> FItems;
};

struct TPopupClassInfo : TPackagedCollectionItem {
    TClass EditorClass = nullptr;
    const void* TypeInfo = nullptr; // the property type the editor serves
    std::string PropName;
    TClass ComponentClass = nullptr;
    bool Equals(TClass AEditor, const void* AType, const std::string& AProp, TClass AComponent) const;
};

struct TEditClassInfo : TPopupClassInfo {
    bool TextEditor = false;
};

struct TEditSourceClassInfo : TPackagedCollectionItem {
    TClass EditSourceClass = nullptr;
};

enum TClassItemCat : uint32_t { icNonActiveX = 1, icField = 2, icNoIcon = 4, icShowinPalette = 8 };

struct TClassItem : TPackagedCollectionItem {
    TClass Class = nullptr;
    uint32_t Categories = 0;
    std::string PalettePage;
};

class TClassItems : public TPackagedCollection<TClassItem> {
public:
    // The item of the class (made when missing) with the categories added.
    TClassItem* RegisterClass(TClass Class, uint32_t Categories);
    // Every class marked icField.
    void ListFieldClasses(std::vector<TClass>& List) const;
    // False when the first item whose class is Class or an ancestor is marked icNoIcon.
    bool IsIconClass(TClass Class) const;
};

TPackagedCollection<TPopupClassInfo>& PopupClasses();
TPackagedCollection<TEditClassInfo>& EditClasses();
TPackagedCollection<TEditSourceClassInfo>& EditSourceClasses();
TClassItems& ClassItems();
void FreePackagedRegistries();

// Each also registers the editor class for streaming.
void RegisterPopupClass(const void* TypeInfo, TClass ComponentClass, const std::string& PropName,
                        TClass EditorClass);
void RegisterEditClass(const void* TypeInfo, TClass ComponentClass, const std::string& PropName,
                       TClass EditorClass);
void RegisterTextEditClass(const void* TypeInfo, TClass ComponentClass, const std::string& PropName,
                           TClass EditorClass);
// Free the first item equal in all four values.
void UnRegisterPopupClass(const void* TypeInfo, TClass ComponentClass, const std::string& PropName,
                          TClass EditorClass);
void UnRegisterEditClass(const void* TypeInfo, TClass ComponentClass, const std::string& PropName,
                         TClass EditorClass);
// True when an edit item, searched from the last, has that editor class and the text-editor flag.
bool IsTextEditClass(TClass EditorClass);
void RegisterEditSource(TClass Class);
// Registers the classes for streaming and in ClassItems as classes without a palette icon.
void RegisterNonInstant(const std::vector<TClass>& Classes);
