// The editor options dialog.
#include "editor/mainwindow/EditorOptionsForm.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <map>

#include "editor/core/EngineCalls.h"
#include "editor/core/EngineDialogs.h"
#include "editor/mainwindow/MainForm.h"
#include "framework/core/SysUtils.h"
#include "framework/ui/Dialogs.h"
#include "framework/ui/Graphics.h"

ZEL_DEFINE_CLASS(TEditorOptionsForm, TForm, {})

namespace {

constexpr uint32_t F2GroupedInList = 0x10, F2StyleInList = 0x40;

// The edit fields of the dialog and the working-copy text each holds.
struct TField {
    const char* Name;
    const char* Sheet;
    const char* Label;
    StrStore prgconfigclass::*Text;
};

const std::vector<TField>& Fields() {
    static const std::vector<TField> Rows = {
        {"TabStopsEdit", "Editor 1", "Tab stops:", &prgconfigclass::tabStops},
        {"DelimitersEdit", "Editor 1", "Word delimiters:", &prgconfigclass::delimiters},
        {"HTMLExtensionsEdit", "File Types", "HTML:", &prgconfigclass::htmlExtensions},
        {"CExtensionsEdit", "File Types", "C/C++:", &prgconfigclass::cExtensions},
        {"DelphiExtensionsEdit", "File Types", "Delphi:", &prgconfigclass::delphiExtensions},
        {"PerlExtensionsEdit", "File Types", "Perl:", &prgconfigclass::perlExtensions},
        {"JavaExtensionsEdit", "File Types", "Java:", &prgconfigclass::javaExtensions},
        {"VBScriptExtensionsEdit", "File Types", "VBScript:", &prgconfigclass::vbScriptExtensions},
        {"TextExtensionsEdit", "File Types", "Text:", &prgconfigclass::textExtensions},
        {"SQLExtensionsEdit", "File Types", "SQL:", &prgconfigclass::sqlExtensions},
        {"CSSExtensionsEdit", "File Types", "CSS:", &prgconfigclass::cssExtensions},
        {"DefaultExtEdit", "File Types", "Default extension:", &prgconfigclass::defaultFileExtension},
    };
    return Rows;
}

std::string TextOf(const StrStore& S) {
    return S.getString() ? S.getString() : "";
}

} // namespace

