// Laying out the main window's panes from the view settings, and the check marks, settings and
// hint panels that follow them.
#include "editor/mainwindow/MainForm.h"

#include <algorithm>

#include "controls/memo/Memo.h"
#include "controls/textmodel/MemoOptions.h"
#include "controls/textmodel/MemoSource.h"
#include "controls/textmodel/SchemeParser.h"
#include "editor/core/AppState.h"
#include "editor/core/DrawingHold.h"
#include "editor/core/EngineFunctionTable.h"
#include "editor/core/FileInfo.h"
#include "editor/core/FormHelpers.h"
#include "editor/core/ListView.h"
#include "editor/core/ViewSetup.h"
#include "editor/mainwindow/InterfaceBits.h"
#include "editor/mainwindow/PaneSplitter.h"
#include "editor/mainwindow/StageLog.h"

using namespace mainwindow;

namespace {

void SetOption(TMemoOptions& Options, TMemoOptions Option, bool On) {
    if (On)
        Options |= Option;
    else
        Options &= ~Option;
}

} // namespace

int TZELQEForm::ArrangePanels(int32_t Flags) {
    if (Closing())
        return 2;
    if (!LayoutReady)
        return 0;
    TMemoOptions O = ActiveEditorMemo->Options();
    SetOption(O, moDrawGutter, Bit(F(), 8));
    SetOption(O, moLineNumbersOnGutter, Bit(F(), 8));
    SetOption(O, moLineNumbers, Bit(F(), 7));
    SetOption(O, moDrawMargin, Bit(F(), 9));
    SetOption(O, moDblClickLine, Bit(F(), 16));
    SetOption(O, moBreakWordAtMargin, Bit(F(), 21));
    SetOption(O, moDrawSpecialSymbols, Bit(F2(), 3));
    O |= moNotePadCursorStyle;
    for (THSMemo* M : {HSMemo, HSMemo2}) {
        M->SetOptions(O);
        M->SetWordWrap(Bit(F(), 1));
    }
    if (Flags & 4) {
        UpdateMenuChecks();
        return 0;
    }
    if (HandleAllocated() && IsIconic(Handle()))
        return 1;
    // Drawn whole once the panes are arranged. A window not shown is left alone, and one not made
    // yet stays so: it is made once the panes are arranged, so the hidden ones are not made with it.
    TDrawingHold Held(this, TDrawingHold::TFrames::All);
    if (fileinfoclass* Doc = GetCurrentFileInfo())
        Doc->UpdateSyntaxParser(0);
    LayoutReady = 0;
    if (!(Flags & 1))
        StoreNormalBounds();
    if (Bit(F(), 11)) {
        if (!FullScreenActive)
            RememberedState = WindowState();
        StatusBar->SetVisible(false);
        SetActiveControl(ActiveEditorMemo);
        if (FullScreenActive != 1) {
            SetWindowLongA(Handle(), GWL_STYLE, GetWindowLongA(Handle(), GWL_STYLE) & ~0x00C00000L);
            ShowResourcePane(false);
            Bevel->SetVisible(false);
            Bevel2->SetVisible(false);
            SpeedBarPanel->SetVisible(false);
            FullScreenActive = 1;
            SendMessageA(Handle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
            SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                         SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
        }
        ShowResultsPane(Bit(F(), 0) && Bit(F(), 10));
    } else {
        if (FullScreenActive == 1) {
            SetWindowLongA(Handle(), GWL_STYLE, GetWindowLongA(Handle(), GWL_STYLE) | 0x00C00000L);
            SetWindowState(RememberedState);
            SetWindowPos(Handle(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE);
        }
        Bevel2->SetVisible(true);
        bool Bar = Bit(F(), 2);
        Bevel->SetVisible(Bar);
        SpeedBarPanel->SetVisible(Bar);
        if (Bar)
            Bevel2->SetTop(SpeedBarPanel->Top() + SpeedBarPanel->Height());
        LinksPanel->SetVisible(Bit(F2(), 16));
        StatusBar->SetVisible(Bit(F(), 3));
        ShowResultsPane(Bit(F(), 10));
        ShowResourcePane(Bit(F(), 4));
        FullScreenActive = 0;
    }
    UpdateMenuChecks();
    static double SplitProportion = 0.5;
    ShowSecondPaneDocument();
    if (!Bit(F(), 15)) {
        if (EditorSplitPanel->Proportion() != 1.0) {
            SplitProportion = EditorSplitPanel->Proportion();
            EditorSplitPanel->SetPaneMinSize(1, 0);
            EditorSplitPanel->SetProportion(1.0);
            SafeSetFocus(HSMemo);
        }
    } else {
        if (EditorSplitPanel->Proportion() == 1.0) {
            EditorSplitPanel->SetProportion(SplitProportion);
            EditorSplitPanel->SetPaneMinSize(1, 50);
        }
        TSplitStyle Want = Bit(F(), 22) ? TSplitStyle::Horizontal : TSplitStyle::Vertical;
        if (EditorSplitPanel->Style() != Want) {
            double Keep = EditorSplitPanel->Proportion();
            EditorSplitPanel->SetStyle(Want);
            EditorSplitPanel->SetProportion(Keep);
        }
    }
    ShowBrowserPane(Bit(F(), 20));
    if (Flags & 2)
        ApplySettingsToControls(1);
    LayoutReady = 1;
    return 0;
}

void TZELQEForm::ShowBrowserPane(bool Show) {
    // The pane holds only its tool row: the browser itself is not part of this program.
    const TSplitStyle Want = Bit(F2(), 15) ? TSplitStyle::Horizontal : TSplitStyle::Vertical;
    if (WebSplitter->Style() != Want) {
        const double Keep = WebSplitter->Proportion();
        WebSplitter->SetStyle(Want);
        WebSplitter->SetProportion(Keep);
    }
    float* Stored = p && p->iface ? &p->iface->paneProportions[3] : nullptr;
    if (!Show) {
        if (WebSplitter->Proportion() != 1.0) {
            if (Stored)
                *Stored = static_cast<float>(WebSplitter->Proportion());
            WebSplitter->SetPaneMinSize(1, 0);
            WebSplitter->SetProportion(1.0);
        }
        return;
    }
    if (WebSplitter->Proportion() == 1.0) {
        const double Share = Stored && *Stored > 0.0f && *Stored < 1.0f ? *Stored : 0.5;
        WebSplitter->SetProportion(Share);
        WebSplitter->SetPaneMinSize(1, 100);
    }
}

void TZELQEForm::ApplyMessageMemoWidth(TPaneSplitter* Split) {
    if (!p || !p->iface || Split->Extent() <= 0)
        return;
    Split->SetPosition(Split->Extent() - p->iface->resultsMessageSplitPosition);
}

void TZELQEForm::StoreNormalBounds() {
    if (!p || !p->vol || !HandleAllocated())
        return;
    if (!IsWindowVisible(Handle()) || IsIconic(Handle()) || IsZoomed(Handle()) || Bit(F(), 11))
        return;
    RECT R;
    GetWindowRect(Handle(), &R);
    p->vol->normalLeft = R.left;
    p->vol->normalTop = R.top;
    p->vol->normalWidth = R.right - R.left;
    p->vol->normalHeight = R.bottom - R.top;
    p->vol->normalBoundsValid = 1;
}

void TZELQEForm::ShowResultsPane(bool Show) {
    int32_t Stored = p && p->iface ? p->iface->horzSplit1Position : 150;
    if (Show) {
        HorzSplit1->SetSplitterWidth(3);
        HorzSplit1->SetPaneMinSize(1, 150);
        Stored = std::max<int32_t>(Stored, 150);
        HorzSplit1->SetProportion(0.5);
        HorzSplit1->SetPosition(HorzSplit1->Extent() - Stored);
        if (p && p->iface)
            p->iface->horzSplit1Position = Stored;
        ResultsCollapsed = 0;
        return;
    }
    if (ResultsCollapsed == 1) {
        HorzSplit1->SetProportion(1.0);
        return;
    }
    if (HorzSplit1->Proportion() != 1.0) {
        if (p && p->iface)
            p->iface->horzSplit1Position = HorzSplit1->Extent() - HorzSplit1->Position();
        HorzSplit1->SetPaneMinSize(1, 0);
    }
    ResultsCollapsed = 1;
    HorzSplit1->SetProportion(1.0);
}

void TZELQEForm::ShowResourcePane(bool Show) {
    if (Show) {
        const bool Top = Bit(F(), 13);
        VertSplit1->SetStyle(Top ? TSplitStyle::Horizontal : TSplitStyle::Vertical);
        // Above the editor the shell tree stands left of the file list, beside it above the list.
        HorzSplit2->SetStyle(Top ? TSplitStyle::Vertical : TSplitStyle::Horizontal);
        SetEnabled("MoveResourceToLeftBtn", Top);
        SetEnabled("MoveResourceToTopBtn", !Top);
        for (TPaneSplitter* S : {VertSplit1, HorzSplit2})
            S->SetSplitterWidth(3);
        VertSplit1->SetPaneMinSize(0, 100);
        const int Limit = VertSplit1->Extent() - 100;
        const int TreeLimit = HorzSplit2->Extent() - 50;
        // Only the positions are cut to the room there is: a window laid out before it has its
        // size (or a sheet not shown yet) would otherwise lose the sizes the user gave them.
        VertSplit1->SetPosition(std::min(p && p->iface ? p->iface->paneSize1 : 140, Limit));
        HorzSplit2->SetPosition(std::min(p && p->iface ? p->iface->paneSize2 : 225, TreeLimit));
        if (ResourcePageControl->ActivePage() == OpenedTabSheet)
            FillOpenedList();
        return;
    }
    if (VertSplit1->SplitterWidth() != 0) {
        for (TPaneSplitter* S : {VertSplit1, HorzSplit2})
            S->SetSplitterWidth(0);
        VertSplit1->SetPaneMinSize(0, 0);
        VertSplit1->SetPosition(0);
    }
}

void TZELQEForm::UpdateMenuChecks() {
    const bool Gutter = ActiveEditorMemo && ActiveEditorMemo->HasOption(moDrawGutter);
    // Asked only of a real options handle: the engine reports a bad handle in a box of its own.
    const bool Logging = Engine.ZELGetFlag && p && p->vol && p->vol->optionsHandle >= 0 &&
                         Engine.ZELGetFlag(p->vol->optionsHandle, 1006, 8) > 0;
    // Menu item, the button that stays down with it (or null), and the setting.
    const struct {
        const char* Item;
        const char* Button;
        bool On;
    } Marks[] = {
        {"ViewSplitView", "ViewSplitViewBtn", Bit(F(), 15)},
        {nullptr, "ViewHorzSplitBtn", Bit(F(), 22)},
        {"ViewWebBrowser", "ViewBrowserBtn", Bit(F(), 20)},
        {nullptr, "WBHorzSplitBtn", Bit(F2(), 15)},
        {nullptr, "WBPreviewBtn", Bit(F2(), 18)},
        {"ViewGutter", "ViewGutterBtn", Gutter},
        {"ViewLineNumbers", "ViewLineNumbersBtn", Bit(F(), 7)},
        {"ViewLineSeparators", nullptr, Bit(F(), 28)},
        {"ViewRightMargin", nullptr, Bit(F(), 9)},
        {"ViewSpeedBar", nullptr, Bit(F(), 2)},
        {"ViewStatusBar", nullptr, Bit(F(), 3)},
        {"ViewResults", nullptr, Bit(F(), 10)},
        {"ViewResource", "ViewResourceBtn", Bit(F(), 4)},
        {"ViewCSSInserter", nullptr, Bit(F2(), 26)},
        {"ViewTagInserter", nullptr, Bit(F2(), 22)},
        {"ViewFullScreen", "ViewFullScreenBtn", Bit(F(), 11)},
        {"OptionsWordWrap", "OptionsWordWrapBtn", Bit(F(), 1)},
        {"OptionsSyntaxHighlighting", nullptr, p && p->config && Bit(p->config->flags, 21)},
        {"OptionsKeepWindowOnTop", nullptr, Bit(F(), 6)},
        {"OptionsLoggingEnable", nullptr, Logging},
        {"OptionsEnableHotKeys", nullptr, Bit(F(), 5)},
        {"DragDropUseValidator", nullptr, p && p->config && Bit(p->config->flags, 0)},
        {"DragDropUseTool", nullptr, p && p->config && Bit(p->config->flags, 1)},
        {"DragDropViewDragDropWindow", nullptr, Bit(F(), 12)},
        {"ViewLinkInfoPanel", nullptr, Bit(F2(), 16)},
        {"ViewSpecialSymbols", "ViewSymbolsButton", Bit(F2(), 3)},
    };
    for (const auto& M : Marks) {
        if (M.Item)
            SetChecked(M.Item, M.On);
        if (M.Button)
            SetDown(M.Button, M.On);
    }
    SetEnabled("ViewHorzSplitBtn", Bit(F(), 15));
    SetEnabled("WBHorzSplitBtn", Bit(F(), 20));
}

void TZELQEForm::ApplySettingsToControls(int32_t Flags) {
    if (Flags & 1)
        Flags |= 2 | 4 | 8;
    if ((Flags & 16) && p && p->vol) {
        OpenedTabSheet->SetCaption("Open (" + std::to_string(p->vol->documents.count()) + ")");
        OpenedListStale = true;
        FillOpenedList();
    }
    if ((Flags & 2) && p && p->config)
        for (THSMemo* M : {HSMemo, HSMemo2})
            M->SetMarginPos(p->config->rightMargin);
    if ((Flags & 4) && p && p->config) {
        // A stored text the model refuses falls back to stops every three columns.
        for (int Attempt = 0; Attempt < 2; ++Attempt) {
            try {
                for (THSMemo* M : {HSMemo, HSMemo2})
                    if (M->GetSource())
                        M->SetTabStops(p->config->tabStops.getString() ? p->config->tabStops.getString()
                                                                       : "");
                break;
            } catch (const std::exception&) {
                p->config->tabStops = "3,6,9,12";
            }
        }
    }
    if (Flags & 8) {
        if (p && p->config && p->config->editorFont) {
            // The style sheet's colours stand on the editor's font and background; the parser
            // colours every open style sheet again.
            TAttrItem Attr;
            Attr.Assign(&CSSParser->DefaultAttr());
            Attr.Font.Assign(*p->config->editorFont);
            Attr.Font.SetColor(static_cast<TColor>(p->config->editorFontColor));
            Attr.BackColor = static_cast<TColor>(p->config->editorBackgroundColor);
            CSSParser->SetDefaultAttr(&Attr);
        }
        for (THSMemo* M : {HSMemo, HSMemo2, StructureMemo, StructureMemo2, ScratchPad1Memo, ScratchPad2Memo,
                           ResultsMessageMemo, ResultsMessageMemo2, ResultsMessageMemo3})
            ApplyEditorColors(M, 1);
    }
    if (Flags & 32)
        BuildValidateModePopup();
}

void TZELQEForm::FormResize(TObject*) {
    ArrangePanels(0);
}

bool TZELQEForm::SecondPaneShown() const {
    return Bit(F(), 15);
}

void TZELQEForm::ShowSecondPaneDocument() {
    TCustomMemoSource* Want = MemoSourceDefault;
    if (SecondPaneShown()) {
        // The pane's chosen tab, or its first while none is chosen.
        auto* Binding = reinterpret_cast<tabinfoclass*>(TabControl2->Tag());
        const int Index = std::max(TabControl2->TabIndex(), 0);
        auto* Doc = Binding && Binding->documents ? static_cast<fileinfoclass*>(Binding->documents->at(Index))
                                                  : nullptr;
        if (!Doc)
            return;
        if (TabControl2->TabIndex() != Index)
            TabControl2->SetTabIndex(Index);
        Want = Doc->memoSource;
    } else if (ActiveEditorMemo == HSMemo2) {
        // The commands follow the pane that stays.
        ActiveEditorMemo = HSMemo;
    }
    if (HSMemo2->GetSource() != Want)
        HSMemo2->SetSource(Want);
}

void TZELQEForm::ShowHintPanels(bool Validated) {
    TStageTimer T("results.panels");
    // The views stay shown and laid out under their hint panels, which cover them until there are
    // results: uncovering a view costs one hidden panel, where showing a hidden list view would lay
    // it and its header out anew while the user waits for the results. A covered view is disabled,
    // so neither the keyboard nor the mouse reaches it.
    TPanel* const Panels[] = {MessagesPanel, TreeViewPanel, StylesPanel};
    TWinControl* const Views[] = {ResultsListView, ResultsTreeView, StyleMessagesTreeView};
    bool Same = true;
    for (int I = 0; I < 3; ++I)
        Same = Same && Panels[I]->Visible() != Validated && Views[I]->Enabled() == Validated;
    if (Same)
        return;
    // One repaint of the results pane when every view has changed places, not one per view; a
    // pane not shown is left alone (turning its drawing on would mark it shown).
    TDrawingHold Held(ResultsPageControl, TDrawingHold::TFrames::All);
    for (TWinControl* V : Views)
        V->SetEnabled(Validated);
    for (TPanel* P : Panels) {
        P->SetVisible(!Validated);
        if (!Validated)
            P->BringToFront();
    }
}
