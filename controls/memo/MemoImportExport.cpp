// The memo's export through a writer and its import of formatted text.
#include <algorithm>
#include <climits>

#include "controls/memo/HtmlExporter.h"
#include "controls/memo/Importers.h"
#include "controls/memo/Memo.h"
#include "controls/memo/MemoAttributes.h"
#include "controls/memo/RtfExporter.h"
#include "controls/textmodel/CommandScope.h"
#include "framework/core/Streams.h"
#include "framework/core/Strings.h"

uint8_t GMemoColumnInsert = 0;

namespace {

std::vector<std::string> SplitLines(const std::string& Text) {
    std::vector<std::string> Lines(1);
    for (size_t I = 0; I < Text.size(); ++I) {
        if (Text[I] == '\r' || Text[I] == '\n') {
            if (Text[I] == '\r' && I + 1 < Text.size() && Text[I + 1] == '\n')
                ++I;
            Lines.emplace_back();
        } else {
            Lines.back() += Text[I];
        }
    }
    return Lines;
}

// Writes the document to memory first, so that a failed export leaves no half-written file.
template <class TWriter> void ExportToFile(TCustomHSMemo& Memo, const std::string& Name, bool SelectionOnly) {
    TMemoryStream Data;
    {
        TWriter E(&Data);
        Memo.ExportToEx(E, SelectionOnly);
    }
    TFileStream File(Name, fmCreate);
    if (Data.Size() > 0)
        File.WriteBuffer(Data.Memory(), int32_t(Data.Size()));
}

void StartFontStyles(THSExporter& E, TFontStyles Style) {
    if (Style & fsBold)
        E.StartBold();
    if (Style & fsItalic)
        E.StartItalic();
    if (Style & fsUnderline)
        E.StartUnderline();
    if (Style & fsStrikeOut)
        E.StartStrikeOut();
}

void FinishFontStyles(THSExporter& E, TFontStyles Style) {
    if (Style & fsStrikeOut)
        E.FinishStrikeOut();
    if (Style & fsUnderline)
        E.FinishUnderline();
    if (Style & fsItalic)
        E.FinishItalic();
    if (Style & fsBold)
        E.FinishBold();
}

} // namespace

void TCustomHSMemo::ExportToEx(THSExporter& E, bool SelectionOnly) {
    TCustomMemoSource* S = GetSource();
    int32_t SC = 0, SL = 0, EC = INT_MAX, EL = S->GetStrCount() - 1;
    TSelectionType Type = stStreamSel;
    if (SelectionOnly) {
        Type = GetSelection(SC, SL, EC, EL);
        if (Type == stNotSelected)
            EL = SL - 1; // an empty document
    }
    auto Write = [&](const std::string& Text) {
        std::string T = E.TranslateString(Text);
        if (OnExportString)
            OnExportString(this, T);
        E.WriteString(T);
    };
    // A writer that keeps tab characters gets each line as stored, with its own colour bytes;
    // another gets the line with its tabs expanded and the bytes spread over the tabs' columns.
    const bool KeepTabs = E.UseTabCharacter();
    TFont& MemoFont = Font();
    const bool Colouring = NeedSyntaxPaint();
    E.StartDocument(S->ObjectName());
    E.StartBackground(Color());
    E.StartFontWithCharSet(MemoFont.Name(), MemoFont.Charset());
    E.StartFontSize(MemoFont.Size());
    const TFontStyles MemoStyle = Colouring ? 0 : MemoFont.Style();
    StartFontStyles(E, MemoStyle);
    E.StartColor(MemoFont.Color());
    for (int32_t L = std::max(0, SL); L <= EL && L < S->GetStrCount(); ++L) {
        if (L > std::max(0, SL))
            E.NewLine();
        const std::string Line = KeepTabs ? S->GetStringItem(L)->Text : S->Lines().Get(L);
        // Selection columns are screen columns: a stored line with tabs has its own positions.
        auto Index = [&](int32_t Column) {
            return size_t(std::max(0, KeepTabs ? S->GetRealTabIndex(Line, Column) : Column));
        };
        // A column block takes its end column, as its copy as plain text does.
        size_t From = 0, To = Line.size();
        if (SelectionOnly && (Type == stBlockSel || L == SL))
            From = std::min(Line.size(), Index(SC));
        if (SelectionOnly && (Type == stBlockSel || L == EL))
            To = std::min(Line.size(), Index(Type == stBlockSel ? EC + 1 : EC));
        if (To <= From)
            continue;
        if (!Colouring) {
            Write(Line.substr(From, To - From));
            continue;
        }
        const std::string Colors = KeepTabs ? S->GetColorData(L) : S->GetStoredColorData(L);
        // Each run as the painter shows it: the style of its bytes through the text styles, the
        // parser's own fonts or the attribute table. Bytes that look alike make one run.
        struct TLook {
            TFont* Font;
            TColor Fore, Back;
            bool operator==(const TLook& O) const {
                return Fore == O.Fore && Back == O.Back && Font->Name() == O.Font->Name() &&
                       Font->Size() == O.Font->Size() && Font->Style() == O.Font->Style() &&
                       Font->Charset() == O.Font->Charset();
            }
        };
        auto LookOf = [&](int32_t Style) {
            TLook Look{nullptr, 0, 0};
            StyleColors(Style, Look.Font, Look.Fore, Look.Back);
            return Look;
        };
        for (size_t I = From; I < To;) {
            const int32_t Style = StyleAt(Colors, int32_t(I), L);
            const TLook Look = LookOf(Style);
            size_t J = I + 1;
            for (; J < To; ++J) {
                const int32_t Next = StyleAt(Colors, int32_t(J), L);
                if (Next != Style && !(LookOf(Next) == Look))
                    break;
            }
            TFont& F = *Look.Font;
            const bool Face = F.Name() != MemoFont.Name() || F.Charset() != MemoFont.Charset();
            const bool Size = F.Size() != MemoFont.Size();
            const bool Back = ColorToRGB(Look.Back) != ColorToRGB(Color());
            if (Face)
                E.StartFontWithCharSet(F.Name(), F.Charset());
            if (Size)
                E.StartFontSize(F.Size());
            StartFontStyles(E, F.Style());
            E.StartColor(Look.Fore);
            if (Back)
                E.StartBackColor(Look.Back);
            Write(Line.substr(I, J - I));
            if (Back)
                E.FinishBackColor();
            E.FinishColor();
            FinishFontStyles(E, F.Style());
            if (Size)
                E.FinishFontSize();
            if (Face)
                E.FinishFont();
            I = J;
        }
    }
    E.FinishColor();
    FinishFontStyles(E, MemoStyle);
    E.FinishFontSize();
    E.FinishFont();
    E.FinishBackground();
    E.FinishDocument();
}