// clang-format off
const std::vector<TEditorOptionsForm::TBox>& TEditorOptionsForm::Boxes() {
    static const std::vector<TBox> Rows = {
        {"UseBoldItalicStylesCheckBox", "Editor 1", "&Enable bold and italic font styles even if it increases character spacing", OptionWord, 0x4000000},
        {"SmartTabCheckBox", "Editor 2", "&Smart Tab - pressing TAB tabs to the first non-whitespace character in the preceding line", InterfaceWord, 0x1000000},
        {"AutoIndentCheckBox", "Editor 2", "&Auto Indent - pressing ENTER positions the cursor under the first non-whitespace character in the preceding line", InterfaceWord, 0x800000},
        {"LimitEOLCheckBox", "Editor 2", "&Limit EOL - do not allow the cursor to be placed past the end of a line", InterfaceWord, 0x2000000},
        {"BackUnindentsCheckBox", "Editor 2", "&Back Unindents - align the cursor to the previous indentation level when backspace is pressed", InterfaceWord, 0x4000000},
        {"DoubleClickLineCheckBox", "Editor 2", "Double &Click Line - highlight the whole line (instead of only a word) when the line is double clicked", InterfaceWord, 0x10000},
        {"StreamedSelectionCheckBox", "Editor 2", "Strea&med Selection - the common (normal) selection type, if not checked, a columnar selection type is used", InterfaceWord, 0x8000000},
        {"UseTabCharacterCheckBox", "Editor 2", "&Use Tab Character - pressing TAB uses the actual tab character instead of converting it to spaces", InterfaceWord, 0x20000000},
        {"CursorOnTabsCheckBox", "Editor 2", "Cursor &On Tabs - cursor jumps to tabs when navigating using cursor keys", InterfaceWord, 0x20000},
        {"WrapAtMarginCheckBox", "Editor 2", "&Wrap at Margin - if word wrap is on, wrap at the right margin instead of at the window width", InterfaceWord, 0x200000},
        {"PersistentBlocksCheckBox", "Editor 2", "&Persistent Blocks - keep marked blocks selected even when the cursor is moved until new block selected", InterfaceWord2, 4},
        {"OverwriteBlocksCheckBox", "Editor 2", "O&verwrite Blocks - replace a marked block of text with whatever is typed next (or appends if above is checked)", InterfaceWord2, 0x20000},
        {"SelectOnlyTextCheckBox", "Editor 2", "Select Only &Text - When selecting text, highlight only text; do not highlight the entire line or blank lines", InterfaceWord2, 0x1000000},
        {"InsertHTMLUppercase", "HTML and Results", "&Insert HTML tags in uppercase instead of lowercase", OptionWord, 0x400},
        {"HighlightErrorLinesCheckBox", "HTML and Results", "Highlight lines with validator &errors in maroon", OptionWord, 0x1000000},
        {"HighlightWarningLinesCheckBox", "HTML and Results", "Highlight lines with validator &warnings in yellow", OptionWord, 0x2000000},
        {"HighlightMessageLinesCheckBox", "HTML and Results", "Highlight lines with validator &messages (not errors or warnings) in blue", OptionWord, 0x100000},
        {"SortByTypeCheckBox", "HTML and Results", "&Sort messages in the Messages tab by message type (errors then warnings then messages then comments)", InterfaceWord2, 0x20},
        {"AutoJumpCheckBox", "HTML and Results", "&Automatically jump to the first error or warning message after validating", InterfaceWord2, 0x2000000},
        {"IncludeGroupedMessagesCheckBox", "HTML and Results", "Include &grouped messages in the Messages tab (otherwise they only appear in the Grouped Messages tab)", InterfaceWord2, F2GroupedInList},
        {"IncludeStyleMessagesCheckBox", "HTML and Results", "I&nclude style messages in the Messages tab (otherwise they only appear in the Styles tab)", InterfaceWord2, F2StyleInList},
        {"HTMLSyntaxHighlight", "File Types", "&HTML", OptionWord, 8},
        {"CSyntaxHighlight", "File Types", "&C/C++", OptionWord, 0x20},
        {"DelphiSyntaxHighlight", "File Types", "&Delphi", OptionWord, 0x80},
        {"PerlSyntaxHighlight", "File Types", "&Perl", OptionWord, 0x200},
        {"JavaSyntaxHighlight", "File Types", "&Java", OptionWord, 0x10},
        {"VBScriptSyntaxHighlight", "File Types", "&VBScipt", OptionWord, 0x40},
        {"SQLSyntaxHighlight", "File Types", "&SQL", OptionWord, 4},
        {"CSSSyntaxHighlight", "File Types", "CSS", OptionWord, 0x10000000},
    };
    return Rows;
}
// clang-format on

const std::vector<int32_t>& TEditorOptionsForm::KindTable() {
    static const std::vector<int32_t> Kinds = {-1, 2, 11, 3, 1, 5, 4, 6, 9, 8};
    return Kinds;
}

