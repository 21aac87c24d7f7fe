#include "editor/mainwindow/MySource.h"

#include "controls/memo/SearchReplaceForm.h"
#include "controls/textmodel/dialogs/SourceDialogs.h"
#include "editor/core/AppState.h"
#include "editor/core/EngineDialogs.h"
#include "framework/ui/Buttons.h"
#include "framework/ui/Forms.h"
#include "framework/ui/StdCtrls.h"

ZEL_DEFINE_CLASS(TMySource, TCustomMemoSource, {})

namespace {

void ShowFindReplaceHelp(TObject*) {
    if (!p || !p->vol || p->vol->closing)
        return;
    ShowHelpPage(Application && Application->MainForm() ? Application->MainForm()->Handle() : nullptr,
                 "findreplacedialog.html",
                 p->vol->documentationFolder.getString() ? p->vol->documentationFolder.getString() : "", 0);
}

void EnableHelpButton(TCustomForm* Dialog) {
    if (!Dialog)
        return;
    if (auto* Help = dynamic_cast<TControl*>(Dialog->FindComponent("HelpBut"))) {
        Help->SetEnabled(true);
        Help->OnClick = ShowFindReplaceHelp;
    }
}

// Dialog operations whose find and replace forms have a working Help button.
class TMySourceDialogs : public TSourceDialogs {
public:
    explicit TMySourceDialogs(TComponent* AOwner) : TSourceDialogs(AOwner) {}
    TCustomForm* CreateReplaceDialog() override {
        TCustomForm* D = TSourceDialogs::CreateReplaceDialog();
        EnableHelpButton(D);
        return D;
    }
    TCustomForm* CreateSearchDialog() override {
        TCustomForm* D = TSourceDialogs::CreateSearchDialog();
        EnableHelpButton(D);
        return D;
    }
};

} // namespace

TMySource::TMySource(TComponent* AOwner) : TCustomMemoSource(AOwner) {
    // Made before anyone asks, so it is the first dialog object the source owns.
    new TMySourceDialogs(this);
}

TMySource::~TMySource() = default;

TCustomMemoSource* NewMySource() {
    // Owned by its document record, which outlives the application object at shutdown.
    return new TMySource(nullptr);
}

void InstallDocumentSources() {
    SetMemoSourceFactory(&NewMySource);
    RegisterSearchReplaceWindow();
}

void ShowSourceSearchDialog(TCustomMemoSource* Source, bool Replace) {
    if (!Source)
        return;
    if (Replace)
        SourceDialogs(*Source).ShowReplaceDialog();
    else
        SourceDialogs(*Source).ShowSearchDialog();
}
