#pragma once
// The code-editor view: a window that shows, scrolls and edits one text model. The view owns no
// text; every edit goes to its source (TCustomMemoSource), which tells every view that shows it
// what changed once per outermost update bracket. Several views may show one source.
//
// Positions are POINTs: x the character column, y the line, both from 0. Wrapped positions count
// screen rows instead of lines.

#include <climits>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "controls/foundation/HSCommon.h"
#include "controls/foundation/HSHints.h"
#include "framework/ui/StdCtrls.h"
#include "controls/memo/MemoDrawSink.h"
#include "controls/memo/GutterImages.h"
#include "controls/memo/MemoEnvOptions.h"
#include "controls/memo/MemoWordWrap.h"
#include "controls/memo/TextStyles.h"
#include "controls/textmodel/MemoSource.h"
#include "controls/textmodel/dialogs/SourceDialogs.h"

class TStream;
class THSExporter;
class THSImporter;
class TPopupMenu;
class TMenuItem;
class TMemoPopupList;
class TAttributeParser;
class TMemoAttributes;
class TGutterBackground;

enum TMemoOption : uint32_t {
    moDrawMargin = 1u << 0,
    moDrawGutter = 1u << 1,
    moThumbTracking = 1u << 2,
    moDblClickLine = 1u << 3,
    moColorSyntax = 1u << 4,
    moLineNumbers = 1u << 5,
    moOverwriteCaret = 1u << 6,
    moLeftIndent = 1u << 7,
    moDisableDrag = 1u << 8,
    moSelectOnlyText = 1u << 9,
    moLineNumbersOnGutter = 1u << 10,
    moNotePadCursorStyle = 1u << 11,
    moBreakWordAtMargin = 1u << 12,
    moDrawSpecialSymbols = 1u << 13,
    moDisableRightClickMove = 1u << 14,
    moColoredLineStyle = 1u << 15,
    moDisableInvertedSel = 1u << 16,
    moHideInvisibleLines = 1u << 17,
    moDrawLineBookmarks = 1u << 18,
    moShowScrollHint = 1u << 19,
    moUseReadOnlyColor = 1u << 20,
    moExtendedSel = 1u << 21,
    moCenterOnBookmark = 1u << 22,
    moTripleClick = 1u << 23,
    moLimitLineNumbers = 1u << 24,
};
using TMemoOptions = uint32_t;
constexpr TMemoOptions kDefaultMemoOptions = moThumbTracking | moColorSyntax;

enum TGutterImgsAlign : uint8_t { iaLeft, iaRight };
enum TClipboardType : uint8_t { cbNormal, cbRtf };

// The options message every registered object receives when the global editor options change.
constexpr UINT CM_MEMOOPTIONSUPDATE = 0x81F;

class TCustomHSMemo;
class TMemoPostionStore;

using TMemoStates = uint16_t; // bits of TMemoStateBit (controls/textmodel/MemoSource.h)
using TMemoChangeEvent = std::function<void(TObject* Sender, TMemoStates State)>;
using TClickGutterEvent =
    std::function<void(TObject* Sender, int32_t LinePos, int32_t ImageIndex, TShiftState Shift)>;
using TMemoScrollEvent = std::function<void(TObject* Sender, TScrollStyle ScrollStyle, int32_t Delta)>;
using TVertScrollEvent = std::function<void(TObject* Sender, int32_t TopLine, bool EndScroll,
                                            bool& ShowScrollHint, std::string& ScrollHint)>;
using TGetLineNumberEvent = std::function<void(TObject* Sender, std::string& Text, int32_t& Line)>;
using TGetColorStyleEvent = std::function<void(TObject* Sender, POINT APoint, int32_t& AStyle)>;
using TCustomStringEvent = std::function<void(TObject* Sender, std::string& S, std::string& ColorS)>;
using TCustomDrawEvent =
    std::function<void(TObject* Sender, TMemoDrawSink& Sink, const RECT& Rect, int32_t LinePos,
                       int32_t CharPos, const std::string& S, TDrawStates DrawState, bool& Handled)>;
using TDrawGutterEvent = std::function<void(TObject* Sender, TMemoDrawSink& Sink, bool& Handled,
                                            TDrawStates DrawState, const RECT& Rect)>;
using TJumpToUrlEvent = std::function<void(TObject* Sender, const std::string& S, bool& Handled)>;
// Handled starts true; a handler that sets it false keeps the block as it is.
using TCollapseStateChanging =
    std::function<void(TObject* Sender, int32_t LinePos, bool ACollapsed, bool& Handled)>;
using TCollapseStateChanged = std::function<void(TObject* Sender, int32_t LinePos, bool ACollapsed)>;
// Fills Items for a popup at the caret and sets Show; Kind 1 asks for the list box, any other
// kind for a one-line hint (the first item).
using THintPopupEvent = std::function<void(TObject* Sender, TStrings* Items, int32_t& Kind, bool& Show)>;
using THintInsertEvent = std::function<void(TObject* Sender, std::string& S)>;
using TFindStringInPopupEvent = std::function<void(TObject* Sender, TStrings* Items, const std::string& Text,
                                                   bool& Found, int32_t& Index)>;
using TStringsEvent = std::function<void(TObject* Sender, TStrings* Strings)>;

// The memo's own cursor over hot strings (the module cursor "MEMOHANDPT").
constexpr TCursor crMemoHandPoint = 104;
// Window timers of the memo: selection auto-scroll and the hint popup.
constexpr UINT_PTR kMemoSelTimer = 1;
constexpr UINT_PTR kMemoHintTimer = 2;
// Mouse states of the memo.
enum TMemoMouseState : uint8_t { msmIdle, msmSelecting, msmDragging, msmMultiClick };

