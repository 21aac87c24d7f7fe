// The main window's small button rows: the column of toggle buttons at the editor's left, the tool
// row of the browser pane and the buttons of the resource window's title row. Their commands are
// bound by TMainCommands; the layout shows the column and the browser pane by the view settings.
#include "editor/mainwindow/MainForm.h"

#include "editor/mainwindow/PaneSplitter.h"
#include "editor/mainwindow/ToolbarPictures.h"
#include "framework/ui/StdCtrls.h"

namespace {

struct TToolButton {
    const char* Name;
    const char* Hint;
    bool Toggle;   // stays down while its setting is on
    bool GapAfter; // a few pixels before the next group
};

// Pictures where there are, else the first letter of the hint.
void Decorate(TSpeedButton* B, const char* Hint) {
    if (!DrawButtonPicture(B->Name(), B->Glyph()))
        B->SetCaption(std::string(1, Hint[0]));
}

} // namespace

void TZELQEForm::BuildEditorButtons() {
    EditorSpeedBtnPanel = AddPanel(EditorVerticalPanel, "EditorSpeedBtnPanel", TAlign::alClient);
    const TToolButton Buttons[] = {
        {"ViewExternalBtn", "View with External Viewer", false, true},
        {"ViewLineNumbersBtn", "Line Numbers", true, false},
        {"OptionsWordWrapBtn", "Word Wrap", true, false},
        {"ViewGutterBtn", "Gutter", true, false},
        {"ViewSymbolsButton", "Special Symbols", true, true},
        {"ViewSplitViewBtn", "Split View", true, false},
        {"ViewHorzSplitBtn", "Split View Top and Bottom", true, true},
        {"SpellCheckSmallBtn", "Spell Check", false, false},
        {"ValidateBtn", "Validate", false, true},
        {"IndentBtn", "Indent Selection", false, false},
        {"UnindentBtn", "Unindent Selection", false, true},
        {"ViewFullScreenBtn", "Full Screen", true, false},
        {"ViewResourceBtn", "Resource Window", true, false},
        {"ViewBrowserBtn", "Web Browser", true, true},
        {"LastTabBtn", "Last Document", false, false},
        {"FirstTabBtn", "First Document", false, false},
        {"FileCloseSpeedBtn", "Close Document", false, false},
    };
    int Top = 1, Group = 1;
    for (const TToolButton& Row : Buttons) {
        TSpeedButton* B = AddButton(EditorSpeedBtnPanel, Row.Name, 1, Top, 16, Row.Hint, nullptr);
        // A toggle of its own: a click presses it or lets it up, and the setting behind it
        // decides again after the command.
        if (Row.Toggle) {
            B->SetGroupIndex(Group++);
            B->SetAllowAllUp(true);
        }
        Decorate(B, Row.Hint);
        Top += Row.GapAfter ? 21 : 17;
    }
}

void TZELQEForm::BuildBrowserToolRow() {
    Panel17 = AddPanel(WBPanel, "Panel17", TAlign::alTop, 26);
    TPanel* Left = AddPanel(Panel17, "WBButtonsPanel", TAlign::alLeft, 8 * 23 + 4);
    const TToolButton Buttons[] = {
        {"WBBackBtn", "Back", false, false},
        {"WBForwardBtn", "Forward", false, false},
        {"WBStopButton", "Stop", false, false},
        {"WBRefreshBtn", "Refresh", false, false},
        {"WBViewSourceBtn", "View Source", false, false},
        {"WBPreviewBtn", "Preview the Current Document", true, false},
        {"WBHorzSplitBtn", "Browser Below the Editor", true, false},
        {"WBHelpBtn", "Help Contents in Integrated Browser", false, false},
    };
    int X = 2, Group = 1;
    for (const TToolButton& Row : Buttons) {
        TSpeedButton* B = AddButton(Left, Row.Name, X, 2, 22, Row.Hint, nullptr);
        if (Row.Toggle) {
            B->SetGroupIndex(Group++);
            B->SetAllowAllUp(true);
        }
        Decorate(B, Row.Hint);
        X += 23;
    }
    TPanel* Right = AddPanel(Panel17, "WBGoPanel", TAlign::alRight, 2 * 23 + 4);
    Decorate(AddButton(Right, "WBGoButton", 2, 2, 22, "Go", nullptr), "Go");
    Decorate(AddButton(Right, "WBCloseBtn", 25, 2, 22, "Close the Web Browser", nullptr), "Close");
    TPanel* Address = AddPanel(Panel17, "WBAddressPanel", TAlign::alClient);
    Address->SetBorderWidth(2);
    OpenCombo = new TComboBox(this);
    OpenCombo->SetName("OpenCombo");
    OpenCombo->SetParent(Address);
    OpenCombo->SetAlign(TAlign::alClient);
    OpenCombo->SetHint("Address of the page to open in the browser.");
    OpenCombo->SetShowHint(true);
    OpenCombo->OnKeyPress = [](TObject*, char& Key) {
        // Enter goes to the Go button, which has nothing to open; the key is used up either way.
        if (Key == 13)
            Key = 0;
    };
    // With no browser behind it an address leads nowhere, so the box is greyed like the buttons
    // of the row that have nothing to act on.
    OpenCombo->SetEnabled(false);
}

void TZELQEForm::BuildResourceButtons() {
    ResourceSpeedBtnPanel = AddPanel(MainResourceLocationPanel, "ResourceSpeedBtnPanel", TAlign::alRight, 44);
    const TToolButton Buttons[] = {
        {"MoveResourceToLeftBtn", "Move the Resource Window to the Left of the Editor", false, false},
        {"MoveResourceToTopBtn", "Move the Resource Window Above the Editor", false, false},
        {"SpeedButton1", "Hide Resource Window", false, false},
    };
    int X = 1;
    for (const TToolButton& Row : Buttons) {
        TSpeedButton* B = AddButton(ResourceSpeedBtnPanel, Row.Name, X, 1, 13, Row.Hint, nullptr);
        if (!DrawButtonPicture(Row.Name, B->Glyph()))
            B->SetCaption("x");
        X += 14;
    }
    DecorationPanelLeft = AddPanel(MainResourceLocationPanel, "DecorationPanelLeft", TAlign::alClient);
}
