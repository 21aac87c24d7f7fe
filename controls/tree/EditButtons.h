#pragma once
// An edit control with up to two small buttons at its right edge and a drop-down list that
// opens under it; the first button (or Alt+Down) drops the list, Enter or a click takes its value.
#include "framework/core/Win.h"

#include <string>

#include "controls/tree/PopupListBox.h"
#include "framework/ui/Buttons.h"
#include "framework/ui/StdCtrls.h"

enum class TButtonKind { bkCustom, bkDropDown, bkDots };

class TCustomHSEdit;

// A button of the edit control; paints its kind's glyph (a down triangle or three dots).
class TEditButton : public TSpeedButton {
    ZEL_DECLARE_CLASS(TEditButton)
public:
    explicit TEditButton(TComponent* AOwner);
    TButtonKind Kind() const { return FKind; }
    void SetKind(TButtonKind Value);

protected:
    void Paint() override;

private:
    TButtonKind FKind = TButtonKind::bkCustom;
};

class TCustomHSEdit : public TCustomControl, public TDropDownOwner {
    ZEL_DECLARE_CLASS(TCustomHSEdit)
public:
    explicit TCustomHSEdit(TComponent* AOwner);
    ~TCustomHSEdit() override;

    TEdit* Edit() const { return FEdit; }
    TEditButton* Button1() const { return FButton1; }
    TEditButton* Button2() const { return FButton2; }
    int NumButtons() const { return FNumButtons; }
    // 0, 1 or 2 buttons; larger values are ignored.
    void SetNumButtons(int Value);
    TPopupListBox* PopupWindow() const { return FPopup; }
    bool DroppedDown() const { return FDroppedDown; }
    void SetDroppedDown(bool Value);
    std::string EditText() const;
    void SetEditText(const std::string& Value);

    virtual void Drop();
    void CloseDropped(bool Accept) override;
    void DropDownChanged() override {}
    RECT DropDownOwnerRect() override;
    // The text goes to the drop-down; GetDropValue takes the drop-down's text, however long.
    virtual void SetDropValue();
    virtual void GetDropValue();
    virtual void Change();
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void WndProc(TMessage& Message) override;

    TNotifyEvent OnButton1Click;
    TNotifyEvent OnButton2Click;
    TNotifyEvent OnChange;
    TNotifyEvent OnDropDown;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateHandleDone() override;
    void DestroyWnd() override;
    void SetButtonBounds();
    void ButtonClick(TEditButton* Button);
    // The inner editor's messages pass here first.
    void EditWndProc(TMessage& Message, WNDPROC Previous, HWND Wnd);

private:
    static LRESULT CALLBACK EditStub(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
    void HookEdit();
    void UnHookEdit();
    TEdit* FEdit = nullptr;
    TEditButton* FButton1 = nullptr;
    TEditButton* FButton2 = nullptr;
    TPopupListBox* FPopup = nullptr;
    int FNumButtons = 1;
    bool FDroppedDown = false;
    HWND FEditWnd = nullptr;
    WNDPROC FEditProc = nullptr;
};

class THSEdit : public TCustomHSEdit {
    ZEL_DECLARE_CLASS(THSEdit)
public:
    explicit THSEdit(TComponent* AOwner) : TCustomHSEdit(AOwner) {}
};