// The list of every live memo, in creation order.
const std::vector<TCustomHSMemo*>& MemoList();
// The first memo (in MemoList order) that shows the source, or nullptr.
TCustomHSMemo* GetConnectedMemo(TCustomMemoSource* Source);
// Clears List, then appends every memo that shows the source.
void GetConnectedMemos(TCustomMemoSource* Source, std::vector<TCustomHSMemo*>& List);
int32_t GetConnectedMemoCount(TCustomMemoSource* Source);
// The source of the memo that last received the focus (the find and replace window works on it).
TCustomMemoSource* LastFocusedMemoSource();
class TSyntaxBlock;
// Start-up of the memo unit, once, by the program: registers the memo's default key map under the
// name "Default" and the clipboard format "Rich Text Format". DoneMemoUnit empties the unit's lists.
void InitMemoUnit();
void DoneMemoUnit();
// The clipboard format number of "Rich Text Format" (0 before InitMemoUnit).
UINT MemoRtfClipboardFormat();
// The syntax block at the caret of a memo whose parser is a TSyntaxParser; null otherwise.
const TSyntaxBlock* GetSyntaxBlockAtCursor(TCustomHSMemo& Memo);

class TCustomHSMemo : public THSCustomControl, public TTextStyleHost {
    ZEL_DECLARE_CLASS(TCustomHSMemo)
public:
    explicit TCustomHSMemo(TComponent* AOwner);
    ~TCustomHSMemo() override;

    // --- source binding
    // The assigned source, else the memo's own default source; never null.
    TCustomMemoSource* GetSource() const { return FMemoSource ? FMemoSource : FDefaultSource; }
    TCustomMemoSource* MemoSource() const { return FMemoSource; }
    // Null falls back to the default source. Several memos may show one source.
    void SetSource(TCustomMemoSource* Value);
    void SetMemoSource(TCustomMemoSource* Value) { SetSource(Value); }
    TCustomMemoSource* DefaultSource() const { return FDefaultSource; }
    TSimpleParser* GetSyntaxParser() const { return GetSource()->SyntaxParser(); }
    void SetSyntaxParser(TSimpleParser* Parser) { GetSource()->SetSyntaxParser(Parser); }
    TStrings* GetLines() const { return &GetSource()->Lines(); }
    // Passes a focus or double-click message to the source's MemoNotify; true when the memo may go on.
    bool NotifySource(UINT Message);

    // --- text
    std::string GetText() const override;
    void SetText(const std::string& Value);
    std::string GetSelText() const;
    // Replaces the selection (an empty text deletes it) in one update.
    void SetSelText(const std::string& Value);
    int32_t SelLength() const;
    void SelectAll();
    void ClearSelection();
    // Selection in text positions; type stNotSelected clears it.
    void SetSelection(TSelectionType Type, int32_t StartChar, int32_t StartLine, int32_t EndChar,
                      int32_t EndLine);
    TSelectionType GetSelection(int32_t& StartChar, int32_t& StartLine, int32_t& EndChar,
                                int32_t& EndLine) const;

    // --- caret and window position
    POINT GetCaretPoint() const;
    void GetCaretPoint(POINT& P) const { P = GetCaretPoint(); }
    void SetCaretPoint(POINT P);
    // Column and line from 0, as a pair of calls.
    int32_t CaretLine() const { return GetSource()->GetCurLine(); }
    int32_t CaretChar() const { return GetSource()->GetCurChar(); }
    int32_t WinLine() const { return FWinLine; }
    int32_t WinChar() const { return FWinChar; }
    // Scroll by the difference to the first visible row or column.
    void SetWinLine(int32_t Value);
    void SetWinChar(int32_t Value);
    void EnsureCaretVisible();
    void EnsurePointVisible(POINT P);
    // Scrolls to the start (UseStart) or end of a found text, then asks the shared find window to
    // stop covering it when that window works on this view's source.
    void MakeSearchPointVisible(const TMemoRect& R, bool UseStart);
    void RecalculatePosition();
    void CenteredJumpTo(int32_t Char, int32_t Line);
    void CenterScreenOnLine();
    void CenterScreenOnLineEx();
    bool IsPointVisible(POINT P);
    // Asks for a line number and jumps there; false when cancelled.
    bool PromptedGotoLine();
    std::string GetCurPosText() const;