TEditorOptionsForm::TEditorOptionsForm(TComponent* AOwner) : TForm(AOwner) {
    SetName("EditorOptionsForm");
    SetCaption("ZEL Orvalent Integrated Editor Options");
    SetBorderStyle(TFormBorderStyle::bsDialog);
    SetPosition(TFormPosition::poScreenCenter);
    // The sheets are as wide as the longest caption of a check box needs in the dialog's font.
    constexpr int Margin = 8, Row = 26, BoxRow = 24, CheckRoom = 24, ButtonW = 80, ButtonH = 25;
    int Widest = 0;
    {
        TCanvas Measure;
        Measure.Font().Assign(Font());
        Measure.SetHandle(ScreenMeasureDC());
        for (const TBox& B : Boxes())
            Widest = std::max(Widest, Measure.TextWidth(B.Caption));
        Measure.SetHandle(nullptr);
    }
    const int BoxWidth = std::max(520, Widest + CheckRoom);
    const int SheetWidth = BoxWidth + 2 * Margin;
    const int SheetHeight = 330;
    EditorOptionsPageControl = new TPageControl(this);
    EditorOptionsPageControl->SetName("EditorOptionsPageControl");
    EditorOptionsPageControl->SetParent(this);
    for (const char* Caption :
         {"General", "Editor 1", "Editor 2", "HTML and Results", "File Types", "File Options"}) {
        auto* S = new TTabSheet(this);
        S->SetCaption(Caption);
        S->SetPageControl(EditorOptionsPageControl);
        Sheets[Caption] = S;
    }
    // The page control takes as much more than its sheets as its tabs and frame need.
    EditorOptionsPageControl->SetBounds(Margin, Margin, SheetWidth + 8, SheetHeight + 32);
    {
        RECT Page{0, 0, EditorOptionsPageControl->Width(), EditorOptionsPageControl->Height()};
        SendMessageA(EditorOptionsPageControl->Handle(), TCM_ADJUSTRECT, FALSE,
                     reinterpret_cast<LPARAM>(&Page));
        EditorOptionsPageControl->SetBounds(
            Margin, Margin, EditorOptionsPageControl->Width() + SheetWidth - (Page.right - Page.left),
            EditorOptionsPageControl->Height() + SheetHeight - (Page.bottom - Page.top));
    }
    const int ButtonTop = EditorOptionsPageControl->Top() + EditorOptionsPageControl->Height() + Margin;
    SetClientWidth(EditorOptionsPageControl->Width() + 2 * Margin);
    SetClientHeight(ButtonTop + ButtonH + Margin);

    // Check boxes: a column on most sheets; on File Types each type's box stands on the row of its
    // extensions field.
    const std::map<std::string, const char*> TypeRow = {{"HTMLSyntaxHighlight", "HTMLExtensionsEdit"},
                                                        {"CSyntaxHighlight", "CExtensionsEdit"},
                                                        {"DelphiSyntaxHighlight", "DelphiExtensionsEdit"},
                                                        {"PerlSyntaxHighlight", "PerlExtensionsEdit"},
                                                        {"JavaSyntaxHighlight", "JavaExtensionsEdit"},
                                                        {"VBScriptSyntaxHighlight", "VBScriptExtensionsEdit"},
                                                        {"SQLSyntaxHighlight", "SQLExtensionsEdit"},
                                                        {"CSSSyntaxHighlight", "CSSExtensionsEdit"}};
    auto FieldTop = [](const char* Name) {
        for (size_t I = 0; I < Fields().size(); ++I)
            if (std::string(Fields()[I].Name) == Name && std::string(Fields()[I].Sheet) == "File Types")
                return Margin + 22 + static_cast<int>(I - 2) * Row;
        return Margin;
    };
    std::map<std::string, int> NextTop;
    for (const TBox& B : Boxes()) {
        auto* C = new TCheckBox(this);
        C->SetName(B.Name);
        C->SetParent(Sheets.at(B.Sheet));
        if (auto It = TypeRow.find(B.Name); It != TypeRow.end()) {
            C->SetBounds(360, FieldTop(It->second) + 2, SheetWidth - 360 - Margin, 18);
        } else {
            int& Top = NextTop.try_emplace(B.Sheet, Margin).first->second;
            C->SetBounds(Margin, Top, BoxWidth, 18);
            // The streamed-selection box is part of the layout but never offered: no gap for it.
            if (std::string(B.Name) != "StreamedSelectionCheckBox")
                Top += BoxRow;
        }
        C->SetCaption(B.Caption);
        const TBox* Entry = &B;
        C->OnClick = [this, C, Entry](TObject*) {
            uint32_t& W = WordOf(Entry->Word);
            if (C->Checked())
                W |= Entry->Bit;
            else
                W &= ~Entry->Bit;
        };
        FBoxes[B.Name] = C;
    }
    FBoxes.at("StreamedSelectionCheckBox")->SetVisible(false);
    FBoxes.at("StreamedSelectionCheckBox")->SetEnabled(false);

    auto AddLabel = [this](TWinControl* Parent, int Left, int Top, const std::string& Caption) {
        auto* L = new TLabel(this);
        L->SetParent(Parent);
        L->SetBounds(Left, Top, 0, 0);
        L->SetCaption(Caption);
        return L;
    };
    auto AddEdit = [this, &AddLabel](const char* Name, const char* Sheet, const char* Label, int Top) {
        AddLabel(Sheets.at(Sheet), Margin, Top + 3, Label);
        auto* E = new TEdit(this);
        E->SetName(Name);
        E->SetParent(Sheets.at(Sheet));
        E->SetBounds(130, Top, 210, 21);
        FEdits[Name] = E;
        return E;
    };
    int EditorTop = NextTop["Editor 1"] + Margin;
    AddEdit("RightMarginEdit", "Editor 1", "Right margin:", EditorTop);
    EditorTop += Row;
    for (const TField& F : Fields())
        if (std::string(F.Sheet) == "Editor 1") {
            AddEdit(F.Name, F.Sheet, F.Label, EditorTop);
            EditorTop += Row;
        }
    TWinControl* FileTypes = Sheets.at("File Types");
    AddLabel(FileTypes, 130, Margin, "Extensions (comma-separated)");
    AddLabel(FileTypes, 360, Margin, "Syntax highlighting");
    for (const TField& F : Fields())
        if (std::string(F.Sheet) == "File Types" && std::string(F.Name) != "DefaultExtEdit")
            AddEdit(F.Name, F.Sheet, F.Label, FieldTop(F.Name));
    const int DefaultTop = FieldTop("CSSExtensionsEdit") + Row + Margin;
    AddEdit("DefaultExtEdit", "File Types", "Default extension:", DefaultTop);
    TLabel* ComboLabel = AddLabel(FileTypes, Margin, DefaultTop + Row + 3,
                                  "If a file has no extension, assume that it is of type:");
    NoExtensionFileTypeComboBox = new TComboBox(this);
    NoExtensionFileTypeComboBox->SetName("NoExtensionFileTypeComboBox");
    NoExtensionFileTypeComboBox->SetParent(FileTypes);
    NoExtensionFileTypeComboBox->SetStyle(TComboBoxStyle::csDropDownList);
    NoExtensionFileTypeComboBox->SetBounds(ComboLabel->Left() + ComboLabel->Width() + Margin,
                                           DefaultTop + Row, 150, 21);
    for (const char* Item :
         {"Unrecognized", "C/C++", "CSS", "Delphi", "HTML", "Java", "Perl", "VBScript", "SQL", "Text"})
        NoExtensionFileTypeComboBox->Items().Add(Item);

    // Font and background colour: the labels on the left, the pickers in a column on the right.
    auto* Group = new TGroupBox(this);
    Group->SetParent(Sheets.at("Editor 1"));
    Group->SetBounds(Margin, EditorTop + Margin, BoxWidth, 128);
    Group->SetCaption("Font and Background Color");
    constexpr int PickerW = 180;
    const int PickerLeft = BoxWidth - PickerW - 12;
    auto Label = [this, Group, PickerLeft](int Top, const char* Caption) {
        auto* L = new TLabel(this);
        L->SetParent(Group);
        L->SetAutoSize(false);
        L->SetBounds(12, Top, PickerLeft - 24, 16);
        L->SetCaption(Caption);
        return L;
    };
    FontNameLabel = Label(22, "Font name: ");
    FontSizeLabel = Label(42, "Font size: ");
    FontExampleLabel = Label(66, "1234567890 Aa Bb Cc Dd Ee");
    FontExampleLabel->SetHeight(48);
    auto PickerButton = [this, Group, PickerLeft](int Top, const char* Name, const char* Caption,
                                                  std::function<void()> Run) {
        auto* B = new TButton(this);
        B->SetName(Name);
        B->SetParent(Group);
        B->SetBounds(PickerLeft, Top, PickerW, 22);
        B->SetCaption(Caption);
        B->OnClick = [Run](TObject*) { Run(); };
    };
    PickerButton(20, "ChangeFontBtn", "Change &Font...", [this] { ChangeFontBtnClick(); });
    PickerButton(46, "ChangeColorBtn", "Change Font &Color...", [this] {
        PickColor(Work.editorFontColor);
        FontExampleLabel->Font().SetColor(Work.editorFontColor);
    });
    PickerButton(72, "BackgroundColorBtn", "Change &Background Color...", [this] {
        PickColor(Work.editorBackgroundColor);
        FontExampleLabel->SetColor(Work.editorBackgroundColor);
    });
    PickerButton(98, "LineNumberColorBtn", "Change &Line Number Color...",
                 [this] { PickColor(Work.editorLineNumberColor); });

    // OK, Cancel and Help at the right under the sheets.
    const int Right = ClientWidth() - Margin;
    auto Button = [this, ButtonTop](const char* Name, const char* Caption, int Left, int Result) {
        auto* B = new TButton(this);
        B->SetName(Name);
        B->SetParent(this);
        B->SetBounds(Left, ButtonTop, ButtonW, ButtonH);
        B->SetCaption(Caption);
        B->SetModalResult(Result);
        return B;
    };
    OKBtn = Button("OKBtn", "OK", Right - 3 * ButtonW - 2 * Margin, mrOk);
    OKBtn->SetDefault(true);
    OKBtn->OnClick = [this](TObject*) { OKBtnClick(); };
    Button("CancelBtn", "Cancel", Right - 2 * ButtonW - Margin, mrCancel)->SetCancel(true);
    Button("HelpBtn", "&Help", Right - ButtonW, 0)->OnClick = [this](TObject*) { HelpBtnClick(); };
    OnShow = [this](TObject*) { FormShow(); };
}

