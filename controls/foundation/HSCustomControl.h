#pragma once
// The family's base control: a custom control that reads its keys through a key map.
#include "framework/core/Win.h"

#include <memory>
#include <string>

#include "controls/foundation/KeyMaps.h"
#include "framework/ui/Controls.h"

// Raised by a control class that has no key map of its own and none registered.
ZEL_DECLARE_EXCEPTION(EAbstractError, Exception)

class THSCustomControl : public TCustomControl {
    ZEL_DECLARE_CLASS(THSCustomControl)
public:
    explicit THSCustomControl(TComponent* AOwner);
    ~THSCustomControl() override;

    bool WantTabs() const { return FWantTabs; }
    void SetWantTabs(bool Value) { FWantTabs = Value; }
    bool WantReturns() const { return FWantReturns; }
    void SetWantReturns(bool Value) { FWantReturns = Value; }
    bool OemConvert() const { return FOemConvert; }
    void SetOemConvert(bool Value) { FOemConvert = Value; }
    const std::string& KeyMapping() const { return FKeyMapping; }
    // Selects the map builder registered under Name for this class and rebuilds the key list.
    void SetKeyMapping(const std::string& Name);
    TKeyList& KeyList() {
        EnsureKeyMapping();
        return *FKeyList;
    }
    uint8_t KeyState() const { return FKeyState; }
    bool KeyHandled() const { return FKeyHandled; }
    // Clears the key list and fills it with the registered builder or the default map.
    virtual void UpdateKeyMapping();
    void WndProc(TMessage& Message) override;

    // Name of the mapping a new control starts with.
    static std::string DefaultMappingName();

protected:
    // The map of a class without a registered builder; the base has none and raises.
    virtual void InitDefaultKeyMapping();
    // A typed character; true when the control took it.
    virtual bool InsertChar(char Ch);
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyUp(WORD& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;

private:
    void EnsureKeyMapping();
    bool FMapBuilt = false;
    bool FWantTabs = false;
    bool FWantReturns = true;
    TKeyboardInitProc FInitProc = nullptr;
    std::string FKeyMapping;
    uint8_t FKeyState = 0;
    std::unique_ptr<TKeyList> FKeyList;
    bool FOemConvert = false;
    bool FKeyHandled = false;
};

// Shift and Ctrl from the thread's key state, Alt from the asynchronous state.
TShiftState KeysToShift();
