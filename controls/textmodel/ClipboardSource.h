#pragma once
// A text source that collects every text put on the system clipboard, one clip after another,
// each starting on a new line.

#include <windows.h>

#include <string>

#include "controls/textmodel/MemoSource.h"

class TClipBoardSource : public TCustomMemoSource {
public:
    explicit TClipBoardSource(TComponent* owner = nullptr);
    ~TClipBoardSource() override;

    // The name stays "Clipboard".
    bool ChangeObjectName(const std::string&) override { return false; }
    // Appends one clip at the end of the text, on a new line when there is text already.
    void CollectClip(const std::string& text);
    // Set while this source itself copies to the clipboard, so that its own copy is not collected
    // (its CopyBlock and CutBlock also mark their copies through CopyingToClipboard).
    bool OwnCopy = false;
    HWND Handle() const { return FWindow; }
    HWND NextViewer() const { return FNextViewer; }

private:
    static LRESULT CALLBACK WindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    void ClipboardChanged();

    HWND FWindow = nullptr;
    HWND FNextViewer = nullptr;
};

using TClipbrdMemoSource = TClipBoardSource;
