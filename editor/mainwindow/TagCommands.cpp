// The Tags menu: tags, entities, declarations and meta tags put around the selection of the
// active editor memo, and the routine every inserter shares.
#include <cstdio>

#include "controls/memo/Memo.h"
#include "controls/textmodel/MemoSource.h"
#include "editor/core/AppState.h"
#include "editor/mainwindow/MainCommands.h"
#include "editor/mainwindow/MainForm.h"
#include "framework/ui/Dialogs.h"

namespace {

// Option word bit: insert HTML in capitals.
constexpr uint32_t OptInsertUppercase = 0x400;

std::string DocType(const char* Root, const char* Public, const char* System) {
    return std::string("<!DOCTYPE ") + Root + " PUBLIC \"" + Public + "\" \"" + System + "\">";
}

std::string ToUpperAscii(std::string Text) {
    for (char& C : Text)
        if (C >= 'a' && C <= 'z')
            C = static_cast<char>(C - 'a' + 'A');
    return Text;
}

// Restores the text model's options and the overwrite state on every way out.
struct TInsertGuard {
    TCustomMemoSource& Source;
    TStringsOptions Options;
    bool Overwrite;
    explicit TInsertGuard(TCustomMemoSource& S)
        : Source(S), Options(S.Options()), Overwrite(TCustomMemoSource::GetOverwrite()) {
        S.SetOptions((Options | soBackUnindents | soAutoIndent | soPersistentBlocks) & ~soOverwriteBlocks);
        TCustomMemoSource::SetOverwrite(false);
        S.BeginUndoBlock();
    }
    ~TInsertGuard() {
        Source.EndUndoBlock();
        Source.SetOptions(Options);
        TCustomMemoSource::SetOverwrite(Overwrite);
    }
    TInsertGuard(const TInsertGuard&) = delete;
    TInsertGuard& operator=(const TInsertGuard&) = delete;
};

} // namespace

