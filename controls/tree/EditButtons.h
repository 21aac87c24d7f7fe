#pragma once
// An edit control with up to two small buttons at its right edge and a drop-down that opens under
// it; the first button (or Alt+Down) drops the list, Enter or a click takes its value. The inner
// editor, the drop-down and the value binding are chosen by class name from the family's
// registries, so one control serves texts, colours, styles, Booleans, file names and folders.
#include "framework/core/Win.h"

#include <cstdint>
#include <string>

#include "controls/foundation/EditSource.h"
#include "controls/tree/EditTextEditors.h"
#include "controls/tree/PopupListBox.h"
#include "framework/ui/Buttons.h"
#include "framework/ui/StdCtrls.h"

enum class TButtonKind { bkCustom, bkDropDown, bkDots };

enum THaldenBorderStyle : uint8_t {
    dbsSunkenBorder,
    dbsRaisedBorder,
    dbsSunkenLine,
    dbsRaisedLine,
    dbsLine,
    dbsLineBorder,
    dbsSunkenSingle,
    dbsRaisedSingle,
    dbsNone
};

class TCustomHSEdit;

// A button of the edit control; paints its kind's glyph (a down triangle or three dots) or the
// custom glyph, and the edge that matches the control's border.
class TEditButton : public TSpeedButton {
    ZEL_DECLARE_CLASS(TEditButton)
public:
    explicit TEditButton(TComponent* AOwner);
    TButtonKind Kind() const { return FKind; }
    void SetKind(TButtonKind Value);
    // The edit control the button belongs to (nullptr when it stands alone).
    TCustomHSEdit* EditControl() const;

protected:
    void Paint() override;

private:
    void PaintGlyph();
    TButtonKind FKind = TButtonKind::bkCustom;
};

// The published face of one button; every value lives in the button itself.
class TButtonParams : public TPersistent {
    ZEL_DECLARE_CLASS(TButtonParams)
public:
    explicit TButtonParams(TEditButton* Button = nullptr) : FButton(Button) {}
    TEditButton* Button() const { return FButton; }
    void Attach(TEditButton* Value) { FButton = Value; }
    int Width() const;
    void SetWidth(int Value);
    TCursor Cursor() const;
    void SetCursor(TCursor Value);
    TButtonKind Kind() const;
    void SetKind(TButtonKind Value);
    // A custom glyph makes the button its width + 4 wide.
    void SetGlyph(const TBitmap& Value);
    TBitmap& Glyph();
    int NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(int Value) { FNumGlyphs = Value; }
    std::string Hint() const;
    void SetHint(const std::string& Value);
    bool ShowHint() const;
    void SetShowHint(bool Value);
    bool Visible() const;
    void SetVisible(bool Value);
    void Assign(TPersistent* Source) override;

private:
    TEditButton* FButton;
    int FNumGlyphs = 1;
};

// The placeholder drop-down: an edit with it never drops.
class TDummyPopup : public TWinControl {
    ZEL_DECLARE_CLASS(TDummyPopup)
public:
    explicit TDummyPopup(TComponent* AOwner) : TWinControl(AOwner) { FVisible = false; }
};

// The placeholder binding: keeps the value it was given.
class TDummyEditSource : public TEditSource {
    ZEL_DECLARE_CLASS(TDummyEditSource)
public:
    explicit TDummyEditSource(TComponent* AOwner = nullptr) : TEditSource(AOwner) {}
    THSVariant GetValue() override { return FValue; }
    void SetValue(const THSVariant& Value) override { FValue = Value; }

private:
    THSVariant FValue;
};

class TCustomHSEdit : public TCustomControl, public TDropDownOwner {
    ZEL_DECLARE_CLASS(TCustomHSEdit)
public:
    explicit TCustomHSEdit(TComponent* AOwner);
    ~TCustomHSEdit() override;

    // The inner editor (a THSSimpleEdit unless EditClass names another registered editor).
    TWinControl* Edit() const { return FEdit; }
    TEditButton* Button1() const { return FButton1; }
    TEditButton* Button2() const { return FButton2; }
    TButtonParams& Button1Params() { return FParams1; }
    TButtonParams& Button2Params() { return FParams2; }
    int NumButtons() const { return FNumButtons; }
    // 0, 1 or 2 buttons; larger values are ignored.
    void SetNumButtons(int Value);
    // The number of buttons that are visible.
    void UpdateButtonCount();
    // The drop-down list; nullptr while the drop-down is the placeholder or not a list.
    TPopupListBox* PopupWindow() const;
    TWinControl* PopupControl() const { return FPopup; }
    bool DroppedDown() const { return FDroppedDown; }
    void SetDroppedDown(bool Value);