    // --- commands bound by the key maps
    void MemoCursorUp();
    void MemoCursorDown();
    void MemoCursorLeft();
    void MemoCursorRight();
    void MemoMarkUp();
    void MemoMarkDown();
    void MemoMarkLeft();
    void MemoMarkRight();
    void MemoMarkToLineBegin();
    void MemoMarkToLineEnd();
    void MemoJumpToLineBegin();
    void MemoJumpToLineEnd();
    void JumpToScreenTop();
    void JumpToScreenBottom();
    void JumpLeftMost();
    void JumpRightMost();
    void PageUp();
    void PageDown();
    void PageLeft();
    void PageRight();
    void MarkToTop();
    void MarkToBottom();
    void MarkPageUp();
    void MarkPageDown();
    void MarkColToTop();
    void MarkColToBottom();
    void MarkColPageUp();
    void MarkColPageDown();
    void ScrollScreenVert(int32_t Delta);
    void ScrollScreenHorz(int32_t Delta);
    void ScrollUp() { ScrollScreenVert(-1); }
    void ScrollDown() { ScrollScreenVert(1); }
    void ScrollPageUp();
    void ScrollPageDown();
    void ScrollLeft() { ScrollScreenHorz(-1); }
    void ScrollRight() { ScrollScreenHorz(1); }
    void ScrollPageLeft();
    void ScrollPageRight();
    // Cancels a drag, then the source's escape handling.
    void ProcessEscape();
    void InsertSpace() { InsertChar(' '); }
    void Undo() { GetSource()->Undo(); }
    void Redo() { GetSource()->Redo(); }
    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();
    // cbRtf: copying adds the block as "Rich Text Format", pasting prefers it.
    TClipboardType ClipboardType() const { return FClipboardType; }
    void SetClipboardType(TClipboardType Value) { FClipboardType = Value; }
    bool PlainText() const { return FClipboardType == cbNormal; }
    void SetPlainText(bool Value) { SetClipboardType(Value ? cbNormal : cbRtf); }
    // Moves or copies the block to the caret; false (and nothing done) when the caret is inside it.
    bool MoveBlockToPosEx(bool Move);
    // The text (or only the selected block) as RTF with the text styles as fonts and colours, and
    // RTF inserted at the caret through the text model (MemoRtfTransfer.cpp).
    void ExportToRtfStreamEx(TStream& Stream, bool SelectionOnly);
    void PasteFromRtfStream(TStream& Stream);
    // Export of the text, or of the selection only, through a writer (MemoImportExport.cpp).
    void ExportTo(THSExporter& Exporter) { ExportToEx(Exporter, false); }
    void ExportToEx(THSExporter& Exporter, bool SelectionOnly);
    void ExportToRtfStream(TStream& Stream) { ExportToRtfStreamEx(Stream, false); }
    void ExportToHtmlStream(TStream& Stream) { ExportToHtmlStreamEx(Stream, false); }
    void ExportToHtmlStreamEx(TStream& Stream, bool SelectionOnly);
    // The file is written only once the whole document is made.
    void ExportToHtmlFileEx(const std::string& Name, bool SelectionOnly);
    void ExportToRtfFileEx(const std::string& Name, bool SelectionOnly);
    void ExportToHtmlFile(const std::string& Name) { ExportToHtmlFileEx(Name, false); }
    void ExportToRtfFile(const std::string& Name) { ExportToRtfFileEx(Name, false); }
    // Formatted text inserted at the caret as one undoable step; text the importer does not
    // accept goes in as plain lines.
    void PasteFromImportStream(TStream& Stream, THSImporter& Importer);
    void PasteFromHtmlStream(TStream& Stream);
    void PasteFromHtmlFile(const std::string& Name);
    void PasteFromRtfFile(const std::string& Name);
    // The whole text replaced by the imported one: nothing to undo, not modified.
    void LoadFromHtmlStream(TStream& Stream);
    void LoadFromRtfStream(TStream& Stream);
    void LoadFromHtmlFile(const std::string& Name);
    void LoadFromRtfFile(const std::string& Name);
    // May change every piece of exported text after it was escaped for the format.
    std::function<void(TObject* Sender, std::string& S)> OnExportString;

