#include "editor/core/ViewSetup.h"

#include "controls/textmodel/MemoSource.h"
#include "editor/core/AppState.h"
#include "editor/core/FormHelpers.h"
#include "framework/ui/ComCtrls.h"
#include "spell/ParsingEngine.h"
#include "spell/StringParser.h"

#include <commctrl.h>

#include <exception>
#include <memory>

namespace {

struct TLineStyle {
    const char* Name;
    TColor Text, Back;
};
// Colours are blue-green-red values.
constexpr TLineStyle kLineStyles[] = {
    {WarningLineStyleName, 0x000000, 0x00FFFF},
    {ErrorLineStyleName, 0xFFFFFF, 0x000080},
    {MessageLineStyleName, 0xFFFFFF, 0x800000},
    {StructLineStyleName, 0xFFFFFF, 0x008000},
};

std::unique_ptr<TMainParsingEngine>& Engine() {
    static std::unique_ptr<TMainParsingEngine> E;
    return E;
}

std::unique_ptr<TStringParser>& Parser() {
    static std::unique_ptr<TStringParser> P;
    return P;
}

void FixedPitchFont(THSMemo* memo, bool editorFont) {
    if (editorFont && p && p->config && p->config->editorFont) {
        memo->Font().Assign(*p->config->editorFont);
    } else {
        memo->Font().SetName("Courier New");
        memo->Font().SetSize(9);
    }
    memo->Font().SetPitch(TFontPitch::fpFixed);
}

// The editor's own dialogs have no help pages behind their help buttons.
void DisableHelpButton(TObject*, TForm* dialog) {
    if (!dialog)
        return;
    if (auto* help = dynamic_cast<TControl*>(dialog->FindComponent("HelpBut")))
        help->SetEnabled(false);
}

} // namespace

TViewSetupHooks& ViewSetupHooks() {
    static TViewSetupHooks hooks;
    return hooks;
}

int32_t InitMemoSource(TCustomMemoSource* source, int32_t) {
    if (!source)
        return -1;
    if (p && p->config) {
        try {
            source->SetTabStops(p->config->tabStops.getString());
        } catch (const std::exception&) {
            // A stored tab-stop text the model refuses leaves the model's own stops.
        }
    }
    TStringsOptions o = source->Options();
    o &= ~static_cast<uint32_t>(soGroupUndo | soLimitEOL);
    o |= soBackUnindents | soAutoIndent | soPersistentBlocks | soOverwriteBlocks;
    source->SetOptions(o);
    return 0;
}

int32_t FindTextStyle(THSMemo* memo, const char* name) {
    if (!memo || !name)
        return -1;
    TTextStyles& styles = memo->TextStyles();
    for (int i = 0; i < styles.Count(); ++i)
        if (TTextStyle* s = styles.GetItem(i); s && _stricmp(s->Name().c_str(), name) == 0)
            return i;
    return -1;
}

int32_t AddMessageLineStyles(THSMemo* memo, int32_t flags) {
    if (!memo)
        return -1;
    for (const TLineStyle& s : kLineStyles) {
        const bool isStruct = s.Name == StructLineStyleName;
        if (!(flags & 1) && !((flags & 2) && isStruct))
            continue;
        // A style the memo has already keeps its number, so marked lines stay marked.
        if (FindTextStyle(memo, s.Name) < 0)
            memo->TextStyles().AddStyle(s.Name, s.Text, s.Back);
    }
    return 0;
}