void TEditorOptionsForm::CreateParams(TCreateParams& Params) {
    TForm::CreateParams(Params);
    Params.ExStyle &= ~static_cast<DWORD>(WS_EX_APPWINDOW);
    if (ZELQEForm && ZELQEForm->HandleAllocated())
        Params.WndParent = ZELQEForm->Handle();
}

uint32_t& TEditorOptionsForm::WordOf(TWord Word) {
    return Word == OptionWord ? Work.flags : Word == InterfaceWord ? WorkFlags : WorkFlags2;
}

TCheckBox* TEditorOptionsForm::Box(const std::string& Name) const {
    auto It = FBoxes.find(Name);
    return It == FBoxes.end() ? nullptr : It->second;
}

TEdit* TEditorOptionsForm::Edit(const std::string& Name) const {
    auto It = FEdits.find(Name);
    return It == FEdits.end() ? nullptr : It->second;
}

void TEditorOptionsForm::FormShow() {
    if (!p || !p->config || !p->iface)
        return;
    Work.Assign(*p->config);
    WorkFlags = p->iface->flags;
    WorkFlags2 = p->iface->flags2;
    for (const char* Absent : {"General", "File Options"}) {
        Sheets.at(Absent)->SetEnabled(false);
        Sheets.at(Absent)->SetTabVisible(false);
    }
    EditorOptionsPageControl->SetActivePage(Sheets.at("Editor 1"));
    Edit("RightMarginEdit")->SetText(std::to_string(Work.rightMargin));
    for (const TField& F : Fields())
        Edit(F.Name)->SetText(TextOf(Work.*F.Text));
    const std::vector<int32_t>& Kinds = KindTable();
    int Index = 0;
    for (size_t I = 0; I < Kinds.size(); ++I)
        if (Kinds[I] == Work.noExtensionFileType)
            Index = static_cast<int>(I);
    NoExtensionFileTypeComboBox->SetItemIndex(Index);
    // Setting a box runs its click, which writes the same bit back: load a copy of the words first.
    const uint32_t O = Work.flags, F = WorkFlags, F2 = WorkFlags2;
    for (const TBox& B : Boxes()) {
        const uint32_t W = B.Word == OptionWord ? O : B.Word == InterfaceWord ? F : F2;
        Box(B.Name)->SetChecked((W & B.Bit) != 0);
    }
    for (const char* Name : {"IncludeGroupedMessagesCheckBox", "IncludeStyleMessagesCheckBox"}) {
        Box(Name)->SetChecked(false);
        Box(Name)->SetEnabled(false);
    }
    WorkFlags2 &= ~(F2GroupedInList | F2StyleInList);
    RefreshFontLabels();
    if (HandleAllocated())
        SetForegroundWindow(Handle());
}