// clang-format off
const std::vector<TTagCommand>& TagCommands() {
    static const std::string Html401Strict = DocType("HTML", "-//W3C//DTD HTML 4.01//EN", "http://www.w3.org/TR/html4/strict.dtd");
    static const std::string Html401Loose = DocType("HTML", "-//W3C//DTD HTML 4.01 Transitional//EN", "http://www.w3.org/TR/html4/loose.dtd");
    static const std::string Html401Frameset = DocType("HTML", "-//W3C//DTD HTML 4.01 Frameset//EN", "http://www.w3.org/TR/html4/frameset.dtd");
    static const std::string Xhtml10Strict = DocType("html", "-//W3C//DTD XHTML 1.0 Strict//EN", "http://www.w3.org/TR/xhtml1/DTD/xhtml1-strict.dtd");
    static const std::string Xhtml10Loose = DocType("html", "-//W3C//DTD XHTML 1.0 Transitional//EN", "http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd");
    static const std::string Xhtml10Frameset = DocType("html", "-//W3C//DTD XHTML 1.0 Frameset//EN", "http://www.w3.org/TR/xhtml1/DTD/xhtml1-frameset.dtd");
    static const std::string Xhtml11 = DocType("html", "-//W3C//DTD XHTML 1.1//EN", "http://www.w3.org/TR/xhtml11/DTD/xhtml11.dtd");
    static const std::vector<TTagCommand> Rows = {
        {"TagsEndTagClick", "TagsMenu", "E&nd Tag </>", "Alt+.", "</", ">", 0},
        {"TagsStartTagClick", "TagsMenu", "&Start Tag <>", "Alt+,", "<", ">", 0},
        {"TagsBoldClick", "TagsMenu", "&Bold", "Ctrl+B", "<b>", "</b>", 0},
        {"TagsItalicClick", "TagsMenu", "&Italic", "Ctrl+I", "<i>", "</i>", 0},
        {"TagsUnderlineClick", "TagsMenu", "&Underline", "Ctrl+U", "<u>", "</u>", 0},
        {"TagsAClick", "TagsMenu", "&a", "Ctrl+Alt+A", "<a href=\"", "\"></a>", 0},
        {"TagsBlockquoteClick", "TagsMenu", "blockquote", "Alt+Q", "<blockquote>", "</blockquote>", 0},
        {"TagsBreakClick", "TagsMenu", "br", "Alt+B", "<br>", "", 0},
        {"TagsBreakAndNewlineClick", "TagsMenu", "br+Ne&wline", "Ctrl+Enter", "<br>", "", 1},
        {"TagsCenterClick", "TagsMenu", "center", "Alt+C", "<center>", "</center>", 0},
        {"TagsCommentClick", "TagsMenu", "<!-- -->", "Alt+M", "<!-- ", " -->", 0},
        {"TagsHorizontalRuleClick", "TagsMenu", "hr", "Alt+R", "<hr>", "", 0},
        {"TagsParagraphClick", "TagsMenu", "p", "Alt+P", "<p>", "</p>", 0},
        {"TagsTextACRONYMClick", "TagsTextFormatting", "acronym", "", "<acronym>", "</acronym>", 0},
        {"TagsTextBIGClick", "TagsTextFormatting", "big", "", "<big>", "</big>", 0},
        {"TagsTextBLINKClick", "TagsTextFormatting", "blink", "", "<blink>", "</blink>", 0},
        {"TagsTextCITEClick", "TagsTextFormatting", "cite", "", "<cite>", "</cite>", 0},
        {"TagsTextCODEClick", "TagsTextFormatting", "code", "", "<code>", "</code>", 0},
        {"TagsTextDELClick", "TagsTextFormatting", "del", "", "<del>", "</del>", 0},
        {"TagsTextDFNClick", "TagsTextFormatting", "dfn", "", "<dfn>", "</dfn>", 0},
        {"TagsTextEMClick", "TagsTextFormatting", "em", "", "<em>", "</em>", 0},
        {"TagsTextFONTClick", "TagsTextFormatting", "font", "", "<font>", "</font>", 0},
        {"TagsTextINSClick", "TagsTextFormatting", "ins", "", "<ins>", "</ins>", 0},
        {"TagsTextKBDClick", "TagsTextFormatting", "kbd", "", "<kbd>", "</kbd>", 0},
        {"TagsTextQClick", "TagsTextFormatting", "q", "", "<q>", "</q>", 0},
        {"TagsTextSClick", "TagsTextFormatting", "s", "", "<s>", "</s>", 0},
        {"TagsTextSAMPClick", "TagsTextFormatting", "samp", "", "<samp>", "</samp>", 0},
        {"TagsTextSMALLClick", "TagsTextFormatting", "small", "", "<small>", "</small>", 0},
        {"TagsTextSTRIKEClick", "TagsTextFormatting", "strike", "", "<strike>", "</strike>", 0},
        {"TagsTextSTRONGClick", "TagsTextFormatting", "strong", "", "<strong>", "</strong>", 0},
        {"TagsTextSUBClick", "TagsTextFormatting", "sub", "", "<sub>", "</sub>", 0},
        {"TagsTextSUPClick", "TagsTextFormatting", "sup", "", "<sup>", "</sup>", 0},
        {"TagsTextTTClick", "TagsTextFormatting", "tt", "", "<tt>", "</tt>", 0},
        {"TagsTextVARClick", "TagsTextFormatting", "var", "", "<var>", "</var>", 0},
        {"TagsTextUClick", "TagsTextFormatting", "", "", "<u>", "</u>", 0},
        {"TagsFontSizePlus1Click", "TagsTextFormatting", "", "", "<font size=\"+1\">", "</font>", 0},
        {"TagsFontSizeMinus1Click", "TagsTextFormatting", "", "", "<font size=\"-1\">", "</font>", 0},
        {"TagsHeadingsH1Click", "TagsHeadings", "h&1", "Alt+1", "<h1>", "</h1>", 0},
        {"TagsHeadingsH2Click", "TagsHeadings", "h&2", "Alt+2", "<h2>", "</h2>", 0},
        {"TagsHeadingsH3Click", "TagsHeadings", "h&3", "Alt+3", "<h3>", "</h3>", 0},
        {"TagsHeadingsH4Click", "TagsHeadings", "h&4", "Alt+4", "<h4>", "</h4>", 0},
        {"TagsHeadingsH5Click", "TagsHeadings", "h&5", "Alt+5", "<h5>", "</h5>", 0},
        {"TagsHeadingsH6Click", "TagsHeadings", "h&6", "Alt+6", "<h6>", "</h6>", 0},
        {"TagsTablesTABLEClick", "TagsTables", "&table", "", "<table>", "</table>", 0},
        {"TagsTablesTRClick", "TagsTables", "t&r", "", "<tr>", "</tr>", 0},
        {"TagsTablesTHClick", "TagsTables", "t&h", "", "<th>", "</th>", 0},
        {"TagsTablesTDClick", "TagsTables", "t&d", "", "<td>", "</td>", 0},
        {"TagsTablesCAPTIONClick", "TagsTables", "&caption", "", "<caption>", "</caption>", 0},
        {"TagsTablesTHEADClick", "TagsTables", "th&ead", "", "<thead>", "</thead>", 0},
        {"TagsTablesTBODYClick", "TagsTables", "t&body", "", "<tbody>", "</tbody>", 0},
        {"TagsTablesTFOOTClick", "TagsTables", "t&foot", "", "<tfoot>", "</tfoot>", 0},
        {"TagsFormsFORMClick", "TagsForms", "&form", "", "<form action=\"", "\"></form>", 0},
        // An empty element: it never takes an end tag.
        {"TagsFormsINPUTClick", "TagsForms", "&input", "", "<input type=\"", "\">", 0},
        {"TagsFormsOPTIONClick", "TagsForms", "option", "", "<option>", "</option>", 0},
        {"TagsFormsSELECTClick", "TagsForms", "&select", "", "<select>", "</select>", 0},
        {"TagsFormsTEXTAREAClick", "TagsForms", "&textarea", "", "<textarea>", "</textarea>", 0},
        {"TagsFramesFRAMESETClick", "TagsFrames", "&frameset", "", "<frameset>", "</frameset>", 0},
        {"TagsFramesFRAMEClick", "TagsFrames", "f&rame", "", "<frame src=\"", "\">", 0},
        {"TagsFramesIFRAMEClick", "TagsFrames", "&iframe", "", "<iframe>", "</iframe>", 0},
        {"TagsFramesNOFRAMESClick", "TagsFrames", "&noframes", "Alt+N", "<noframes>", "</noframes>", 0},
        {"TagsListsOLClick", "TagsLists", "&ol", "Ctrl+Alt+O", "<ol>", "</ol>", 0},
        {"TagsListsULClick", "TagsLists", "&ul", "Ctrl+Alt+U", "<ul>", "</ul>", 0},
        {"TagsListsLIClick", "TagsLists", "&li", "Ctrl+Alt+L", "<li>", "</li>", 0},
        {"TagsListsDDClick", "TagsLists", "&dd", "", "<dd>", "</dd>", 0},
        {"TagsListsDTClick", "TagsLists", "d&t", "", "<dt>", "</dt>", 0},
        {"TagsListsMENUClick", "TagsLists", "&menu", "", "<menu>", "</menu>", 0},
        {"TagsMediaAPPLETClick", "TagsMedia", "&applet", "", "<applet>", "</applet>", 0},
        {"TagsMediaBGSOUNDClick", "TagsMedia", "&bgsound", "", "<bgsound src=\"", "\">", 0},
        {"TagsMediaEMBEDClick", "TagsMedia", "&embed", "", "<embed>", "</embed>", 0},
        {"TagsMediaIMGClick", "TagsMedia", "&img", "", "<img src=\"", "\" alt=\"\">", 0},
        {"TagsMediaOBJECTClick", "TagsMedia", "&object", "", "<object>", "</object>", 0},
        {"TagsEntitiesSpaceClick", "TagsEntities", "&Non-breaking Space", "Alt+Shift+N", "&nbsp;", "", 2},
        {"TagsEntitiesDoubleQuoteClick", "TagsEntities", "&Double Quote", "Alt+Shift+'", "&quot;", "", 2},
        {"TagsEntitiesLessThanClick", "TagsEntities", "&Less Than", "Alt+Shift+,", "&lt;", "", 2},
        {"TagsEntitiesGreaterThanClick", "TagsEntities", "&Greater Than", "Alt+Shift+.", "&gt;", "", 2},
        {"TagsEntitiesAmpersandClick", "TagsEntities", "&Ampersand", "Alt+Shift+7", "&amp;", "", 2},
        {"TagsEntitiesCopyrightClick", "TagsEntities", "&Copyright", "Alt+Shift+C", "&copy;", "", 2},
        // The named entity: the number 153 is a control code in HTML, not the trademark sign.
        {"TagsEntitiesTrademarkClick", "TagsEntities", "&Trademark", "Alt+Shift+T", "&trade;", "", 2},
        {"TagsMetaAuthorClick", "TagsMeta", "&Author", "", "<meta name=\"author\" content=\"", "\">", 1},
        {"TagsMetaCopyrightClick", "TagsMeta", "&Copyright", "", "<meta name=\"copyright\" content=\"", "\">", 1},
        {"TagsMetaDescriptionClick", "TagsMeta", "&Description", "", "<meta name=\"description\" content=\"", "\">", 1},
        {"TagsMetaKeywordsClick", "TagsMeta", "&Keywords", "", "<meta name=\"keywords\" content=\"", "\">", 1},
        {"TagsMetaRSACiRatingClick", "TagsMeta", "&RSACi Rating", "", "<meta http-equiv=\"PICS-Label\" content='", "'>", 1},
        {"TagsMetaCSS1Click", "TagsMeta", "CSS1", "", "<meta http-equiv=\"Content-Style-Type\" content=\"text/css\">", "", 1},
        {"TagsMetaCSS2Click", "TagsMeta", "CSS2", "", "<meta http-equiv=\"Content-Style-Type\" content=\"text/css2\">", "", 1},
        {"TagsHTML401StrictClick", "TagsDeclarations", "HTML 4.01 &Strict", "", Html401Strict.c_str(), "", 3},
        {"TagsHTML401TransitionalClick", "TagsDeclarations", "HTML 4.01 &Transitional", "", Html401Loose.c_str(), "", 3},
        {"TagsHTML401FramesetClick", "TagsDeclarations", "HTML 4.01 &Frameset", "", Html401Frameset.c_str(), "", 3},
        {"TagsXHTML10StrictClick", "TagsDeclarations", "XHTML 1.0 Strict", "", Xhtml10Strict.c_str(), "", 3},
        {"TagsXHTML10TransitionalClick", "TagsDeclarations", "XHTML 1.0 Transitional", "", Xhtml10Loose.c_str(), "", 3},
        {"TagsXHTML10FramesetClick", "TagsDeclarations", "XHTML 1.0 Frameset", "", Xhtml10Frameset.c_str(), "", 3},
        {"XHTML111Click", "TagsDeclarations", "XHTML 1.1", "", Xhtml11.c_str(), "", 3},
        {"TagsXMLDeclarationClick", "TagsDeclarations", "&XML 1.0 Declaration", "", "<?xml version=\"1.0\"?>", "", 3},
    };
    return Rows;
}
// clang-format on

