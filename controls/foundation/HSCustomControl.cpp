#include "controls/foundation/HSCustomControl.h"

#include "controls/foundation/HSResStrings.h"
#include "framework/core/SysUtils.h"

ZEL_DEFINE_CLASS(THSCustomControl, TCustomControl, {})

// The map named for the word "Default": a new control starts with its own class's default map, not
// with "Classic", whose Ctrl+Z moves the caret instead of undoing.
std::string THSCustomControl::DefaultMappingName() {
    return "Default";
}

THSCustomControl::THSCustomControl(TComponent* AOwner)
    : TCustomControl(AOwner), FKeyList(std::make_unique<TKeyList>()) {
    SetTabStop(true);
    // The map is built on first need: the builder is registered for the most derived class, which
    // is not known while the base part is being constructed.
    FKeyMapping = DefaultMappingName();
}

THSCustomControl::~THSCustomControl() {
    BeginDestroy();
    DestroyHandle();
}

void THSCustomControl::SetKeyMapping(const std::string& Name) {
    if (Name == FKeyMapping && FMapBuilt)
        return;
    FKeyMapping = Name;
    FInitProc = GetKeyboardInitProc(ClassType(), Name);
    UpdateKeyMapping();
}

void THSCustomControl::EnsureKeyMapping() {
    if (FMapBuilt)
        return;
    FInitProc = GetKeyboardInitProc(ClassType(), FKeyMapping);
    UpdateKeyMapping();
}

void THSCustomControl::UpdateKeyMapping() {
    FKeyList->ClearKeys();
    FKeyState = 0;
    FMapBuilt = true;
    if (FInitProc)
        FInitProc(this);
    else
        InitDefaultKeyMapping();
}

void THSCustomControl::InitDefaultKeyMapping() {
    throw EAbstractError("Abstract Error");
}

bool THSCustomControl::InsertChar(char) {
    return false;
}

void THSCustomControl::KeyDown(WORD& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    FKeyHandled = false;
    if ((Key == VK_RETURN && !FWantReturns) || (Key == VK_TAB && !FWantTabs)) {
        if (!(Shift & ssCtrl))
            return;
        Shift = 0;
    }
    if (Key == 0 || HasState(csDesigning))
        return;
    EnsureKeyMapping();
    TKeyData* Binding = FKeyList->FindKeyData(Key, Shift & (ssShift | ssAlt | ssCtrl), FKeyState);
    if (!Binding) {
        FKeyState = 0;
        return;
    }
    // The command may rebuild the key map and so free the binding: take what we need first.
    TKeyMethod Method = Binding->Method;
    uint8_t NewState = Binding->NewState;
    Binding = nullptr;
    Key = 0;
    FKeyState = NewState;
    FKeyHandled = true;
    if (Method)
        Method();
}

void THSCustomControl::KeyUp(WORD& Key, TShiftState Shift) {
    TCustomControl::KeyUp(Key, Shift);
    FKeyHandled = false;
}

void THSCustomControl::KeyPress(char& Key) {
    TCustomControl::KeyPress(Key);
    if (HasState(csDesigning) || FKeyState != 0 || Key == 0) {
        // The character of a key sequence's keystroke is not text.
        if (FKeyState != 0 || FKeyHandled)
            Key = 0;
        return;
    }
    if (FKeyHandled) {
        Key = 0;
        return;
    }
    if (FOemConvert) {
        char Buf[2] = {Key, 0};
        CharToOemBuffA(Buf, Buf, 1);
        OemToCharBuffA(Buf, Buf, 1);
        Key = Buf[0];
    }
    if (InsertChar(Key))
        Key = 0;
}

void THSCustomControl::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_GETDLGCODE:
        Message.Result = DLGC_WANTARROWS | DLGC_WANTALLKEYS | DLGC_WANTCHARS;
        if (FWantTabs)
            Message.Result |= DLGC_WANTTAB;
        if (!FWantReturns)
            Message.Result &= ~DLGC_WANTALLKEYS;
        return;
    case CN_KEYDOWN:
    case CN_SYSKEYDOWN:
        // A key with Alt, or the next key of a sequence, reaches the map before menus and dialog keys.
        if (Message.Msg == CN_SYSKEYDOWN || FKeyState != 0) {
            WORD Key = static_cast<WORD>(Message.WParam);
            KeyDown(Key, KeyboardStateToShiftState());
            if (Key == 0) {
                Message.Result = 1;
                return;
            }
        }
        break;
    }
    TCustomControl::WndProc(Message);
}

TShiftState KeysToShift() {
    TShiftState Shift = 0;
    if (GetKeyState(VK_SHIFT) < 0)
        Shift |= ssShift;
    if (GetKeyState(VK_CONTROL) < 0)
        Shift |= ssCtrl;
    if (GetAsyncKeyState(VK_MENU) < 0)
        Shift |= ssAlt;
    return Shift;
}