void TEditorOptionsForm::RefreshFontLabels() {
    if (!Work.editorFont)
        return;
    FontNameLabel->SetCaption("Font name: " + Work.editorFont->Name());
    FontSizeLabel->SetCaption("Font size: " + std::to_string(Work.editorFont->Size()) + "pt");
    FontExampleLabel->Font().Assign(*Work.editorFont);
    FontExampleLabel->Font().SetColor(Work.editorFontColor);
    FontExampleLabel->SetColor(Work.editorBackgroundColor);
}

void TEditorOptionsForm::OKBtnClick() {
    if (!p || !p->config || !p->iface)
        return;
    int32_t Margin = 0;
    if (TryStrToInt(Edit("RightMarginEdit")->Text(), Margin) && Margin >= 2)
        Work.rightMargin = Margin;
    for (const TField& F : Fields())
        Work.*F.Text = Edit(F.Name)->Text().c_str();
    const int Index = NoExtensionFileTypeComboBox->ItemIndex();
    const std::vector<int32_t>& Kinds = KindTable();
    Work.noExtensionFileType = Index >= 0 && Index < static_cast<int>(Kinds.size()) ? Kinds[Index] : -1;
    p->iface->flags = WorkFlags;
    p->iface->flags2 = WorkFlags2;
    p->config->Assign(Work);
}