    // --- options and appearance
    TMemoOptions Options() const { return FOptions; }
    void SetOptions(TMemoOptions Value);
    bool HasOption(TMemoOption O) const { return (FOptions & O) != 0; }
    bool UseGlobalOptions() const { return FUseGlobalOptions; }
    virtual void SetUseGlobalOptions(bool Value);
    virtual void LoadGlobalOptions();
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    bool UseMonoFont() const { return FUseMonoFont; }
    void SetUseMonoFont(bool Value);
    bool ReadOnly() const { return GetSource()->ReadOnly(); }
    void SetReadOnly(bool Value) { GetSource()->SetROnly(Value); }
    bool HideCaret() const { return FHideCaret; }
    void SetHideCaret(bool Value);
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool Value);
    int32_t MarginPos() const { return FMarginPos; }
    void SetMarginPos(int32_t Value);
    int32_t GutterWidth() const { return FGutterWidth; }
    void SetGutterWidth(int32_t Value);
    int32_t GutterLineIndent() const { return FGutterLineIndent; }
    void SetGutterLineIndent(int32_t Value);
    int32_t LeftIndent() const { return FLeftIndent; }
    void SetLeftIndent(int32_t Value);
    TAlignment LineNumAlign() const { return FLineNumAlign; }
    void SetLineNumAlign(TAlignment Value);
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);
    bool HideScrollBars() const { return FHideScrollBars; }
    void SetHideScrollBars(bool Value);
    int32_t HorzMaxPos() const { return FHorzMaxPos; }
    void SetHorzMaxPos(int32_t Value);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    void SetTabStops(const std::string& Value) { GetSource()->SetTabStops(Value); }
    TGutterImgsAlign GutterImgsAlign() const { return FGutterImgsAlign; }
    void SetGutterImgsAlign(TGutterImgsAlign Value);

    TColor SelColor() const { return FSelColor; }
    void SetSelColor(TColor Value);
    TColor SelBackColor() const { return FSelBackColor; }
    void SetSelBackColor(TColor Value);
    TColor MatchColor() const { return FMatchColor; }
    void SetMatchColor(TColor Value);
    TColor MatchBackColor() const { return FMatchBackColor; }
    void SetMatchBackColor(TColor Value);
    TColor DisabledColor() const { return FDisabledColor; }
    void SetDisabledColor(TColor Value);
    TColor ReadOnlyColor() const { return FReadOnlyColor; }
    void SetReadOnlyColor(TColor Value);
    TColor LineNumColor() const { return FLineNumColor; }
    void SetLineNumColor(TColor Value);
    TColor LineNumBackColor() const { return FLineNumBackColor; }
    void SetLineNumBackColor(TColor Value);
    TColor GutterBackColor() const { return FGutterBackColor; }
    void SetGutterBackColor(TColor Value);
    TColor GutterLineColor() const { return FGutterLineColor; }
    void SetGutterLineColor(TColor Value);
    TColor LineBookmarkColor() const { return FLineBookmarkColor; }
    void SetLineBookmarkColor(TColor Value);

    TBrush& GutterBrush() { return *FGutterBrush; }
    void SetGutterBrush(const TBrush& Value) { FGutterBrush->Assign(Value); }
    TPen& MarginPen() { return *FMarginPen; }
    void SetMarginPen(const TPen& Value);
    TLineSeparator& LineSeparator() { return *FLineSeparator; }
    void SetLineSeparator(TLineSeparator* Value) { FLineSeparator->Assign(Value); }
    TLineHighlight& LineHighlight() { return *FLineHighlight; }
    void SetLineHighlight(TLineHighlight* Value) { FLineHighlight->Assign(Value); }
    TSpecialSymbols& SpecialSymbols() { return *FSpecialSymbols; }
    void SetSpecialSymbols(TSpecialSymbols* Value) { FSpecialSymbols->Assign(Value); }
    TTextStyles& TextStyles() { return *FTextStyles; }
    void SetTextStyles(TTextStyles* Value);
    THSGutterImages& GutterImgs() { return *FGutterImgs; }
    // Pictures or gradients behind the text and behind the gutter.
    TControlBackground& MemoBackground() { return *FMemoBackground; }
    void SetMemoBackground(TControlBackground* Value) { FMemoBackground->Assign(Value); }
    TGutterBackground& GutterBackground() { return *FGutterBackground; }
    void SetGutterBackground(TControlBackground* Value);
    TBitmap& Background() { return FMemoBackground->Background(); }
    void SetBackground(TBitmap& Value) { FMemoBackground->SetBackground(Value); }
    TBkgndOption BkgndOption() const { return FMemoBackground->Option(); }
    void SetBkgndOption(TBkgndOption Value) { FMemoBackground->SetOption(Value); }
    // Looks the style up by name and highlights the line in it until the next change.
    void TempHighlightLineWithStyle(int32_t Line, const std::string& StyleName);
    void ToggleImageAndTextStyle(const std::string& Name);

    // --- metrics and mapping (in client pixels)
    int32_t GetAveLineHeight();
    int32_t GetAveCharWidth();
    void UpdateLineHeight();
    bool IsMemoFontMonoSpaced();
    int32_t GetPaintX();
    int32_t GetRealGutterWidth() const;
    int32_t GetRealLeftIndent();
    int32_t GetLineNumbersLength();
    int32_t GetLineNumbersWidth();
    // Answers whether the width changed; with Rewrap a wrapping memo then wraps its text again and
    // the caret moves with the text.
    bool UpdateLineNumbersWidth(bool Rewrap = true);
    int32_t GetWrapMargin();
    int32_t GetMaxCaretLine();
    int32_t GetMaxCaretLineEx(int32_t Height);
    int32_t GetMaxCaretChar() { return GetMaxCaretCharEx(false); }
    int32_t GetMaxCaretCharEx(bool Whole);
    bool HideLines() const { return HasOption(moHideInvisibleLines) && !FWordWrap; }
    int32_t TextToPixelLine(POINT P);
    int32_t TextToPixelChar(POINT P);
    POINT TextToPixelPoint(POINT P);
    void TextToPixelPoint(POINT P, POINT& Out) { Out = TextToPixelPoint(P); }
    POINT GetCurentPosinPixels() { return TextToPixelPoint(GetCaretPoint()); }
    // Column, counted from the row's start, of client x on a row (a wrapped row with word wrap).
    int32_t PixelToTextChar(int32_t Row, int32_t X, bool Wrapped);
    // A line's text as painted (with special symbols, tabs expanded, as the owner's OnCustomString
    // leaves it) and its colour data when the memo paints colours, without the end symbols; empty
    // for a line that does not exist. Wrapping, the caret and clicks measure this text.
    void GetStrData(int32_t Line, std::string& Text, std::string& ColorS);
    // The same with the end-of-line (or end-of-file) symbol that the painter draws after the text;
    // TextLen is the length of the text before the symbol. Without Colors the colour data stays
    // empty (a monospaced layout needs only the text).
    // Item, when given, is the line's own item, whose colour data is read directly (the source is
    // parsing it).
    void GetPaintedLine(int32_t Line, std::string& Text, std::string& ColorS, int32_t& TextLen,
                        bool Colors = true, const TStringItem* Item = nullptr);
    // Pixel width of Count characters of Text from Start, each in its style's font, and the height
    // of a row that holds them; BaseLine receives that row's base line.
    POINT CalcStringSize(int32_t Line, const std::string& Text, const std::string& ColorS, int32_t Start,
                         int32_t Count, int32_t* BaseLine = nullptr);
    // How many characters of Text from From (before To) fit into Width, each in its style's font;
    // unless WholeOnly, a character more than half of which fits counts too. Used gets their width.
    int32_t SymbolsDrawn(int32_t Line, const std::string& Text, const std::string& ColorS, int32_t From,
                         int32_t To, int32_t Width, bool WholeOnly, int32_t& Used);
    // Width of one blank in the memo's font: the cell of a column past the end of a line.
    int32_t SpaceWidth();
    // Height and base line (ascent) of a whole line as painted: the tallest of its fonts, never
    // lower than the average line. A wrapped row is as high as the fonts on that row.
    int32_t GetRealLineHeight(int32_t Line);
    // The source's line-measurement callback: the line's height, width and base line in pixels
    // into the item's measures, so that the source sees a line change height or width.
    void GetLineHeight(int32_t Line, TStringItem& Item);
    int32_t GetBaseLine(int32_t Line);
    // All rows of a line together.
    int32_t GetWrappedLineHeight(int32_t Line);
    // One row: its line, its characters Start..End (End INT_MAX on the line's last row), its height
    // and base line (0 when all of it stands on the row's top).
    struct TRowInfo {
        int32_t Line = 0, Start = 0, End = INT_MAX;
        bool Last = true;
        int32_t Height = 0, BaseLine = 0;
    };
    // The row of a visible, wrapped row index, and the row that holds a real position.
    TRowInfo RowInfo(int32_t Row);
    TRowInfo RowInfoAt(POINT P);
    // Height of a row (a visible, wrapped row index), its top in client pixels, and the row at a
    // client y with that row's top.
    int32_t RowHeight(int32_t Row);
    int32_t RowTop(int32_t Row);
    int32_t RowAtY(int32_t Y, int32_t& Top);
    POINT MouseToTextPoint(int32_t X, int32_t Y, bool LimitToText);
    POINT ConvertMousePos(int32_t X, int32_t Y) { return MouseToTextPoint(X, Y, false); }

    // --- word wrap
    int32_t WBCount() const { return FWBCount; }
    void WordWrapLines(int32_t First, int32_t Last, bool Force);
    // Ends of the row that starts at 1-based Pos; Pos moves to the next row's start.
    int32_t FindWordBreak(int32_t Line, int32_t& Pos);
    POINT GetWBPosition(POINT P);
    // A position past the end of a line's last row that would stand beyond the wrap margin is
    // shown at the start of the next row; PastMargin tells when that happened.
    POINT GetWBPositionEx(POINT P, int32_t& RowStart, bool& MoreRows, bool* PastMargin = nullptr);
    POINT GetRealPosition(POINT P);
    // Index of the last row.
    int32_t GetRealStrCount();
    // One more row when the end-of-file symbol is drawn.
    int32_t GetRealStrCountEx();
    const TWordWrapList& WordWrapList() const { return *FWordWrapList; }
    const TLineInfoList& LineInfoList() const { return *FLineInfoList; }
    int32_t CheckVisibleIndex(int32_t Index, bool ToVisible) const;

    // --- painting
    // Paints the visible text, gutter and line numbers into a sink. Without a window the caller
    // passes the rectangle to paint; the memo paints nothing when it has no sink.
    void PaintTo(TMemoDrawSink& Sink, const RECT& UpdateRect);
    // The memo measures with these metrics instead of the font (headless layout and tests).
    void SetFixedMetrics(int32_t CharWidth, int32_t LineHeight);
    void InvalidateLines(int32_t First, int32_t Last, bool ParseOnly = false);
    bool NeedSyntaxPaint() const;
    // Whether the character lies in the source's found rectangle: lines top up to (not including)
    // bottom, characters left up to (not including) right.
    bool InFoundRect(int32_t Line, int32_t Char) const;
    void Refresh() { Invalidate(); }

    // --- scroll bars
    void UpdateScrollSize();
    void UpdateScrollPos();
    void UpdateMaxLine(bool Force = false);
    // Pixels per step of the horizontal bar: a character cell, or one pixel when the bar hides
    // itself and measures a wrap margin beyond the window or a proportional text's longest line.
    int32_t CharScrollSize();
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    // --- caret
    void UpdateCaret();
    bool UpdateCaretMode();
    int32_t GetCaretWidth();
    // The caret's size and how far below its row's top it starts (a smaller font on a taller line).
    void GetCaretSize(int32_t& Width, int32_t& Height, int32_t& BaseOffset);
    // The hint shown while the vertical thumb is dragged (null until the memo makes it).
    THSHint* PopupHint() const { return FPopupHint; }

    // --- mouse (MemoMouse.cpp)
    TMemoMouseState MouseState() const { return FMouseState; }
    // One step of selecting or block dragging towards the last mouse point; the selection timer
    // runs it every 30 ms, so a mouse held outside the window scrolls the text.
    void DoSelTimer();
    // Ends selecting or dragging (the selection stays); CancelDragging also clears it.
    void KillTimer();
    void CancelDragging();
    // Caret to the client point; a point right of a line's end puts the caret there.
    void SetPosByMouse(int32_t X, int32_t Y);
    bool PosInBlock(int32_t Line, int32_t Char);
    bool CheckMouseOnButton(int32_t X, int32_t Y, int32_t& Line);
    // True when the text position is on a URL (colour byte 12); unless OnlyTest, S gets the URL.
    bool IsUrlUnderPoint(POINT P, std::string& S, bool OnlyTest);
    bool MouseAtHotString(int32_t X, int32_t Y);
    // The word at a client point.
    std::string TextAtMousePoint(POINT P);
    // The gutter image slot under a client point, -1 when none.
    int32_t PointToImageIndex(int32_t X, int32_t Y);
    TCursor DragCursor() const { return FDragCursor; }
    // The cursor a running block drag shows (crNoDrop over the block, DragCursor elsewhere),
    // crDefault when no drag runs.
    TCursor DragShowCursor() const { return FDragShowCursor; }
    void SetDragCursor(TCursor Value) { FDragCursor = Value; }
    TCustomMemoSource::TWordSelectionType WordSelectionType() const { return FWordSelectionType; }
    void SetWordSelectionType(TCustomMemoSource::TWordSelectionType Value) { FWordSelectionType = Value; }

    // --- context menu (MemoMouse.cpp)
    bool UseDefaultMenu() const { return FUseDefaultMenu; }
    void SetUseDefaultMenu(bool Value) { FUseDefaultMenu = Value; }
    // Undo, -, Cut, Copy, Paste, Delete, -, Select All; made once, owned by the memo.
    TPopupMenu* GetDefaultMenu();
    // With UseDefaultMenu and no PopupMenu: updates the default menu's items and assigns it as
    // PopupMenu; true when it did (the caller sets PopupMenu back to none afterwards).
    bool CheckMenuPopup();
    bool CanPaste();
    // Opens the popup menu for a client point; a negative X means the keyboard (at the caret).
    void ContextMenu(POINT P);
    void UndoClick(TObject* Sender);
    void CutClick(TObject* Sender);
    void CopyClick(TObject* Sender);
    void PasteClick(TObject* Sender);
    void DeleteClick(TObject* Sender);
    void SelectAllClick(TObject* Sender);

    // --- completion list and hint box (MemoPopups.cpp)
    TStrings& PopupItems() { return *FPopupItems; }
    int32_t HintDelay() const { return FHintDelay; }
    void SetHintDelay(int32_t Value) { FHintDelay = Value; }
    TFont& TemplateFont() { return *FTemplateFont; }
    virtual bool ActivatePopupBox(int32_t& Kind);
    virtual bool PopupHintBox();
    bool PopupHintBoxEx(bool Flag);
    void ShowPopupHint(const std::string& Text, POINT ScreenPoint, bool Flag);
    void HidePopupHint();
    void ShowPopupListBox(TStrings& Items) { ShowPopupListBoxEx(Items, false, 0, true); }
    void ShowPopupListBoxEx(TStrings& Items, bool RightAligned, int32_t MaxWidth, bool Sizeable);
    void FreePopupListBox();
    virtual void ClosePopupListBox(WORD Key, TShiftState Shift) {
        (void)Key;
        (void)Shift;
    }
    // The open list (null when none).
    TMemoPopupList* PopupListBox() const { return FPopupList.get(); }
    bool PopupListVisible() const;
    virtual void HintCallBack(TObject* Sender, int32_t Index);
    virtual void InsertHint(const std::string& Text);
    virtual void HintInsert(std::string& S);
    virtual bool DoFindInPopupBox(TStrings* Items, const std::string& Text, int32_t& Index);
    void KillHintTimer();
    POINT HintPos() const { return FHintPos; }

    // --- code templates (MemoPopups.cpp)
    TStrings& TemplateList() { return *FTemplateList; }
    std::string GetTemplatesType() const;
    void SetTemplatesType(const std::string& Value);
    void ShowCodeTemplates();
    void CodeTemplCallBack(TObject* Sender, int32_t Index);
    virtual void MarkWordOnTemplate();
    virtual void TemplateInsert(TStrings* Strings);

    // --- per-character attributes (MemoAttributes.cpp)
    // Without a parser the memo gets an attribute parser of its own; with one, the attributes are
    // read at the caret or at the selection's start. Setting them formats the selection.
    TMemoAttributes& SelAttributes();
    void SetSelAttributes(TMemoAttributes* Value);

    // --- events
    TCollapseStateChanging OnCollapseStateChanging;
    TCollapseStateChanged OnCollapseStateChanged;
    THintPopupEvent OnHintPopup;
    THintInsertEvent OnHintInsert;
    TFindStringInPopupEvent OnFindStringInPopup;
    TStringsEvent OnTemplateInsert;
    TMemoChangeEvent OnStateChange;
    TNotifyEvent OnSelectionChange;
    TNotifyEvent OnChange;
    TClickGutterEvent OnClickGutter;
    TMemoScrollEvent OnMemoScroll;
    TVertScrollEvent OnVerticalScroll;
    TGetLineNumberEvent OnGetLineNumber;
    TGetColorStyleEvent OnGetColorStyle;
    TCustomStringEvent OnCustomString;
    TCustomDrawEvent OnCustomDraw;
    TDrawGutterEvent OnDrawGutter;
    TJumpToUrlEvent OnJumpToUrl;
    TCreateDialogEvent OnCreateDialog;

    void WndProc(TMessage& Message) override;
    // The key-map builder registered as "Default": the memo's own map.
    static void BuildDefaultKeyMap(TObject* Control);
    // After reading from a form: caret at the start, nothing to undo, not modified.
    void Loaded() override;
    // Memo-side view of the source's notification: state gathered in the bracket, changed lines.
    virtual void SourceChanged(TObject* Sender, TMemoStates State, int32_t First, int32_t Last);

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateHandleDone() override;
    void DestroyWnd() override;
    // Inserts typed bytes at the caret as typing one character does (overwrite, blocks, style).
    void InsertTyped(const std::string& Text);
    // The memo's window takes characters in Unicode form; see Memo.cpp.
    static LRESULT CALLBACK UnicodeWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
    uint16_t FHighSurrogate = 0;
    void Paint() override;
    void InitDefaultKeyMapping() override;
    bool InsertChar(char Ch) override;
    // A typed character the code page lacks (Unicode key input, an input method): UTF-8 where the
    // source holds its file's characters as UTF-8, else refused with a beep.
    void TypeUnicodeChar(uint32_t CodePoint);
    void KeyPress(char& Key) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    virtual TCustomMemoSource* CreateDefaultMemoSource();
    virtual void StateChanged(TMemoStates State);
    virtual void SelectionChanged();
    virtual void DoMemoScroll(TScrollStyle Style, int32_t Delta);
    virtual void VerticalScroll(int32_t Code);
    virtual void DoGetColorStyle(POINT P, int32_t& Style);
    virtual void DoCustomString(std::string& S, std::string& ColorS);
    // Whether DoCustomString may change a line; a descendant that overrides it answers true, else
    // wrapping measures lines by their stored text.
    virtual bool ChangesPaintedStrings() const { return bool(OnCustomString); }
    virtual bool DoPaintGutter(TMemoDrawSink& Sink, const RECT& Rect, TDrawStates State);
    virtual void DoClickGutter(int32_t Line, int32_t ImageIndex, TShiftState Shift);
    virtual void MemoJumpToUrl(const std::string& Url);
    virtual bool CollapseStateChanging(int32_t Line, bool Collapsed);
    virtual void CollapseStateChanged(int32_t Line, bool Collapsed);