void TCustomHSMemo::ExportToRtfStreamEx(TStream& Stream, bool SelectionOnly) {
    THSRTFExporter E(&Stream);
    ExportToEx(E, SelectionOnly);
}

void TCustomHSMemo::ExportToHtmlStreamEx(TStream& Stream, bool SelectionOnly) {
    THSHTMLExporter E(&Stream);
    ExportToEx(E, SelectionOnly);
}

void TCustomHSMemo::ExportToHtmlFileEx(const std::string& Name, bool SelectionOnly) {
    ExportToFile<THSHTMLExporter>(*this, Name, SelectionOnly);
}

void TCustomHSMemo::ExportToRtfFileEx(const std::string& Name, bool SelectionOnly) {
    ExportToFile<THSRTFExporter>(*this, Name, SelectionOnly);
}

void TCustomHSMemo::PasteFromImportStream(TStream& Stream, THSImporter& Importer) {
    TCustomMemoSource* S = GetSource();
    if (S->GetReadOnly())
        return;
    Stream.SetPosition(0);
    const std::string Data = Stream.ReadRemaining();
    if (Data.empty())
        return;
    TStringStream Probe(Data);
    TCommandScope Scope(*S, 21);
    if (!Importer.IsValidStream(Probe)) {
        S->InsertStrings(SplitLines(Data), false);
        return;
    }
    std::string Text;
    // A memo without a parser gets an attribute parser here, so that each run keeps its font and
    // background; under another parser the text takes that parser's colours.
    SelAttributes();
    auto* Attributes = dynamic_cast<TAttributeParser*>(S->SyntaxParser());
    struct TRun {
        size_t From, To;
        std::unique_ptr<TMemoAttributes> Attr;
    };
    std::vector<TRun> Runs;
    Importer.OnTextChanged = [&](THSImporter&, const std::string& T, TFont& F, TColor Back) {
        if (Attributes && !T.empty()) {
            auto A = std::make_unique<TMemoAttributes>(nullptr);
            A->SafeAssign(&F);
            A->SetBkColor(Back == TColor(-1) ? Color() : Back);
            A->SetChangedAttrs(A->GetAllAttributes(true));
            Runs.push_back({Text.size(), Text.size() + T.size(), std::move(A)});
        }
        Text += T;
    };
    Importer.ParseText(Data);
    Importer.OnTextChanged = nullptr;
    if (Text.empty())
        return;
    const POINT Start = GetCaretPoint();
    // Through the text model, so that one undo takes the whole paste back.
    S->PasteBlockFromStrings(SplitLines(Text), GMemoColumnInsert != 0);
    if (!Attributes || GMemoColumnInsert != 0)
        return;
    // Text offsets of the runs to lines and characters of the pasted text.
    std::vector<size_t> LineStarts{0};
    for (size_t I = 0; I < Text.size(); ++I)
        if (Text[I] == '\n' || (Text[I] == '\r' && (I + 1 >= Text.size() || Text[I + 1] != '\n')))
            LineStarts.push_back(I + 1);
    const TStringItem* First = S->GetStringItem(Start.y);
    const int32_t StartChar = First ? S->GetRealTabIndex(First->Text, Start.x) : 0;
    auto Where = [&](size_t Offset, int32_t& Line, int32_t& Char) {
        const size_t Row =
            size_t(std::upper_bound(LineStarts.begin(), LineStarts.end(), Offset) - LineStarts.begin()) - 1;
        Line = Start.y + int32_t(Row);
        Char = int32_t(Offset - LineStarts[Row]) + (Row == 0 ? StartChar : 0);
    };
    for (const TRun& R : Runs) {
        int32_t L1 = 0, C1 = 0, L2 = 0, C2 = 0;
        Where(R.From, L1, C1);
        Where(R.To, L2, C2);
        for (int32_t L = L1; L <= L2 && L < S->GetStrCount(); ++L) {
            const std::string& Stored = S->GetStringItem(L)->Text;
            const int32_t From = L == L1 ? S->GetRelativeTabIndex(Stored, C1) : 0;
            const int32_t To = L == L2 ? S->GetRelativeTabIndex(Stored, C2) : INT_MAX;
            Attributes->SetStrAttribute(L, From, To, *R.Attr);
        }
    }
}