void TEditorOptionsForm::ChangeFontBtnClick() {
    TFontDialog Dialog(nullptr);
    if (Work.editorFont)
        Dialog.Font().Assign(*Work.editorFont);
    Dialog.FixedPitchOnly = true;
    if (!Dialog.Execute() || !Work.editorFont)
        return;
    Work.editorFont->Assign(Dialog.Font());
    Work.editorFont->SetStyle(0);
    RefreshFontLabels();
}

void TEditorOptionsForm::PickColor(int32_t& Target) {
    TColorDialog Dialog(Application);
    Dialog.Color = static_cast<TColor>(Target);
    if (Dialog.Execute())
        Target = static_cast<int32_t>(Dialog.Color);
}

void TEditorOptionsForm::HelpBtnClick() {
    static const std::map<std::string, const char*> Pages = {
        {"Editor 1", "editoreditortab.html"},       {"Editor 2", "editoreditortab.html"},
        {"HTML and Results", "editorhtmltab.html"}, {"File Types", "editorfiletypestab.html"},
        {"General", "editorgeneraltab.html"},       {"File Options", "editorfileoptionstab.html"}};
    TTabSheet* Active = EditorOptionsPageControl->ActivePage();
    auto It = Active ? Pages.find(Active->Caption()) : Pages.end();
    if (It == Pages.end()) {
        ShowEngineCallError(0, "HelpBtnClick", "can't get help file");
        return;
    }
    const std::string Folder =
        p && p->vol && p->vol->documentationFolder.getString() ? p->vol->documentationFolder.getString() : "";
    ShowHelpPage(Handle(), It->second, Folder, 0);
}
