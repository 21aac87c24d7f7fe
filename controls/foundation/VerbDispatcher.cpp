#include "controls/foundation/VerbDispatcher.h"

#include "framework/core/Properties.h"
#include "framework/core/SysUtils.h"
#include "framework/ui/Buttons.h"
#include "framework/ui/Menus.h"
#include "framework/ui/StdCtrls.h"

ZEL_DEFINE_CLASS(TVerbListItem, THSNamedItem, {})
ZEL_DEFINE_CLASS(TVerbList, TCustomHSNamedItems, {})
ZEL_DEFINE_CLASS(TVerbDispatcher, TComponent, {})
ZEL_DEFINE_CLASS(THSIDEAction, TAction,
                 {Prop::String<THSIDEAction>("VerbName", &THSIDEAction::VerbName,
                                             &THSIDEAction::SetVerbName)})

namespace {

const char* const kAssignVerbParam = "AssignVerb";
const char* const kAssignVerbProcParam = "AssignVerb.VerbProc";
bool gAssignProcsRegistered = false;

TNotifyEvent ClickOf(TVerbListItem* Item) {
    if (Item->Destroying())
        return nullptr;
    return [Item](TObject* Sender) { Item->VerbOnClick(Sender); };
}

void AssignToMenuItem(TComponent* Component, TVerbListItem* Item) {
    auto* Menu = static_cast<TMenuItem*>(Component);
    const TVerbState State = Item->State();
    const bool Visible = (State & vsVisible) != 0;
    if (Menu->Visible() != Visible)
        Menu->SetVisible(Visible);
    Menu->SetEnabled((State & vsEnabled) != 0);
    Menu->SetChecked((State & vsChecked) != 0);
    Menu->OnClick = ClickOf(Item);
}

void AssignToControl(TComponent* Component, TVerbListItem* Item) {
    auto* Control = static_cast<TControl*>(Component);
    const TVerbState State = Item->State();
    Control->SetVisible((State & vsVisible) != 0);
    Control->SetEnabled((State & vsEnabled) != 0);
    Control->OnClick = ClickOf(Item);
}

void RegisterAssignProc(TClass Class, TAssignVerbProc Proc) {
    THSVariant P = THSVariant::Of(varObject);
    P.Int = reinterpret_cast<intptr_t>(Proc);
    RegisterClassExt(Class, {kAssignVerbParam, kAssignVerbProcParam}, {THSVariant(true), P});
}

} // namespace

void RegisterVerbAssignProcs() {
    if (gAssignProcsRegistered)
        return;
    gAssignProcsRegistered = true;
    RegisterAssignProc(TMenuItem::StaticClass(), &AssignToMenuItem);
    RegisterAssignProc(TSpeedButton::StaticClass(), &AssignToControl);
    RegisterAssignProc(TButton::StaticClass(), &AssignToControl);
}

// ---- TVerbListItem ----

TVerbListItem::~TVerbListItem() {
    FDestroying = true;
    FLastState = -1;
    if (FVerbComp && !FVerbComp->HasState(csDestroying))
        UpdateControl();
}

TComponent* TVerbListItem::OwnerComponent() const {
    auto* List = dynamic_cast<TCustomHSNamedItems*>(Collection());
    return List ? List->Owner() : nullptr;
}

void TVerbListItem::SetVerbName(const std::string& Value) {
    const std::string Name = Trim(Value);
    if (Name == FVerbName)
        return;
    FVerbName = Name;
    UpdateVerbObject();
}

void TVerbListItem::SetVerbComp(TComponent* Value) {
    if (Value == FVerbComp)
        return;
    FVerbComp = Value;
    if (FVerbComp)
        if (TComponent* Owner = OwnerComponent())
            FVerbComp->FreeNotification(Owner);
    UpdateVerbObject();
}