private:
    friend class TMemoPainter;
    friend class TMemoPostionStore;
    void SourceNotify(TObject* Sender, int32_t First, int32_t Last);
    void BindSource(TCustomMemoSource* Source, bool Initial);
    void UnbindSource(TCustomMemoSource* Source);
    void InstallViewHandlers(TCustomMemoSource* Source);
    void GetNavigation(int32_t& DY, int32_t& DX);
    void FontOnChange();
    void FontChanged() override;
    void ColorChanged() override;
    void EnabledChanged() override;
    // TTextStyleHost
    TFont& HostFont() override { return Font(); }
    TColor HostColor() const override { return Color(); }
    void HostSetTextColors(TColor FontColor, TColor BackColor) override;
    void HostSetSelectionColors(TColor FontColor, TColor BackColor) override;
    void HostSetMatchColors(TColor FontColor, TColor BackColor) override;
    bool HostUseMonoFont() const override { return FUseMonoFont; }
    void HostParserChanged() override;
    void HostStylesUpdated(bool ParserWasChanged) override;
    // Painting pieces (MemoPaint.cpp).
    void PaintGutter(TMemoDrawSink& Sink, const RECT& Update);
    void PaintLineNumbers(TMemoDrawSink& Sink, const RECT& Update);
    void PaintGutterImages(TMemoDrawSink& Sink, const RECT& Update);
    void PaintLeftIndent(TMemoDrawSink& Sink, const RECT& Update);
    void RealPaint(TMemoDrawSink& Sink, const RECT& Update);
    void PaintRow(TMemoDrawSink& Sink, const RECT& Update, int32_t Line, int32_t RowStart, int32_t RowEnd,
                  bool LastRow, const std::string& S, const std::string& ColorS, int32_t Y, int32_t H,
                  int32_t Ascent, int32_t MarginX);
    int32_t StyleAt(const std::string& ColorS, int32_t Index, int32_t Line);
    // Fills with a colour, or, where the colour is the memo's and a picture is shown, with the picture.
    void FillBack(TMemoDrawSink& Sink, const RECT& R, TColor Color);
    // The part of a row after its text, offered to OnCustomDraw before and after it is filled.
    void FillAfterText(TMemoDrawSink& Sink, const RECT& R, TColor Fill, bool Selected, int32_t Line,
                       int32_t Char);
    void DoBoundsChanged();
    bool UsesColorData() const;
    TFont& RunFont(int32_t Style, bool& Upper);
    int32_t TextWidth(TFont& Font, const std::string& Text);
    int32_t MeasureChars(int32_t Line, const std::string& Text, const std::string& ColorS, int32_t From,
                         int32_t To);
    // Pixels from a row's start to a column of its line (space cells past the end of the text).
    int32_t RowWidthTo(int32_t Line, int32_t RowStart, int32_t Char);
    int32_t LineMetrics(int32_t Line, int32_t& Ascent);
    // Height of characters From..To of a painted line: the tallest ascent and descent of their
    // fonts and the memo's; Ascent 0 when the line has no colour data (all in the memo's font).
    int32_t RunMetrics(int32_t Line, const std::string& Text, const std::string& ColorS, int32_t From,
                       int32_t To, int32_t& Ascent);
    // FindWordBreak on a line's painted text (Len characters of it wrap); Plain is the line's own
    // text, whose characters decide where words end. Row receives the row's pixel size.
    int32_t FindWordBreakIn(int32_t Line, const std::string& Text, const std::string& ColorS,
                            const std::string& Plain, int32_t Len, int32_t& Pos, TWBPoint* Row);
    // The break and line-info records of one line whose painted text is longer than a row.
    void AddLineBreaks(int32_t Line, const std::string& Text, const std::string& ColorS,
                       const std::string& Plain, int32_t Len);
    TRowInfo FillRowInfo(int32_t Index, int32_t Line, int32_t Start);
    void StyleColors(int32_t Style, TFont*& Font, TColor& FontColor, TColor& BackColor);
    TColor CheckReadOnlyColor(TColor Value) const;
    void EnsureBookmarkGlyphs();
    int32_t ClientW();
    int32_t ClientH();
    void UpdateAveSize();
    void DoSetFocus();
    // The memo's own hint window (scroll hint, popup hint), made on first use.
    THSHint& EnsurePopupHint();
    void DoKillFocus();
    void CreateCaretNow();
    // PageDown (Down) or PageUp.
    void PageMove(bool Down);
    // Index of the character whose size the caret at C takes on a line of Len characters.
    int32_t CaretCharIndex(POINT C, int32_t Len);
    void QuickPaint(int32_t OldChar, int32_t OldLine);
    void ModifyScrollBar(int Kind, int Code, int32_t Pos);
    void MouseWheel(int Delta);
    // Mouse pieces (MemoMouse.cpp).
    void MoveCaretByMouse(POINT Target);
    void SetDragShowCursor(TCursor Value);
    bool DoSetCursor();
    bool WMSetCursor(TMessage& Message);
    void WMContextMenu(TMessage& Message);
    void WMRButtonUp(TMessage& Message);
    TCustomHSMemo* MemoUnderPoint(int32_t X, int32_t Y);
    void DropOnMemo(TCustomHSMemo& Target, int32_t X, int32_t Y, bool Copy);
    void PopupBoxKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    void PopupBoxKeyPress(TObject* Sender, char& Key);
    void CheckWBCount(bool Force);
    void CheckLastWrappedLine(int32_t Line);
    void WordWrapUpdated();
    int32_t GetRealLineIndex(int32_t Row);
    void ClearWrapRange(int32_t First, int32_t Last);
    void UpdateAll();
    bool HasFocus();
    int32_t VisibleRows();
    int32_t TextWidthForWrap();

    TCustomMemoSource* FDefaultSource = nullptr;
    TCustomMemoSource* FMemoSource = nullptr;
    TMemoOptions FOptions = kDefaultMemoOptions;
    bool FUseGlobalOptions = false;
    bool FWordWrap = false;
    bool FUseMonoFont = true;
    TClipboardType FClipboardType = cbNormal;
    bool FHideCaret = false;
    bool FHideSelection = false;
    int32_t FMarginPos = 80;
    int32_t FGutterWidth = 32;
    int32_t FGutterLineIndent = 0;
    int32_t FLeftIndent = 0;
    TAlignment FLineNumAlign = TAlignment::taRightJustify;
    TScrollStyle FScrollBars = TScrollStyle::ssNone;
    bool FHideScrollBars = false;
    int32_t FHorzMaxPos = 512;
    TBorderStyle FBorderStyle = TBorderStyle::bsSingle;
    TGutterImgsAlign FGutterImgsAlign = iaLeft;
    TColor FSelColor = clHighlightText, FSelBackColor = clHighlight;
    TColor FMatchColor = clLime, FMatchBackColor = clWindowText;
    TColor FDisabledColor = clGrayText, FReadOnlyColor = clWindow;
    TColor FLineNumColor = clWindowText, FLineNumBackColor = clWindow;
    TColor FGutterBackColor = clWindow, FGutterLineColor = clGray;
    TColor FLineBookmarkColor = clRed;

    std::unique_ptr<TBrush> FGutterBrush;
    std::unique_ptr<TPen> FMarginPen;
    std::unique_ptr<TLineSeparator> FLineSeparator;
    std::unique_ptr<TLineHighlight> FLineHighlight;
    std::unique_ptr<TSpecialSymbols> FSpecialSymbols;
    std::unique_ptr<TTextStyles> FTextStyles;
    std::unique_ptr<THSGutterImages> FGutterImgs;
    std::unique_ptr<TControlBackground> FMemoBackground;
    std::unique_ptr<TGutterBackground> FGutterBackground;
    // Set for the length of a paint when the memo background shows a picture or gradient.
    bool FPaintPicture = false;
    std::unique_ptr<TMemoPostionStore> FPositionStore;
    // The scroll hint; owned by the memo as a component.
    THSHint* FPopupHint = nullptr;
    std::unique_ptr<TWordWrapList> FWordWrapList;
    std::unique_ptr<TLineInfoList> FLineInfoList;

    int32_t FWinLine = 0;
    int32_t FWinChar = 0;
    int16_t FWheelAccumulator = 0;
    int32_t FAveLineHeight = 0;
    int32_t FAveCharWidth = 0;
    int32_t FFixedCharWidth = 0;
    int32_t FFixedLineHeight = 0;
    int32_t FLineNumDigits = 0;
    int32_t FLineNumWidth = 0;
    int32_t FWBCount = 0;
    int32_t FWrappedTo = 0;
    bool FLazyWrapping = false;
    // Wraps of the whole text, so that SetSource wraps a new text only when binding did not.
    int32_t FFullWrapCount = 0;
    bool FNavigating = false;
    int32_t FNavX = 0, FNavWinChar = 0;
    bool FNavValid = false;
    // Set while one of the memo's own vertical caret commands runs.
    bool FRowNavigation = false;
    int32_t FCaretWidth = 0, FCaretHeight = 0, FCaretOffset = 0;
    int32_t FLastCaretLine = -1, FLastCaretChar = -1;
    bool FCaretCreated = false;
    TMemoMouseState FMouseState = msmIdle;
    POINT FMousePoint{0, 0};
    POINT FLastMousePos{-1, -1};
    POINT FSelAnchor{0, 0};
    bool FMoveRight = true;
    bool FWordExtend = false;
    bool FWordAdjusted = false;
    DWORD FDblClickTick = 0;
    POINT FDblClickPoint{0, 0};
    bool FDblClickValid = false;
    bool FPressOnButton = false, FPressOnHotString = false, FPressInGutter = false;
    TCursor FSavedCursor = 0;
    bool FHandCursor = false;
    TCursor FDragCursor = crDrag;
    TCursor FDragShowCursor = crDefault;
    bool FUseDefaultMenu = true;
    TPopupMenu* FDefaultMenu = nullptr;
    TCustomMemoSource::TWordSelectionType FWordSelectionType = TCustomMemoSource::wsWordOnly;
    std::unique_ptr<TFont> FTemplateFont;
    std::unique_ptr<TStringList> FTemplateList;
    std::unique_ptr<TStringList> FPopupItems;
    std::unique_ptr<TMemoPopupList> FPopupList;
    int32_t FHintDelay = 500;
    POINT FHintPos{-1, -1};
    bool FHintTimerOn = false;
    std::unique_ptr<TMemoAttributes> FSelAttributes;
    std::unique_ptr<TAttributeParser> FOwnAttributeParser;
    bool FSavedBlockOptionValid = false;
    TBlockOption FSavedBlockOption = bkBoth;
    bool FRewrapOnParserChange = true;
    std::vector<int32_t> FCharSp;
};

