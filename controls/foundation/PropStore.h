#pragma once
// A non-visual component that keeps chosen published properties of its owner and of the owner's
// components in the registry (or any stream) and reads them back.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "framework/core/Component.h"
#include "framework/core/Streams.h"
#include "framework/core/Strings.h"

// How a reader reports a part it could not read: Handled true goes on with the next part,
// IgnoreAll true also skips every later error without asking. Unset: the error is raised.
using TReaderErrorHandler = std::function<void(const std::string& Message, bool& Handled, bool& IgnoreAll)>;
extern TReaderErrorHandler ReaderErrorHandler;
// Whether a reader goes on past a part it could not read: yes once IgnoreAll is set, else what
// ReaderErrorHandler answers (which may set IgnoreAll); no without a handler.
bool ReaderMayGoOn(const std::string& Message, bool& IgnoreAll);

// Finds an object by a global name ("Form1.Edit1") for paths the owner does not resolve; set by
// the window layer.
using TFindGlobalObjectFunc = TComponent* (*)(const std::string& Name);
extern TFindGlobalObjectFunc FindGlobalObjectFunc;

class THSPropStore;

// What a store does with the form it sits on. The window layer fills it in
// (InstallPropStoreForms); until then a store hooks nothing and keeps no placement.
struct TPropStoreFormServices {
    // Makes the owner save the store when it ends: a form's close query saves when the form may
    // close, the previous handler still called first; a data module's destroy event saves, then
    // calls the previous handler. The hook lives as long as the answered token; null for an owner
    // that is neither.
    std::shared_ptr<void> (*HookCloseQuery)(THSPropStore* Store) = nullptr;
    // Puts the previous handler back when the store's hook is still the owner's handler.
    void (*UnhookCloseQuery)(THSPropStore* Store) = nullptr;
    // Form placement under the store's key; an owner that is no form is left alone.
    void (*ReadPlacement)(TComponent* Owner, const std::string& Key) = nullptr;
    void (*WritePlacement)(TComponent* Owner, const std::string& Key) = nullptr;
};
extern TPropStoreFormServices PropStoreFormServices;

class THSPropStore : public TComponent {
    ZEL_DECLARE_CLASS(THSPropStore)
public:
    explicit THSPropStore(TComponent* AOwner = nullptr);
    ~THSPropStore() override;

    // Each line: "Component.Property", "Path.To.Component.Property" or a bare property of the owner.
    TStringList* PropList() const { return FPropList.get(); }
    void SetPropList(TStringList* Value) { FPropList->Assign(Value); }
    const std::string& Key() const { return FKey; }
    void SetKey(const std::string& Value) { FKey = Value; }
    bool IgnoreErrors() const { return FIgnoreErrors; }
    void SetIgnoreErrors(bool Value) { FIgnoreErrors = Value; }
    // Whether Load and Save also keep the placement of the form the store sits on.
    bool StorePos() const { return FStorePos; }
    void SetStorePos(bool Value) { FStorePos = Value; }
    // (Sender, var Cancel)
    std::function<void(TObject*, bool&)> OnLoadChanges;
    std::function<void(TObject*, bool&)> OnSaveChanges;

    // The key given, else the owner's name followed by the store's name.
    std::string GetKey() const;
    // Save writes the registry value at once; Load leaves everything as it was when the value is
    // missing.
    void Save();
    void Load();
    void SaveToStream(TStream& Stream);
    // A group that cannot be read is skipped when IgnoreErrors is set, else reported through
    // ReaderErrorHandler (which may go on) or raised. Every group is read whole or not at all.
    void LoadFromStream(TStream& Stream);

    // Read at run time: hooks the close query of its form (or the end of its data module) and
    // loads.
    void Loaded() override;

private:
    struct Group {
        std::string Path;
        std::vector<std::string> Names;
        TComponent* Component = nullptr;
    };
    std::vector<Group> Groups() const;
    TComponent* Resolve(const std::string& Path) const;
    bool ReadError(const std::string& Message, bool& IgnoreAll);

    std::unique_ptr<TStringList> FPropList;
    std::string FKey;
    bool FIgnoreErrors = true;
    bool FStorePos = true;
    std::shared_ptr<void> FCloseHook;
};
