#pragma once
// Standard controls over the platform's own window classes, and the label.
#include "framework/core/Strings.h"
#include "framework/ui/Controls.h"

// The list of a list or combo box: kept here and mirrored into the window while it has one.
class TItemStrings : public TStrings {
public:
    struct TMessages {
        UINT Insert, Delete, Reset;
    };
    TItemStrings(TWinControl& Control, TMessages Messages) : FControl(Control), FMsgs(Messages) {}
    std::string Get(int Index) const override { return FList.Get(Index); }
    int GetCount() const override { return FList.GetCount(); }
    TObject* GetObject(int Index) const override { return FList.GetObject(Index); }
    void PutObject(int Index, TObject* AObject) override { FList.PutObject(Index, AObject); }
    void Put(int Index, const std::string& S) override;
    int Add(const std::string& S) override;
    int AddObject(const std::string& S, TObject* AObject) override;
    void Insert(int Index, const std::string& S) override;
    void Delete(int Index) override;
    void Clear() override;
    void Exchange(int Index1, int Index2) override;
    int IndexOf(const std::string& S) const override { return FList.IndexOf(S); }
    bool Sorted() const { return FList.Sorted(); }
    void SetSorted(bool Value);
    // Fills a freshly made window.
    void Refill();
    TNotifyEvent OnChange;

private:
    void Changed() { DoEvent(OnChange, this); }
    TWinControl& FControl;
    TMessages FMsgs;
    TStringList FList;
};

class TButton : public TWinControl {
    ZEL_DECLARE_CLASS(TButton)
public:
    explicit TButton(TComponent* AOwner);
    bool Default() const { return FDefault; }
    void SetDefault(bool Value);
    bool Cancel() const { return FCancel; }
    void SetCancel(bool Value) { FCancel = Value; }
    int ModalResult() const { return FModalResult; }
    void SetModalResult(int Value) { FModalResult = Value; }
    // Sets the parent form's ModalResult, then runs OnClick.
    void Click() override;
    void WndProc(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;

private:
    bool FDefault = false;
    bool FCancel = false;
    int FModalResult = 0;
};

enum class TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };

class TCheckBox : public TWinControl {
    ZEL_DECLARE_CLASS(TCheckBox)
public:
    explicit TCheckBox(TComponent* AOwner);
    bool Checked() const { return State() == TCheckBoxState::cbChecked; }
    void SetChecked(bool Value) { SetState(Value ? TCheckBoxState::cbChecked : TCheckBoxState::cbUnchecked); }
    TCheckBoxState State() const;
    // A change runs OnClick, as a click by the user does.
    void SetState(TCheckBoxState Value);
    bool AllowGrayed() const { return FAllowGrayed; }
    void SetAllowGrayed(bool Value) { FAllowGrayed = Value; }
    void WndProc(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateHandleDone() override;

private:
    TCheckBoxState FState = TCheckBoxState::cbUnchecked;
    bool FAllowGrayed = false;
};

class TRadioButton : public TWinControl {
    ZEL_DECLARE_CLASS(TRadioButton)
public:
    explicit TRadioButton(TComponent* AOwner);
    bool Checked() const { return FChecked; }
    // Checking one unchecks the other radio buttons of the same parent.
    void SetChecked(bool Value);
    void WndProc(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateHandleDone() override;

private:
    bool FChecked = false;
};

class TGroupBox : public TWinControl {
    ZEL_DECLARE_CLASS(TGroupBox)
public:
    explicit TGroupBox(TComponent* AOwner);
    RECT ClientRect() override;
    void WndProc(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
};

class TLabel : public TGraphicControl {
    ZEL_DECLARE_CLASS(TLabel)
public:
    explicit TLabel(TComponent* AOwner);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    bool ShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool Value);
    // The control that an accelerator of the caption focuses.
    TWinControl* FocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControl* Value);
    void AdjustBounds();
    void WndProc(TMessage& Message) override;
    void Loaded() override;

protected:
    void Paint() override;
    void TextChanged() override;
    void FontChanged() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    UINT DrawFlags() const;

private:
    TAlignment FAlignment = TAlignment::taLeftJustify;
    bool FAutoSize = true;
    bool FWordWrap = false;
    bool FTransparent = false;
    bool FShowAccelChar = true;
    TWinControl* FFocusControl = nullptr;
};

class TCustomEdit : public TWinControl {
    ZEL_DECLARE_CLASS(TCustomEdit)
public:
    explicit TCustomEdit(TComponent* AOwner);
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    char PasswordChar() const { return FPasswordChar; }
    void SetPasswordChar(char Value);
    bool Modified() const;
    void SetModified(bool Value);
    // Character positions count from 0 here, as the platform's edit control counts them.
    int SelStart() const;
    void SetSelStart(int Value);
    int SelLength() const;
    void SetSelLength(int Value);
    std::string SelText() const;
    void SetSelText(const std::string& Value);
    void SelectAll();
    void Clear() { SetText(""); }
    void WndProc(TMessage& Message) override;
    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateHandleDone() override;
    virtual void Change() { DoEvent(OnChange, this); }
    bool FMultiLine = false;

private:
    int FMaxLength = 0;
    bool FReadOnly = false;
    char FPasswordChar = 0;
};

class TEdit : public TCustomEdit {
    ZEL_DECLARE_CLASS(TEdit)
public:
    explicit TEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}
};