    // Class names of the drop-down, the inner editor and the binding. A name that is not in the
    // family's registries gives the placeholder (drop-down, binding) or the default editor.
    const std::string& PopupWindowClass() const { return FPopupClassName; }
    void SetPopupClassName(const std::string& Name);
    const std::string& EditClass() const { return FEditClassName; }
    void SetEditClass(const std::string& Name);
    void SetEditorClass(TClass Class);
    const std::string& EditSourceClass() const { return FEditSourceName; }
    void SetEditSourceType(const std::string& Name);
    TEditSource* EditSource() const { return FEditSource; }
    // While the control loads (csLoading), the three class names are only stored; Loaded
    // applies them: binding, inner editor, drop-down.
    void Loaded() override;

    std::string EditText() const;
    void SetEditText(const std::string& Value);
    bool ReadOnly() const;
    void SetReadOnly(bool Value);
    bool DropOnClick() const { return FDropOnClick; }
    void SetDropOnClick(bool Value) { FDropOnClick = Value; }
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);
    bool UseHaldenBorder() const { return FUseHaldenBorder; }
    void SetUseHaldenBorder(bool Value);
    THaldenBorderStyle HaldenBorderStyle() const { return FHaldenBorderStyle; }
    void SetHaldenBorderStyle(THaldenBorderStyle Value);
    TColor LineColor() const { return FLineColor; }
    void SetLineColor(TColor Value);
    bool HideCaret() const { return FHideCaret; }
    void SetHideCaret(bool Value) { FHideCaret = Value; }
    bool EditTabStop() const { return FEditTabStop; }
    void SetEditTabStop(bool Value);
    // The flat look: Flat on, the mouse outside, not focused, not designing.
    bool GetFlat();
    // The border drawn by Halden style (dbsSunkenSingle or dbsRaisedSingle counts as single).
    bool SingleBorder() const;
    int LeftIndent() const { return 2; }
    bool DisplayFocused();

    virtual void Drop();
    void CloseDropped(bool Accept) override;
    void DropDownChanged() override {}
    RECT DropDownOwnerRect() override;
    // The text goes to the drop-down; GetDropValue takes the drop-down's text, however long.
    virtual void SetDropValue();
    virtual void GetDropValue();
    virtual void Change();
    void SelectAll();
    void Deselect();
    // End of editing: the binding takes the text.
    void Term();
    void PostValue();
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void WndProc(TMessage& Message) override;
    void UpdateBorder();
    void DrawBorder();

    TNotifyEvent OnButton1Click;
    TNotifyEvent OnButton2Click;
    TNotifyEvent OnChange;
    TNotifyEvent OnDropDown;
    TNotifyEvent OnTerm;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateHandleDone() override;
    void DestroyWnd() override;
    void Paint() override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    virtual TClass GetDefaultEditorClass() const;
    virtual TClass GetDefaultPopupClass() const;
    virtual void DoTerm() { DoEvent(OnTerm, this); }
    void SetButtonBounds();
    void SetEditRect();
    void ButtonClick(TEditButton* Button);
    // The inner editor's messages pass here first.
    void EditWndProc(TMessage& Message, WNDPROC Previous, HWND Wnd);
    // Mouse messages of the inner editor, in this control's coordinates; true when handled.
    virtual bool EditMouse(UINT Msg, TShiftState Shift, int X, int Y) {
        (void)Msg, (void)Shift, (void)X, (void)Y;
        return false;
    }

private:
    static LRESULT CALLBACK EditStub(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
    void HookEdit();
    void UnHookEdit();
    void ApplyPopupClass();
    void ApplyEditClass();
    void ApplyEditSource();
    void FocusNeighbour(bool Forward);
    TWinControl* FEdit = nullptr;
    TEditButton* FButton1 = nullptr;
    TEditButton* FButton2 = nullptr;
    TButtonParams FParams1;
    TButtonParams FParams2;
    TWinControl* FPopup = nullptr;
    TEditSource* FEditSource = nullptr;
    std::string FPopupClassName = "TPopupListBox";
    std::string FEditClassName;
    std::string FEditSourceName;
    int FNumButtons = 1;
    bool FDroppedDown = false;
    bool FDropOnClick = false;
    bool FFlat = false;
    bool FUseHaldenBorder = false;
    THaldenBorderStyle FHaldenBorderStyle = dbsSunkenBorder;
    TColor FLineColor = cl3DDkShadow;
    bool FHideCaret = false;
    bool FEditTabStop = false;
    bool FMouseOutside = true;
    int FDrawnFlat = -1; // the flat-look state last drawn; -1: none yet
    bool FBorderPending = false;
    bool FEditClicking = false;
    HWND FEditWnd = nullptr;
    WNDPROC FEditProc = nullptr;
};

class THSEdit : public TCustomHSEdit {
    ZEL_DECLARE_CLASS(THSEdit)
public:
    explicit THSEdit(TComponent* AOwner) : TCustomHSEdit(AOwner) {}
};