// The gutter strip's picture or gradient, with the gutter's edge lines drawn into it.
class TGutterBackground : public TControlBackground {
public:
    explicit TGutterBackground(TCustomHSMemo* Memo) : TControlBackground(Memo), FMemo(Memo) {}
    RECT GetPaintRect() override;
    TBrush& GetPaintBrush() override;
    void PaintBackground() override;

private:
    TCustomHSMemo* FMemo;
};

// The published form; adds nothing but the class name that forms and other programs see.
class THSMemo : public TCustomHSMemo {
    ZEL_DECLARE_CLASS(THSMemo)
public:
    explicit THSMemo(TComponent* AOwner) : TCustomHSMemo(AOwner) {}
};

// Keeps each source's scroll and caret position while a memo shows another source.
class TMemoPostionStore {
public:
    void SavePosition(TCustomHSMemo& Memo);
    void RestorePosition(TCustomHSMemo& Memo);
    int32_t Count() const { return static_cast<int32_t>(FItems.size()); }
    // Drops the entry of a source that goes away.
    void Forget(TCustomMemoSource* Source);

private:
    struct TStoredPosition {
        TCustomMemoSource* Source;
        int32_t WinLine, WinChar;
        POINT Caret;
    };
    std::vector<TStoredPosition> FItems; // ordered by source identity
};
