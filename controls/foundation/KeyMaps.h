#pragma once
// Keyboard maps of the family's text controls: bindings of keystrokes (in a key state) to
// commands, chords made of a prefix binding and a binding in the state it enters, and named
// map builders registered per control class.
#include <cstdint>
#include <functional>
#include <string>

#include "framework/core/Collection.h"
#include "framework/ui/Controls.h"

// The command a binding runs; empty for a prefix key.
using TKeyMethod = std::function<void()>;
// A map builder: fills the key list of the control it is given.
using TKeyboardInitProc = void (*)(TObject* Control);

constexpr uint8_t AnyKeyState = 255;

class TKeyData : public TCollectionItem {
    ZEL_DECLARE_CLASS(TKeyData)
public:
    explicit TKeyData(TCollection* Collection = nullptr) : TCollectionItem(Collection) {}
    void Assign(TPersistent* Source) override;

    uint8_t State = 0;    // the key state the binding applies in; AnyKeyState: every state
    uint8_t NewState = 0; // the key state after the keystroke
    uint16_t Key = 0;     // virtual key
    TShiftState Shift = 0;
    TKeyMethod Method;
};

class TKeyList : public TCollection {
    ZEL_DECLARE_CLASS(TKeyList)
public:
    TKeyList() : TCollection(TKeyData::StaticClass()) {}
    TKeyData* AddKey(uint16_t Key, TShiftState Shift, TKeyMethod Method, uint8_t State, uint8_t NewState);
    TKeyData* AddSimpleKey(uint16_t Key, TShiftState Shift, TKeyMethod Method) {
        return AddKey(Key, Shift, std::move(Method), 0, 0);
    }
    TKeyData* AddAllKey(uint16_t Key, TShiftState Shift, TKeyMethod Method) {
        return AddKey(Key, Shift, std::move(Method), AnyKeyState, 0);
    }
    // The binding for Key and Shift in State (or in every state); later bindings win. nullptr when none.
    TKeyData* FindKeyData(uint16_t Key, TShiftState Shift, uint8_t State);
    void ClearKeys() { Clear(); }
    TKeyData* Item(int Index) const { return static_cast<TKeyData*>(Items(Index)); }

protected:
    void Update(TCollectionItem* Item) override;
    void Notify(TCollectionItem* Item, bool Added) override;

private:
    TKeyData* FLast = nullptr;
};

void RegisterKeyboardInitProc(TClass ControlClass, const std::string& Name, TKeyboardInitProc Proc);
// The builder registered under Name (ignoring case) for the class or its nearest registered
// ancestor, in registration order; nullptr when none.
TKeyboardInitProc GetKeyboardInitProc(TClass ControlClass, const std::string& Name);