const TTagCommand* FindTagCommand(const std::string& Handler) {
    for (const TTagCommand& C : TagCommands())
        if (Handler == C.Handler)
            return &C;
    return nullptr;
}

int InsertTextWithControls(TCustomMemoSource* Source, const char* Text, int32_t) {
    if (!Source)
        return 2;
    if (!Text)
        return 1;
    std::string Piece;
    auto Flush = [&] {
        if (!Piece.empty())
            Source->InsertText(Piece);
        Piece.clear();
    };
    for (const char* C = Text; *C; ++C) {
        switch (*C) {
        case '\r':
            Flush();
            Source->PressEnter();
            if (C[1] == '\n')
                ++C;
            break;
        case '\n':
            Flush();
            Source->PressEnter();
            break;
        case '\t':
            Flush();
            Source->PressTab();
            break;
        case '\b':
            Flush();
            Source->DeleteCharLeft();
            break;
        default:
            Piece += *C;
        }
    }
    Flush();
    return 0;
}

int TZELQEForm::InsertAroundSelection(const std::string& BeforeText, const std::string& AfterText,
                                      int32_t Flags) {
    std::string Before = BeforeText, After = AfterText;
    if (!(Flags & InsertNeverCapitals) && p && p->config && (p->config->flags & OptInsertUppercase)) {
        Before = ToUpperAscii(Before);
        After = ToUpperAscii(After);
    }
    auto* Memo = dynamic_cast<THSMemo*>(ActiveControl());
    if (!Memo || Memo->ClassName() != "THSMemo")
        return 0;
    TCustomMemoSource* Source = Memo->GetSource();
    if (!Source)
        return 0;
    if (Source->GetReadOnly()) {
        ShowMessageBox("Document is read only. Cannot insert text.", "Orvalent: Read Only", BoxStop);
        return 1;
    }
    bool HasSelection = Source->CanCopy();
    {
        TInsertGuard Guard(*Source);
        // A single text replaces the selection when typing would.
        if (After.empty() && HasSelection && (Guard.Options & soOverwriteBlocks)) {
            const TPosition Begin = Source->BlockBegin();
            Source->DeleteBlock();
            Source->JumpTo(Begin.Char, Begin.Line);
            HasSelection = false;
        }
        const TPosition Caret = Source->Caret();
        bool Wrap = false;
        std::vector<std::string> Kept;
        if (HasSelection && !After.empty() && Source->SelectionType() == stStreamSel) {
            const TPosition Top = Source->BlockBegin(), Bottom = Source->BlockEnd();
            Wrap = (Caret.Line > Top.Line && Caret.Line < Bottom.Line) ||
                   (Caret.Line == Top.Line && Caret.Char >= Top.Char &&
                    (Top.Line != Bottom.Line || Caret.Char <= Bottom.Char)) ||
                   (Caret.Line == Bottom.Line && Caret.Char <= Bottom.Char && Top.Line != Bottom.Line);
            if (Wrap) {
                Kept = Source->BlockLines();
                Source->DeleteBlock();
                Source->JumpTo(Top.Char, Top.Line);
            }
        }
        TSelectionType KeptType = Wrap ? stStreamSel : stNotSelected;
        InsertTextWithControls(Source, Before.c_str(), 0);
        const TPosition Middle = Source->Caret();
        InsertTextWithControls(Source, After.c_str(), 0);
        Source->JumpTo(Middle.Char, Middle.Line);
        if (Wrap) {
            std::string Text;
            for (size_t I = 0; I < Kept.size(); ++I)
                Text += (I ? "\n" : "") + Kept[I];
            Source->InsertText(Text);
            const TPosition End = Source->Caret();
            Source->SetSelection(KeptType, Middle.Char, Middle.Line, End.Char, End.Line);
        }
        if ((Flags & InsertLineBreakAfter) && After.empty())
            Source->PressEnter();
    }
    return 0;
}

int TMainCommands::RunTagCommand(const TTagCommand& Command) {
    return Form->InsertAroundSelection(Command.Before, Command.After, Command.Flags);
}

void TMainCommands::TagsWMLPrologueClick() {
    TCustomMemoSource* Source = Form->ActiveEditorSource();
    // Both lines undo together.
    if (Source)
        Source->BeginUndoBlock();
    Form->InsertAroundSelection("<?xml version=\"1.0\"?>", "", 3);
    Form->InsertAroundSelection(
        DocType("wml", "-//WAPFORUM//DTD WML 1.2//EN", "http://www.wapforum.org/DTD/wml_1.2.xml"), "", 3);
    if (Source)
        Source->EndUndoBlock();
}

void TMainCommands::TagsColorClick() {
    if (!ColorDialog)
        ColorDialog = new TColorDialog(Application);
    if (!ColorDialog->Execute())
        return;
    const COLORREF C = static_cast<COLORREF>(ColorDialog->Color);
    char Text[16];
    snprintf(Text, sizeof Text, "#%.2x%.2x%.2x", GetRValue(C), GetGValue(C), GetBValue(C));
    Form->InsertAroundSelection(Text, "", 0);
}
