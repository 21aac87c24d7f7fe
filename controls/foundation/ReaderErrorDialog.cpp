#include "controls/foundation/ReaderErrorDialog.h"

#include <memory>

#include "controls/foundation/FontMetrics.h"
#include "controls/foundation/HSResStrings.h"
#include "controls/foundation/PropStore.h"
#include "framework/core/SysUtils.h"
#include "framework/ui/Application.h"
#include "framework/ui/ExtCtrls.h"
#include "framework/ui/FormBuilder.h"
#include "framework/ui/StdCtrls.h"

ZEL_DEFINE_CLASS(TReaderErrorDlg, TForm, {})

TReaderErrorDlg::TReaderErrorDlg(TComponent* AOwner) : TForm(AOwner) {
    TFormLayout L;
    L.ClientWidth = 312;
    L.ClientHeight = 128;
    L.BorderStyle = TFormBorderStyle::bsDialog;
    L.Position = TFormPosition::poScreenCenter;
    L.ActiveControl = "IgnoreButton";
    L.Items = {
        FormItem("TBevel", "Bevel1", "", 6, 6, 300, 81, "", {{"Shape", "bsFrame"}}),
        FormItem("TLabel", "LerrMess", "", 16, 14, 280, 66, "", {{"WordWrap", "True"}}),
        FormItem("TButton", "IgnoreButton", "", 12, 96, 89, 25, "&Ignore",
                 {{"Default", "True"}, {"ModalResult", "1"}}),
        FormItem("TButton", "CancelButton", "", 111, 96, 89, 25, "Cancel",
                 {{"Cancel", "True"}, {"ModalResult", "2"}}),
        FormItem("TButton", "IgnoreAllButton", "", 210, 96, 89, 25, "", {{"ModalResult", "5"}}),
    };
    BuildForm(*this, L);
    Bevel1 = FindOwned<TBevel>(*this, "Bevel1");
    LerrMess = FindOwned<TLabel>(*this, "LerrMess");
    IgnoreButton = FindOwned<TButton>(*this, "IgnoreButton");
    CancelButton = FindOwned<TButton>(*this, "CancelButton");
    IgnoreAllButton = FindOwned<TButton>(*this, "IgnoreAllButton");
    SetFormFont(this);
    SetCaption(LoadResString(SErrDlg));
    LerrMess->SetCaption(LoadResString(SErrMess));
    IgnoreAllButton->SetCaption(LoadResString(SIgnoreAll));
}

void ShowReaderErrorDialog(const std::string& Message, bool& Handled, bool& IgnoreAll) {
    std::unique_ptr<TReaderErrorDlg> Dialog(new TReaderErrorDlg(Application));
    Dialog->LerrMess->SetCaption(Format(Dialog->LerrMess->Caption().c_str(), Message.c_str()));
    switch (Dialog->ShowModal()) {
    case mrOk:
        Handled = true;
        break;
    case mrIgnoreAll:
        Handled = true;
        IgnoreAll = true;
        break;
    default:
        Handled = false;
        break;
    }
}

void InstallReaderErrorDialog() {
    ReaderErrorHandler = &ShowReaderErrorDialog;
}
