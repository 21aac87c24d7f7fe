#pragma once
// Which text the shared find and replace window acts on. Views include only this, without the
// dialogs themselves.

class TCustomMemoSource;
struct tagRECT;

// The source the non-modal window acts on; a source that goes while it is the current one clears it.
extern TCustomMemoSource* CurrentFindSource;
// Makes Source the current one (a view calls it when it gets the focus) and sees to it that the
// reference is cleared when the source goes.
void SetCurrentFindSource(TCustomMemoSource* Source);
// A view that has shown a found text of Source passes its screen rectangle here: when the shared
// window is shown and acts on Source, it moves so as not to cover the text.
void KeepFoundTextVisible(TCustomMemoSource* Source, const tagRECT& ScreenRect);
