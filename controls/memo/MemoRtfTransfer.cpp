// The memo's clipboard commands, block moves and its RTF export and import.
#include <algorithm>

#include "controls/memo/Memo.h"
#include "controls/memo/MemoAttributes.h"
#include "controls/textmodel/CommandScope.h"
#include "framework/core/Streams.h"
#include "framework/core/Strings.h"
#include "framework/ui/Clipbrd.h"

// Set when the RTF on the clipboard (or of a block being moved) is a column block from this
// program, so that pasting it inserts a column (MemoImportExport.cpp).
extern uint8_t GMemoColumnInsert;

namespace {

// Pasted RTF keeps its formatting where the memo can hold it: without a parser (the first
// formatted paste gives the memo an attribute parser) or with an attribute parser. Another parser
// colours the text itself, so the plain text goes in.
bool RtfCapable(TCustomHSMemo& Memo) {
    TSimpleParser* Parser = Memo.GetSource()->SyntaxParser();
    return Memo.ClipboardType() == cbRtf && (!Parser || dynamic_cast<TAttributeParser*>(Parser));
}

} // namespace

void TCustomHSMemo::CopyToClipboard() {
    TCustomMemoSource* S = GetSource();
    if (FClipboardType != cbRtf || !S->CanCopy()) {
        S->CopyBlock();
        return;
    }
    TMemoryStream Rtf;
    ExportToRtfStreamEx(Rtf, true);
    const char Zero = 0;
    Rtf.WriteBuffer(&Zero, 1);
    // One opening for both formats: the clipboard is emptied by the first write only, so the RTF
    // goes beside the plain text, not in its place.
    TClipboard& C = Clipboard();
    C.Open();
    struct TCloser {
        TClipboard& C;
        ~TCloser() { C.Close(); }
    } Closer{C};
    S->CopyBlock();
    C.SetBuffer(MemoRtfClipboardFormat(), Rtf.Memory(), size_t(Rtf.Size()));
    GMemoColumnInsert = S->SelectionType() == stBlockSel ? 1 : 0;
}

void TCustomHSMemo::CutToClipboard() {
    TCustomMemoSource* S = GetSource();
    if (!S->CanCopy() || S->GetReadOnly())
        return;
    TCommandScope Scope(*S, 20);
    CopyToClipboard();
    S->DeleteBlock();
}

void TCustomHSMemo::PasteFromClipboard() {
    TCustomMemoSource* S = GetSource();
    if (S->GetReadOnly())
        return;
    const UINT Format = MemoRtfClipboardFormat();
    if (!RtfCapable(*this) || Format == 0 || !Clipboard().HasFormat(Format)) {
        S->PasteBlock();
        return;
    }
    std::vector<uint8_t> Bytes = Clipboard().GetBuffer(Format);
    // The format's block may carry its closing zero and padding.
    const auto End = std::find(Bytes.begin(), Bytes.end(), uint8_t(0));
    TMemoryStream Rtf;
    if (End != Bytes.begin())
        Rtf.WriteBuffer(Bytes.data(), int32_t(End - Bytes.begin()));
    if (HandleAllocated() && GetClipboardOwner() != Handle())
        GMemoColumnInsert = 0;
    TCommandScope Scope(*S, 21);
    S->CheckOverwriteBlock();
    PasteFromRtfStream(Rtf);
    if (S->OnPasteFromClipboard) {
        TStringList List;
        List.SetText(std::string(Bytes.begin(), End));
        std::vector<std::string> Lines;
        for (int I = 0; I < List.Count(); ++I)
            Lines.push_back(List[I]);
        S->OnPasteFromClipboard(*S, Lines);
    }
}

bool TCustomHSMemo::MoveBlockToPosEx(bool Move) {
    TCustomMemoSource* S = GetSource();
    if (!S->CanCopy())
        return false;
    int32_t SC, SL, EC, EL;
    const TSelectionType Type = GetSelection(SC, SL, EC, EL);
    const int32_t CL = S->GetCurLine(), CC = S->GetCurChar();
    const bool Inside = Type == stBlockSel
                            ? (CL >= SL && CL <= EL && CC > SC && CC < EC)
                            : ((CL > SL || (CL == SL && CC > SC)) && (CL < EL || (CL == EL && CC < EC)));
    if (Inside)
        return false;
    if (!RtfCapable(*this)) {
        if (Move)
            S->MoveBlock();
        else
            S->CopyBlockToPos();
        return true;
    }
    TMemoryStream Rtf;
    ExportToRtfStreamEx(Rtf, true);
    const uint8_t OldFlag = GMemoColumnInsert;
    GMemoColumnInsert = Type == stBlockSel ? 1 : 0;
    {
        TCommandScope Scope(*S, 21);
        // A tracked position moves with the deletion, so a target after the block on its last
        // line lands where it was in the text, not at its old coordinates.
        TPosition* Target = S->CopyPosition(TPosition{CC, CL});
        if (Move)
            S->DeleteBlock();
        S->RestorePosition(Target);
        PasteFromRtfStream(Rtf);
    }
    GMemoColumnInsert = OldFlag;
    return true;
}
