#pragma once
// The find and replace dialogs of a source as key commands, kept apart so the memo's own units
// need not see the dialog layer's declarations.
class TCustomMemoSource;

void ShowSourceSearchDialog(TCustomMemoSource& Source);
void ShowSourceReplaceDialog(TCustomMemoSource& Source);