void TVerbListItem::UpdateVerbObject() {
    TComponent* Owner = OwnerComponent();
    if (Owner && Owner->HasState(csDesigning))
        return;
    FAssignProc = nullptr;
    FGetState = nullptr;
    FExecute = nullptr;
    if (FVerbName.empty() || !FVerbComp)
        return;
    if (!GetVerbProcAddr(FVerbName, FGetState, FExecute))
        return;
    TObjectParamListItem* Entry =
        GetItemInherited(FVerbComp->ClassType(), {kAssignVerbParam}, {THSVariant(true)});
    if (!Entry)
        return;
    FAssignProc = reinterpret_cast<TAssignVerbProc>(
        static_cast<intptr_t>(Entry->GetParamByName(kAssignVerbProcParam).Int));
    FLastState = -1;
    UpdateControl();
}

void TVerbListItem::UpdateControl() {
    if (!FAssignProc || !FVerbComp)
        return;
    TVerbState State = vsVisible | vsEnabled;
    if (FGetState)
        FGetState(State);
    if (static_cast<int32_t>(State) == FLastState && !FDestroying)
        return;
    FLastState = static_cast<int32_t>(State);
    FAssignProc(FVerbComp, this);
    if (FDestroying)
        FLastState = -1;
}

void TVerbListItem::VerbOnClick(TObject*) {
    if (!FExecute)
        return;
    IDEBeginUpdate();
    struct TEnd {
        ~TEnd() { IDEEndUpdate(); }
    } End;
    FExecute();
}

std::string TVerbListItem::GetDisplayName() const {
    std::string Text = FVerbComp ? FVerbComp->Name() + " - " + FVerbName : FVerbName;
    return Text.empty() ? THSNamedItem::GetDisplayName() : Text;
}

TVerbListItem* TVerbList::AddVerb(const std::string& VerbName, TComponent* VerbComp) {
    auto* Item = static_cast<TVerbListItem*>(Add());
    Item->SetVerbName(VerbName);
    Item->SetVerbComp(VerbComp);
    return Item;
}

// ---- TVerbDispatcher ----

TVerbDispatcher::TVerbDispatcher(TComponent* AOwner) : TComponent(AOwner), FVerbs(new TVerbList(this)) {
    RegisterVerbAssignProcs();
    RegisterNotifier(this);
}

TVerbDispatcher::~TVerbDispatcher() {
    UnregisterNotifier(this);
    delete FVerbs;
}

void TVerbDispatcher::UpdateControls() {
    if (IDEUpdateCount() > 0 || HasState(csLoading | csReading | csDestroying | csDesigning))
        return;
    for (int I = 0; I < FVerbs->Count(); ++I)
        FVerbs->Verb(I)->UpdateControl();
}

void TVerbDispatcher::HSDispatch(THSMessage& Message) {
    if (Message.Msg == HS_IDECHANGED)
        UpdateControls();
}

void TVerbDispatcher::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove || !FVerbs)
        return;
    for (int I = FVerbs->Count() - 1; I >= 0; --I)
        if (I < FVerbs->Count() && FVerbs->Verb(I)->VerbComp() == AComponent)
            FVerbs->Verb(I)->SetVerbComp(nullptr);
}

// ---- THSIDEAction ----

void THSIDEAction::SetVerbName(const std::string& Value) {
    const std::string Name = Trim(Value);
    if (Name == FVerbName)
        return;
    FVerbName = Name;
    LookupVerb();
}

void THSIDEAction::LookupVerb() {
    if (HasState(csDesigning))
        return;
    FGetState = nullptr;
    FExecute = nullptr;
    if (!FVerbName.empty() && GetVerbProcAddr(FVerbName, FGetState, FExecute))
        Update();
}

bool THSIDEAction::Update() {
    TVerbState State = vsVisible | vsEnabled;
    if (FGetState)
        FGetState(State);
    SetVisible((State & vsVisible) != 0);
    SetEnabled((State & vsEnabled) != 0);
    SetChecked((State & vsChecked) != 0);
    return true;
}

bool THSIDEAction::Execute() {
    if (!FExecute)
        return false;
    IDEBeginUpdate();
    struct TEnd {
        ~TEnd() { IDEEndUpdate(); }
    } End;
    FExecute();
    return true;
}
