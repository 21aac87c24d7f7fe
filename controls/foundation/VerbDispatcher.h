#pragma once
// Binds named commands of the family's verb registry ("verbs") to menu items and buttons: each
// item of a dispatcher shows its verb's state on its component and runs the verb on a click.

#include <cstdint>
#include <string>

#include "controls/foundation/Broadcasts.h"
#include "controls/foundation/ClassRegistry.h"
#include "controls/foundation/NamedItems.h"
#include "framework/ui/Actions.h"

class TVerbListItem;

// Applies a verb's state to a component of one class and binds its click to the item.
using TAssignVerbProc = void (*)(TComponent* Component, TVerbListItem* Item);

class TVerbListItem : public THSNamedItem {
    ZEL_DECLARE_CLASS(TVerbListItem)
public:
    explicit TVerbListItem(TCollection* Collection = nullptr) : THSNamedItem(Collection) {}
    ~TVerbListItem() override;

    const std::string& VerbName() const { return FVerbName; }
    void SetVerbName(const std::string& Value);
    TComponent* VerbComp() const { return FVerbComp; }
    void SetVerbComp(TComponent* Value);
    bool Destroying() const { return FDestroying; }
    // The state last applied (visible and enabled before the first).
    TVerbState State() const {
        return FLastState < 0 ? vsVisible | vsEnabled : static_cast<TVerbState>(FLastState);
    }

    // Looks the verb and the component's assign procedure up again.
    void UpdateVerbObject();
    // Applies the verb's state when it changed since it was last applied.
    void UpdateControl();
    void VerbOnClick(TObject* Sender);
    // VerbComp's name, " - " and the verb's name; the verb's name alone without a component.
    std::string GetDisplayName() const override;

private:
    TComponent* OwnerComponent() const;

    bool FDestroying = false;
    TAssignVerbProc FAssignProc = nullptr;
    int32_t FLastState = -1; // nothing applied yet
    std::string FVerbName;
    TComponent* FVerbComp = nullptr;
    TVerbGetStateProc FGetState = nullptr;
    TVerbExecuteProc FExecute = nullptr;
};

class TVerbList : public TCustomHSNamedItems {
    ZEL_DECLARE_CLASS(TVerbList)
public:
    explicit TVerbList(TComponent* AOwner) : TCustomHSNamedItems(AOwner, TVerbListItem::StaticClass()) {}
    TVerbListItem* Verb(int Index) const { return static_cast<TVerbListItem*>(Items(Index)); }
    TVerbListItem* AddVerb(const std::string& VerbName, TComponent* VerbComp);
};

class TVerbDispatcher : public TComponent, public IHSMessageHandler {
    ZEL_DECLARE_CLASS(TVerbDispatcher)
public:
    explicit TVerbDispatcher(TComponent* AOwner = nullptr);
    ~TVerbDispatcher() override;
    TVerbList* VerbList() const { return FVerbs; }
    // Every item applies its verb's state, unless an update bracket of the environment is open or
    // the dispatcher is loading or being destroyed.
    void UpdateControls();
    void HSDispatch(THSMessage& Message) override;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TVerbList* FVerbs;
};

// Registers the assign procedures of menu items, speed buttons and buttons (done by the first
// dispatcher; more calls do nothing).
void RegisterVerbAssignProcs();

// An action that stands for a verb of the registry: its state comes from the verb's state
// procedure and Execute runs the verb inside an update bracket of the environment.
class THSIDEAction : public TAction {
    ZEL_DECLARE_CLASS(THSIDEAction)
public:
    explicit THSIDEAction(TComponent* AOwner) : TAction(AOwner) {}
    const std::string& VerbName() const { return FVerbName; }
    // Stores the trimmed name and looks the verb up again (not while being designed).
    void SetVerbName(const std::string& Value);
    // Visible and enabled unless the verb's state procedure says otherwise; always true.
    bool Update() override;
    // False when the verb is unknown.
    bool Execute() override;

private:
    void LookupVerb();
    std::string FVerbName;
    TVerbGetStateProc FGetState = nullptr;
    TVerbExecuteProc FExecute = nullptr;
};