enum class TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

class TMemo : public TCustomEdit {
    ZEL_DECLARE_CLASS(TMemo)
public:
    explicit TMemo(TComponent* AOwner);
    ~TMemo() override;
    // The text as lines; changing it changes the text.
    TStrings& Lines();
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);
    bool WantReturns = true;
    bool WantTabs = false;
    void WndProc(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;

private:
    class TMemoStrings;
    std::unique_ptr<TMemoStrings> FLines;
    bool FWordWrap = true;
    TScrollStyle FScrollBars = TScrollStyle::ssNone;
};

enum class TComboBoxStyle { csDropDown, csSimple, csDropDownList };

class TComboBox : public TWinControl {
    ZEL_DECLARE_CLASS(TComboBox)
public:
    explicit TComboBox(TComponent* AOwner);
    ~TComboBox() override;
    TStrings& Items() { return *FItems; }
    TComboBoxStyle Style() const { return FStyle; }
    void SetStyle(TComboBoxStyle Value);
    int ItemIndex() const;
    void SetItemIndex(int Value);
    bool Sorted() const { return FItems->Sorted(); }
    void SetSorted(bool Value) { FItems->SetSorted(Value); }
    int DropDownCount() const { return FDropDownCount; }
    void SetDropDownCount(int Value) { FDropDownCount = Value; }
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value);
    bool DroppedDown() const;
    void SetDroppedDown(bool Value);
    void SelectAll();
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void WndProc(TMessage& Message) override;
    // The edit window inside a csDropDown or csSimple box (nullptr otherwise or before creation).
    HWND EditHandle() const { return FEditHandle; }
    TNotifyEvent OnChange;
    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateHandleDone() override;
    void HandleDestroyed() override;
    virtual void Change() { DoEvent(OnChange, this); }

private:
    static LRESULT CALLBACK EditWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
    std::unique_ptr<TItemStrings> FItems;
    TComboBoxStyle FStyle = TComboBoxStyle::csDropDown;
    int FDropDownCount = 8;
    int FMaxLength = 0;
    int FSavedIndex = -1;
    HWND FEditHandle = nullptr;
    WNDPROC FEditDefProc = nullptr;
};

class TListBox : public TWinControl {
    ZEL_DECLARE_CLASS(TListBox)
public:
    explicit TListBox(TComponent* AOwner);
    ~TListBox() override;
    TStrings& Items() { return *FItems; }
    int ItemIndex() const;
    void SetItemIndex(int Value);
    bool Sorted() const { return FItems->Sorted(); }
    void SetSorted(bool Value) { FItems->SetSorted(Value); }
    bool MultiSelect() const { return FMultiSelect; }
    void SetMultiSelect(bool Value);
    bool Selected(int Index) const;
    void SetSelected(int Index, bool Value);
    int SelCount() const;
    int TopIndex() const;
    void SetTopIndex(int Value);
    int ItemHeight() const;
    void Clear() { FItems->Clear(); }
    void WndProc(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateHandleDone() override;
    void HandleDestroyed() override;

private:
    std::unique_ptr<TItemStrings> FItems;
    bool FMultiSelect = false;
    int FSavedIndex = -1;
};
