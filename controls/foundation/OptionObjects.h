#pragma once
// Option objects: small persistent objects whose published properties are the settings of one
// area of the family, kept in the registry below the family key (or in an INI file section).
//
// Each option class has one global instance, made by the first CreateOptions of the class (or
// GetOptionsByClass): it loads the stored values then and saves them at SaveGlobalOptions.
// Any later object of the class is a copy that starts with the global instance's values and
// can be applied back to it, as an options dialog does.
//
// Subclasses declare ZEL_DECLARE_CLASS / ZEL_DEFINE_CLASS (the class name is the storage key
// without its first letter), publish their values, and override InitValues and Update.

#include <cstdint>
#include <string>
#include <vector>

#include "framework/core/Object.h"

class TOptionExt : public TPersistent {
    ZEL_DECLARE_CLASS(TOptionExt)
public:
    // Objects are made through CreateOptions, which completes them with Initialize.
    TOptionExt() = default;
    ~TOptionExt() override;
    // Becomes the global instance of its class (and loads) or a copy of it.
    void Initialize();

    void Assign(TPersistent* Source) override;
    virtual void LoadConfig();
    virtual void SaveConfig();
    // The storage key; by default the class name without its first letter.
    virtual std::string GetKey() const;
    virtual void InitValues() {}
    // Runs when the outermost update ends.
    virtual void Update() {}
    // The global instance runs Update; a copy copies itself into the global instance.
    virtual void ApplyOptions();
    // The object whose published properties are stored.
    virtual TPersistent* GetOptionControl() { return this; }

    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();
    // True for a copy or inside an update: subclasses then do not broadcast changes.
    bool UpdateDisabled() const { return !FIsGlobal || FUpdateCount > 0; }
    bool IsGlobal() const { return FIsGlobal; }
    TOptionExt* GlobalInstance() const { return FIsGlobal ? const_cast<TOptionExt*>(this) : FGlobal; }
    // Calls every registered initialiser, the last registered first.
    void InitializeOptions();

private:
    int32_t FUpdateCount = 0;
    TOptionExt* FGlobal = nullptr;
    bool FIsGlobal = false;
};

TOptionExt* CreateOptionsOfClass(TClass Class);
template <class T> T* CreateOptions() {
    return static_cast<T*>(CreateOptionsOfClass(T::StaticClass()));
}
// The global instance of the class, made when there is none.
TOptionExt* GetOptionsByClass(TClass Class);
template <class T> T* GetOptions() {
    return static_cast<T*>(GetOptionsByClass(T::StaticClass()));
}
// The global instance of the class when there is one.
TOptionExt* FindGlobalOptions(TClass Class);

using TOptionsInitializator = void (*)(TOptionExt* Options);
void RegisterOptionsInitializator(TOptionsInitializator Proc);
void UnRegisterOptionsInitializator(TOptionsInitializator Proc);

// Saves every global instance, in the order they were made.
void SaveGlobalOptions();
// Program end: saves and frees every global instance.
void FreeGlobalOptions();

// Registers an option class in the family's class registry, so TOptionExtList finds it.
void RegisterOptionExt(TClass Class);

// The INI switch: with it on, option objects live in sections of OptionsFileName.
extern bool StoreOptionsInFile;
extern std::string OptionsFileName;

// An object's published properties as a section of hexadecimal lines (32 bytes a line).
// Saving first empties the section and writes nothing when that fails (answering false).
bool SaveComponentToIniFile(TPersistent* Object, const std::string& Section);
// An empty or missing section leaves the object as it was.
void LoadComponentFromIniFile(TPersistent* Object, const std::string& Section);

// Copies of every registered option class, as an options dialog edits them.
class TOptionExtList : public TObject {
public:
    TOptionExtList();
    ~TOptionExtList() override;
    int32_t Count() const { return static_cast<int32_t>(FItems.size()); }
    TOptionExt* Item(int32_t Index) const { return FItems[static_cast<size_t>(Index)]; }
    // The first copy whose class name equals Name ignoring case.
    TOptionExt* GetOptionWithClass(const std::string& Name) const;
    void ApplyOptions();

private:
    std::vector<TOptionExt*> FItems;
};
