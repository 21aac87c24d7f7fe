#pragma once
// A borderless, resizable drop-down form that lends itself to any control for a while: the control
// is lifted into the form, shown modally at a screen point, and put back where it was afterwards.
#include "framework/core/Win.h"

#include <functional>

#include "framework/ui/Buttons.h"
#include "framework/ui/ExtCtrls.h"
#include "framework/ui/Forms.h"

class THSPopupWindow;

using TCloseUpEvent = std::function<void(TObject* Sender, bool Accept)>;

// The grip in the bottom-right corner; dragging it resizes the popup from its fixed top-left corner.
class THSSizeGrip : public TCustomControl {
    ZEL_DECLARE_CLASS(THSSizeGrip)
public:
    explicit THSSizeGrip(TComponent* AOwner);
    void WndProc(TMessage& Message) override;

protected:
    void Paint() override;
};

class THSPopupWindow : public TCustomForm {
    ZEL_DECLARE_CLASS(THSPopupWindow)
public:
    explicit THSPopupWindow(TComponent* AOwner);
    ~THSPopupWindow() override;

    // Shows the popup modally with its top-left near the screen point P, kept on the work area.
    void PopupShow(POINT P);
    // Ends the popup: mrOk (1) accepts, mrCancel (2) cancels.
    void PopupHide(int ModalCode);
    void OKBtnClick(TObject* Sender);
    void CancelBtnClick(TObject* Sender);
    void PopupKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    void PopupMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void CloseUp(bool Accept);
    void AppHook(TMessage& Message);

    void FSizeGripMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void FSizeGripMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void FSizeGripMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);

    TPanel* ButtonPanel() const { return FButtonPanel; }
    TSpeedButton* CancelButton() const { return FCancelButton; }
    THSSizeGrip* SizeGrip() const { return FSizeGrip; }
    TControl* Control() const { return FControl; }
    void SetControl(TControl* Value) { FControl = Value; }
    bool Sizing() const { return FSizing; }
    // How the last PopupShow ended (the form's modal result is cleared when its loop ends).
    TModalResult LastResult() const { return FLastResult; }

    TCloseUpEvent OnCloseUp;

    // The popup showing now (one at a time), or nullptr.
    static THSPopupWindow* ShowingPopupWindow();

protected:
    void CreateParams(TCreateParams& Params) override;

private:
    void RemoveHooks();
    static LRESULT CALLBACK MouseHook(int Code, WPARAM WParam, LPARAM LParam);
    TPanel* FButtonPanel = nullptr;
    TSpeedButton* FCancelButton = nullptr;
    THSSizeGrip* FSizeGrip = nullptr;
    TControl* FControl = nullptr;
    bool FSizing = false;
    int32_t FGripDX = 0, FGripDY = 0;
    bool FHooked = false;
    TModalResult FLastResult = mrNone;
};

// Shows Control in a popup whose top-left is (X, Y) in Origin's client coordinates (screen
// coordinates without Origin); true when the user accepted (Enter, double-click).
bool SizeablePopup(TControl* Control, TWinControl* Origin, int X, int Y, bool ShowButtons);
