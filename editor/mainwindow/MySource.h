#pragma once
// The text model every document uses: the model of the text layer with find and replace dialogs
// whose Help button opens the find and replace help page.
#include "controls/textmodel/MemoSource.h"

class TMySource : public TCustomMemoSource {
    ZEL_DECLARE_CLASS(TMySource)
public:
    explicit TMySource(TComponent* AOwner);
    ~TMySource() override;
};

// The document records' memo-source maker.
TCustomMemoSource* NewMySource();
// Start-up: every document gets a TMySource, and sources whose user turned the modal dialogs off
// share the one non-modal find and replace window.
void InstallDocumentSources();

// The find or replace dialog of a text model (through its dialog operations).
void ShowSourceSearchDialog(TCustomMemoSource* Source, bool Replace);