void TCustomHSMemo::PasteFromRtfStream(TStream& Stream) {
    THSRtfImporter Importer;
    PasteFromImportStream(Stream, Importer);
}

void TCustomHSMemo::PasteFromHtmlStream(TStream& Stream) {
    THSHTMLImporter Importer;
    PasteFromImportStream(Stream, Importer);
}

void TCustomHSMemo::PasteFromHtmlFile(const std::string& Name) {
    TFileStream F(Name, fmOpenRead | fmShareDenyWrite);
    PasteFromHtmlStream(F);
}

void TCustomHSMemo::PasteFromRtfFile(const std::string& Name) {
    TFileStream F(Name, fmOpenRead | fmShareDenyWrite);
    PasteFromRtfStream(F);
}

namespace {

void LoadImported(TCustomHSMemo& Memo, TStream& Stream, bool Rtf) {
    TCustomMemoSource* S = Memo.GetSource();
    const int32_t OldLimit = S->UndoLimit();
    struct TRestore {
        TCustomMemoSource* S;
        int32_t Limit;
        ~TRestore() { S->SetUndoLimit(Limit); }
    } Restore{S, OldLimit};
    S->SetUndoLimit(0);
    S->BeginUpdate(0);
    struct TEnd {
        TCustomMemoSource* S;
        ~TEnd() { S->EndUpdate(); }
    } End{S};
    Memo.SetText("");
    if (auto* Attributes = dynamic_cast<TAttributeParser*>(S->SyntaxParser()))
        Attributes->ClearStyles();
    if (Rtf)
        Memo.PasteFromRtfStream(Stream);
    else
        Memo.PasteFromHtmlStream(Stream);
    S->ClearSelection();
    S->JumpTo(0, 0);
    S->ClearUndoBuffer();
    S->SetModified(false);
}

} // namespace

void TCustomHSMemo::LoadFromHtmlStream(TStream& Stream) {
    LoadImported(*this, Stream, false);
}

void TCustomHSMemo::LoadFromRtfStream(TStream& Stream) {
    LoadImported(*this, Stream, true);
}

void TCustomHSMemo::LoadFromHtmlFile(const std::string& Name) {
    TFileStream F(Name, fmOpenRead | fmShareDenyWrite);
    LoadFromHtmlStream(F);
}

void TCustomHSMemo::LoadFromRtfFile(const std::string& Name) {
    TFileStream F(Name, fmOpenRead | fmShareDenyWrite);
    LoadFromRtfStream(F);
}
