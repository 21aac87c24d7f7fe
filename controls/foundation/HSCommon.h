#pragma once
// The family's base control with its keyboard map, and the common services of its controls:
// window placement in the registry, "hot" web and mail words, font metrics, scroll bars,
// hidden message windows and files dropped from the shell.
#include <functional>
#include <memory>
#include <string>

#include "controls/foundation/KeyMaps.h"
#include "framework/ui/Forms.h"

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

namespace Hscommon {
// Forms get the main form's font when set.
extern bool UseOneFont;
extern const int StdFontSizes[16];
// Consulted by IsStringHot for words that are neither web nor mail addresses.
extern std::function<bool(const std::string&)> OnHotString;
} // namespace Hscommon

// Window placement under "Forms\<Name>\" of the family's registry key.
void WriteWinPosToReg(TWinControl* Control, const std::string& Name);
// Applies a stored placement; the rectangle is kept on the work area at a sensible size.
void ReadWinPosFromReg(TWinControl* Control, const std::string& Name);

bool IsWWWString(const std::string& S);
bool IsEmailString(const std::string& S);
bool IsStringHot(const std::string& S);
// Opens a file, folder or address with the shell's default verb.
void JumpToURL(const std::string& S);

// Shift and Ctrl from the thread's key state, Alt from the asynchronous state.
TShiftState KeysToShift();
// Name, else "Name_1", "Name_2"... until no form on the screen carries it (the program's
// global components are its forms).
std::string FindUniqueName(const std::string& Name);

void GetFontMetrics(TFont& Font, TEXTMETRICA& Metrics);
int GetAveFontWidth(TFont& Font);
int GetMaxFontWidth(TFont& Font);
bool IsFontMonoSpaced(TFont& Font);
int GetMaxFontHeight(TFont& Font);
int GetMinFontHeight(TFont& Font);
void SetFormFont(TCustomForm* Form);

int GetScrollPosEx(HWND Wnd, int Bar);
void _SetScrollPos(HWND Wnd, int Bar, int Pos);
void _SetScrollSize(HWND Wnd, int Bar, int Min, int Max, int Page);
void UpdateParamsWithBorderStyle(TCreateParams& Params, TBorderStyle BorderStyle, bool Ctl3D);
// Answers WM_GETMINMAXINFO of an editor window (Msg.LParam: the MINMAXINFO).
void CalcEditorMinMaxInfo(TMessage& Msg, TControl* Form, bool Flag);

// A hidden window whose messages go to a handler.
class THandleObject : public TObject {
public:
    using THandler = std::function<void(TMessage& Message)>;
    explicit THandleObject(THandler WndMethod);
    ~THandleObject() override;
    HWND Handle() const { return FHandle; }

private:
    static LRESULT CALLBACK WindowProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
    HWND FHandle = nullptr;
    THandler FHandler;
};

// A hidden window that hands every message to its owner's message handler; PostMsg lets the
// owner handle a message later on the same thread.
class THSHandleObject : public THandleObject {
public:
    THSHandleObject(TObject* Owner, THandler Dispatch) : THandleObject(std::move(Dispatch)), FOwner(Owner) {}
    TObject* Owner() const { return FOwner; }
    void PostMsg(UINT Msg, WPARAM WParam, LPARAM LParam) { PostMessageA(Handle(), Msg, WParam, LParam); }

private:
    TObject* FOwner;
};

// The names of files dropped with a WM_DROPFILES message (Msg.WParam: the drop), joined by
// Separator with Multiple, else only the first; with FoldersOnly the folder of each existing file.
// The drop is finished and the message answered in every case.
std::string DropFiles(bool FoldersOnly, bool Multiple, const std::string& Separator, TMessage& Msg);
