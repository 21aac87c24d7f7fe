#include "controls/memo/MemoSearchCommands.h"

#include "controls/textmodel/dialogs/SourceDialogs.h"

void ShowSourceSearchDialog(TCustomMemoSource& Source) {
    SourceDialogs(Source).ShowSearchDialog();
}

void ShowSourceReplaceDialog(TCustomMemoSource& Source) {
    SourceDialogs(Source).ShowReplaceDialog();
}