void InitEditorMemo(THSMemo* memo, int32_t role) {
    if (!memo)
        return;
    TViewSetupHooks& hooks = ViewSetupHooks();
    FixedPitchFont(memo, role == 0);
    TMemoOptions o = memo->Options();
    const TMemoOptions views = moDrawGutter | moLineNumbers | moLineNumbersOnGutter | moDrawMargin;
    if (role & MemoResultsText) {
        memo->SetReadOnly(true);
        memo->SetScrollBars(TScrollStyle::ssBoth);
        if (hooks.EditorPopup)
            memo->SetPopupMenu(hooks.EditorPopup);
        AddMessageLineStyles(memo, 2);
        o &= ~views;
        memo->SetGutterWidth(0);
    } else if (role & MemoBrowserSource) {
        memo->SetReadOnly(true);
        memo->SetScrollBars(TScrollStyle::ssVertical);
        memo->SetWordWrap(true);
        o &= ~views;
        memo->SetGutterWidth(0);
    } else if (role & (MemoScratchPad1 | MemoScratchPad2)) {
        memo->SetScrollBars(TScrollStyle::ssVertical);
        memo->SetWordWrap(true);
        o &= ~views;
        memo->SetGutterWidth(0);
    } else if (role & MemoMessageText) {
        memo->SetReadOnly(true);
        memo->SetScrollBars(TScrollStyle::ssBoth);
        memo->SetWordWrap(true);
        AddMessageLineStyles(memo, 1);
        o &= ~views;
        memo->SetGutterWidth(0);
    } else {
        memo->SetScrollBars(TScrollStyle::ssBoth);
        if (hooks.EditorPopup)
            memo->SetPopupMenu(hooks.EditorPopup);
        memo->SetGutterWidth(22);
        if (p && p->config)
            memo->SetMarginPos(p->config->rightMargin);
        AddMessageLineStyles(memo, 1);
        o |= moDrawLineBookmarks;
    }
    memo->SetOptions(o);
    memo->OnCreateDialog = &DisableHelpButton;
    memo->SetHideScrollBars(true);
    memo->SetLeftIndent(6);
    memo->SetGutterLineIndent(5);
    memo->SetLineNumAlign(TAlignment::taCenter);
    memo->SpecialSymbols().SetEOFString("-End of file-");
    memo->SpecialSymbols().SetTabChar(static_cast<char>(187));
}

int32_t InitTreeView(THSTree* tree, int32_t flags) {
    if (!tree)
        return -1;
    TViewSetupHooks& hooks = ViewSetupHooks();
    tree->SetRowSelect(true);
    tree->SetShowHint(true);
    tree->SetHideSelection(false);
    tree->SetToolTips(true);
    if (flags & (1 | 2)) {
        tree->SetShowLines(false);
        if (hooks.ResultsTreeChange)
            tree->OnChange = hooks.ResultsTreeChange;
        if (hooks.ResultsTreeClick)
            tree->OnClick = hooks.ResultsTreeClick;
        if (hooks.ResultsPopup)
            tree->SetPopupMenu(hooks.ResultsPopup);
        if ((flags & 1) && hooks.ResultsTreeRightClick)
            tree->OnRightClickNode = hooks.ResultsTreeRightClick;
    }
    if (flags & 4) {
        tree->SetShowRoot(false);
        tree->SetShowLines(true);
        tree->SetIndent(19);
        tree->Font().SetName("Courier New");
        tree->Font().SetSize(10);
        tree->Font().SetColor(0x800000);
    }
    return 0;
}

int32_t InitTabControl(TTabControl* tabs, int32_t flags) {
    if (!tabs)
        return -1;
    // Kept by the control, so a window made later has it too.
    if (flags & 1)
        tabs->SetHotTrack(true);
    return 0;
}

void ApplyEditorColors(THSMemo* memo, int32_t flags) {
    if (!memo || !(flags & 1) || !p || !p->config)
        return;
    prgconfigclass& c = *p->config;
    if (c.editorFont) {
        c.editorFont->SetColor(static_cast<TColor>(c.editorFontColor));
        memo->Font().Assign(*c.editorFont);
    }
    memo->SetColor(static_cast<TColor>(c.editorBackgroundColor));
    memo->SetLineNumBackColor(static_cast<TColor>(c.editorBackgroundColor));
    memo->SetLineNumColor(static_cast<TColor>(c.editorLineNumberColor));
    // A bold or italic face of another width would break the columns of a fixed-pitch text.
    TTextStyles& styles = memo->TextStyles();
    for (int i = 0; i < styles.Count(); ++i)
        if (TTextStyle* s = styles.GetItem(i); s && FontWidthsDiffer(s->Font(), memo->Font()))
            s->Font().SetStyle(0);
    TMemoOptions o = memo->Options();
    const bool coloured = p->iface && (p->iface->flags2 & 0x1000000) != 0;
    memo->SetOptions(coloured ? o | moColoredLineStyle : o & ~moColoredLineStyle);
}

std::string ConfigureSpellChecker(const std::string& midWord, int32_t flags) {
    if (flags & 16) {
        Engine().reset();
        Parser().reset();
        return midWord;
    }
    if (!Engine())
        Engine() = std::make_unique<TMainParsingEngine>();
    if (!Parser())
        Parser() = std::make_unique<TStringParser>();
    std::string chars = midWord;
    if (chars.find('&') == std::string::npos)
        chars += '&';
    Engine()->SetMidWord(chars);
    if ((flags & 2) && ViewSetupHooks().SpellCheckerSetup)
        ViewSetupHooks().SpellCheckerSetup();
    return chars;
}

TMainParsingEngine* SpellParsingEngine() {
    return Engine().get();
}

TStringParser* SpellStringParser() {
    return Parser().get();
}
