#pragma once
// The text model of the code editor: lines, caret, selection, undo and redo, bookmarks,
// collapsed regions, colouring through an attached parser, loading and saving. Views never
// change the text themselves; they call the source and get one notification per outermost
// update bracket.

#include <bitset>
#include <climits>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "controls/foundation/NotifierList.h"
#include "controls/foundation/SimpleParser.h"
#include "controls/textmodel/LineStore.h"
#include "controls/textmodel/MemoPositions.h"
#include "framework/core/Component.h"
#include "controls/textmodel/TabRack.h"
#include "controls/textmodel/TextEncoding.h"
#include "controls/textmodel/UndoList.h"
#include "framework/core/Streams.h"
#include "framework/core/Strings.h"

enum TStringsOption : uint32_t {
    soBackUnindents = 1u << 0,
    soGroupUndo = 1u << 1,
    soBeyondFileEnd = 1u << 2,
    soForceCutCopy = 1u << 3,
    soAutoIndent = 1u << 4,
    soSmartTab = 1u << 5,
    soFindTextAtCursor = 1u << 6,
    soCreateBackups = 1u << 7,
    soPersistentBlocks = 1u << 8,
    soOverwriteBlocks = 1u << 9,
    soLimitEOL = 1u << 10,
    soUseTabCharacter = 1u << 11,
    soCursorOnTabs = 1u << 12,
    soOptimalFill = 1u << 13,
    soSelectFoundText = 1u << 14,
    soExcludeReadOnlyLines = 1u << 15,
    soCursorAlwaysOnTabs = 1u << 16,
    soUsePrevIndent = 1u << 17,
    soRetainColumn = 1u << 18,
};
using TStringsOptions = uint32_t;
constexpr TStringsOptions kDefaultStringsOptions = 635;

enum TMemoStateBit : uint16_t {
    msPositionChanged = 1u << 0,
    msEdited = 1u << 1,
    msUndo = 1u << 2,
    msBlockChanged = 1u << 3,
    msInsState = 1u << 4,
    msCountChanged = 1u << 5,
    msModifiedChanged = 1u << 6,
    msFoundRectChanged = 1u << 7,
    msObjNameChanged = 1u << 8,
    msNeedInvalidate = 1u << 9,
    msParserChanged = 1u << 10,
    msReadOnlyChanged = 1u << 11,
};
constexpr uint16_t kFullUpdateState = 1405;

enum TSelectionType : uint8_t { stNotSelected, stStreamSel, stBlockSel };
enum TBlockOption : uint8_t { bkStreamSel, bkBlockSel, bkNone, bkBoth };
enum TOutFormatType : uint8_t { ofWindows, ofMac, ofUnix };
enum TCollapseState : uint8_t { csCollapsed, csExpanded, csNone };

struct TPosition {
    int32_t Char = 0;
    int32_t Line = 0;
    // Positions with a change handler follow edits (block ends and tracked copies).
    bool Tracked = false;
    void SetPosition(int32_t c, int32_t l) {
        Char = c;
        Line = l;
    }
    bool SameAs(const TPosition& o) const { return Char == o.Char && Line == o.Line; }
};

struct TMemoRect {
    int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
    bool operator==(const TMemoRect& o) const {
        return Left == o.Left && Top == o.Top && Right == o.Right && Bottom == o.Bottom;
    }
};

class TCustomMemoSource;
class TStream;
struct TLoadedLines;

// The text of a source as a string list: a view, not a copy. Changes made through it cannot be
// undone (each clears undo and redo).
class TExternalStrings : public TStrings {
public:
    explicit TExternalStrings(TCustomMemoSource& source) : FSource(source) {}
    // Display text of a line (tabs expanded).
    std::string Get(int index) const override;
    int GetCount() const override;
    TObject* GetObject(int index) const override;
    void PutObject(int index, TObject* object) override;
    void Put(int index, const std::string& s) override;
    // Stored lines (tabs kept) joined by CR LF, no final line end.
    std::string GetText() const override;
    void SetText(const std::string& text) override;
    void Clear() override;
    void Delete(int index) override;
    void Insert(int index, const std::string& s) override;
    void Exchange(int, int) override {}
    void Assign(TPersistent* source) override;
    // Writes the stored lines with the source's line ends (see TCustomMemoSource::SaveToString).
    std::string SaveToString() const;
    void SaveToStream(TStream& stream) const override;

protected:
    void SetUpdateState(bool updating) override;

private:
    TCustomMemoSource& FSource;
};

// The selected text as a list of lines: a view, not a copy.
class TSelectionStrings : public TStrings {
public:
    explicit TSelectionStrings(TCustomMemoSource& source) : FSource(source) {}
    int GetCount() const override;
    std::string Get(int index) const override;
    // The stored colour bytes of the same cut.
    std::string GetColorData(int32_t index) const;
    // Deletes the block from the source; the selection cannot be changed line by line.
    void Clear() override;
    void Delete(int) override {}
    void Insert(int, const std::string&) override {}
    void Exchange(int, int) override {}

private:
    std::string Cut(int32_t index, bool colours) const;
    TCustomMemoSource& FSource;
};

class TCustomMemoSource : public TComponent {
    ZEL_DECLARE_CLASS(TCustomMemoSource)
public:
    using TNavigateHandler = std::function<void(int32_t& lineDelta, int32_t& charDelta)>;
    using TLineMeasureHandler = std::function<void(int32_t line, TStringItem& item)>;
    using TAfterParseHandler =
        std::function<void(int32_t line, const std::string& text, std::string& colorData)>;
    using TGetBackupNameEvent =
        std::function<void(TCustomMemoSource& sender, const std::string& fileName, std::string& backupName)>;

    explicit TCustomMemoSource(TComponent* owner = nullptr);
    ~TCustomMemoSource() override;

    static const std::vector<TCustomMemoSource*>& MemoSources();
    // Typing mode and the kind of the last clipboard selection: one of each for all sources.
    enum TClipSelection : uint8_t { cfStreamSel, cfBlockSel };
    static bool GetOverwrite() { return SharedOverwrite(); }
    static void SetOverwrite(bool value) { SharedOverwrite() = value; }
    static TClipSelection ClipSelection() { return SharedClipSelection(); }
    static void SetClipSelToStream() { SharedClipSelection() = cfStreamSel; }

    // --- notifications and update brackets
    // Views register a method (sender, first changed line, last changed line). With `initial` the
    // new view gets one full notification at once. A view that is a component is also told, through
    // its Notification, when the source goes.
    void RegisterNotifier(const THSNotifyEvent& method, bool initial);
    void UnregisterNotifier(const THSNotifyEvent& method);
    // The view that installed the navigation and line-measure handlers; cleared when it goes.
    TComponent* ActiveView = nullptr;
    void BeginUpdate(uint8_t reason);
    void BeginSafeUpdate(uint8_t reason);
    virtual void EndUpdate();
    void UpdateChanged(int32_t first, int32_t last);
    void UpdateChangedLines(int32_t first, int32_t last);
    void UpdateSavedPos();
    uint16_t MemoState = 0;
    int32_t UpdateCount() const { return FUpdateCount; }

    // --- properties
    TStringsOptions Options() const { return FOptions; }
    void SetOptions(TStringsOptions value);
    bool HasOption(TStringsOption o) const { return (FOptions & o) != 0; }
    const std::string& TabStops() const { return FTabs.TabStops(); }
    void SetTabStops(const std::string& value);
    const TTabRack& Tabs() const { return FTabs; }
    int32_t SpacesInTab() const { return FSpacesInTab; }
    void SetSpacesInTab(int32_t n) { FSpacesInTab = (n >= 1 && n <= 10) ? n : 8; }
    int32_t BlockIndent() const { return FBlockIndent; }
    void SetBlockIndent(int32_t n) { FBlockIndent = n < 0 ? 0 : n; }
    bool ReadOnly() const { return FReadOnly; }
    void SetROnly(bool value);
    virtual bool GetReadOnly() const { return FReadOnly; }
    TOutFormatType OutFormat() const { return FOutFormat; }
    // Choosing a format explicitly also drops the line ends remembered from a mixed file.
    void SetOutFormat(TOutFormatType value);
    bool KeepTrailingBlanks = false;
    TBlockOption BlockOption() const { return FBlockOption; }
    void SetBlockOption(TBlockOption value);
    const std::string& ObjectName() const { return FObjectName; }
    virtual bool ChangeObjectName(const std::string& name);
    // File part of the object name without its extension.
    std::string GetShortObjectName() const;

    // --- lines
    TInternalStrings& Strings() { return FStrings; }
    const TInternalStrings& Strings() const { return FStrings; }
    TExternalStrings& Lines() { return FLines; }
    TStrings* GetLinesProp() const { return const_cast<TExternalStrings*>(&FLines); }
    void SetLines(TStrings* list) { FLines.Assign(list); }
    // After streaming: an unmodified text with the caret at its start and nothing to undo.
    void Loaded() override;
    TSelectionStrings& Selection() { return FSelection; }
    int32_t GetStrCount() const { return FStrings.GetCount(); }
    TStringItem* GetStringItem(int32_t line) const { return FStrings.Item(line); }
    bool GetLineReadOnly(int32_t line) const;
    void SetLineReadOnly(int32_t line, bool value);
    bool GetImageBit(int32_t line, int32_t bit) const;
    void SetImageBit(int32_t line, int32_t bit, bool value);
    uint8_t GetLineTextStyle(int32_t line) const;
    void SetLineTextStyle(int32_t line, uint8_t style);
    bool SetLineState(int32_t first, int32_t last, uint8_t stateBit, bool value);

    // --- caret and selection
    const TPosition& Caret() const { return FCaret; }
    const TPosition& BlockBegin() const { return FBlockBegin; }
    const TPosition& BlockEnd() const { return FBlockEnd; }
    int32_t GetCurChar() const { return FCaret.Char; }
    int32_t GetCurLine() const { return FCaret.Line; }
    TSelectionType SelectionType() const { return FSelectionType; }
    void SetSelectionType(TSelectionType t);
    void SetSelectionRect(const TMemoRect& r);
    // Where the last search found its text; cleared by every outermost bracket.
    const TMemoRect& FoundRect() const { return FFoundRect; }
    void SetFoundRect(const TMemoRect& r);
    // Number of replacements the last replace command made.
    int32_t ReplacementCount = 0;
    void ClearSelection() { SetSelectionType(stNotSelected); }
    bool IsBlockEmpty() const;
    void CheckSelectionType(TSelectionType& t);
    TPosition* CopyPosition(const TPosition& p);
    void RestorePosition(TPosition* copy);
    void FreePosition(TPosition* copy);

    // --- shift-marking: the block follows the caret
    void UnivMark(const std::function<void()>& move, TSelectionType selType);
    bool IsValidBlockPos(int32_t chr, int32_t line) const;
    void MarkLeft() {
        UnivMark([this] { CursorLeft(); }, stStreamSel);
    }
    void MarkRight() {
        UnivMark([this] { CursorRight(); }, stStreamSel);
    }
    void MarkUp() {
        UnivMark([this] { CursorUp(); }, stStreamSel);
    }
    void MarkDown() {
        UnivMark([this] { CursorDown(); }, stStreamSel);
    }
    void MarkColLeft() {
        UnivMark([this] { CursorLeft(); }, stBlockSel);
    }
    void MarkColRight() {
        UnivMark([this] { CursorRight(); }, stBlockSel);
    }
    void MarkColUp() {
        UnivMark([this] { CursorUp(); }, stBlockSel);
    }
    void MarkColDown() {
        UnivMark([this] { CursorDown(); }, stBlockSel);
    }
    void MarkBriefRight() {
        UnivMark([] {}, stStreamSel);
    }
    void MarkBriefColRight() {
        UnivMark([] {}, stBlockSel);
    }

    // --- words
    const std::string& Delimeters() const { return FDelimeters; }
    void SetDelimeters(const std::string& text);
    // True when the character at 1-based `index` of `s` is a word delimiter (or lies outside `s`).
    bool InDelimSet(const std::string& s, int32_t index) const {
        return index < 1 || index > int32_t(s.size()) || FDelimSet[uint8_t(s[size_t(index - 1)])];
    }
    std::string GetTextAt(int32_t chr, int32_t line) const;
    std::string GetTextAtCursor() const { return GetTextAt(FCaret.Char, FCaret.Line); }
    std::string CorrectTextAt(int32_t chr, int32_t line) const;

    // --- justify: widens the gaps between words so the text reaches `width`
    static std::string ExpandString(const std::string& s, int32_t width);
    static void ExpandStrings(std::vector<std::string>& list, int32_t width);

    // Asks the view's navigation handler for the indent of a new line.
    int32_t GetMemoIndent(int32_t indent);
    bool IndentMode() const { return FIndentMode; }

    // Inserts text that may hold line ends at the caret and leaves the caret after it.
    void InsertText(const std::string& text);
    // Inserts lines at the caret, each with its colour bytes where `colorLines` has them (missing
    // ones are plain text), and leaves the caret after them.
    void InsertLines(const std::vector<std::string>& lines, const std::vector<std::string>& colorLines);

    // A line shown in another style until the next change of the source.
    void TempHighlightLine(int32_t line, uint8_t style);
    void TempUnhighlightLine();

    // --- undo
    bool AllowUndo() const { return FAllowUndo; }
    void SetAllowUndo(bool value);
    int32_t UndoLimit() const { return FUndoLimit; }
    void SetUndoLimit(int32_t n);
    bool UndoAvailable() const { return !CurrentUndoList().Empty(); }
    bool RedoAvailable() const { return !CurrentRedoList().Empty(); }
    void Undo();
    void Redo();
    void BeginUndoBlock() { ++FUndoBlockCount; }
    void EndUndoBlock();
    void ClearUndoBuffer();
    void ClearRedoBuffer() { CurrentRedoList().Clear(); }
    bool Modified() const { return FModified; }
    void SetModified(bool value);
    void CheckModified(bool value) { SafeCheckModified(value, true); }
    bool IsSourceModified() const;
    const TUndoList& UndoList() const { return FUndoList; }
    const TUndoList& RedoList() const { return FRedoList; }

    // --- primitives
    virtual void Navigate(int32_t lineDelta, int32_t charDelta);
    virtual bool Insert(const std::string& text);
    int32_t InsertEx(const std::string& text, const std::string& colorData);
    virtual void BreakLine();
    virtual void JoinLines();
    virtual void DeleteRight(int32_t count);
    void DiscardTrailingTabs(bool byDelete);
    // A text that is one empty line becomes no lines at all.
    void DeleteLastEmptyLine();
    bool AfterLastLine() const { return FCaret.Line >= GetStrCount(); }
    bool ReadOnlyLine() const { return GetReadOnly() || GetLineReadOnly(FCaret.Line); }
    bool ReadOnlyNextLine() const { return GetReadOnly() || GetLineReadOnly(FCaret.Line + 1); }

    // --- caret movement
    void CursorUp() { Navigate(-1, 0); }
    void CursorDown() { Navigate(1, 0); }
    void CursorLeft();
    void CursorRight();
    void TabCursorLeft();
    void TabCursorRight();
    void JumpTo(int32_t chr, int32_t line);
    void JumpToChar(int32_t chr) { JumpTo(chr, FCaret.Line); }
    void JumpToLine(int32_t line) { JumpTo(FCaret.Char, line); }
    void JumpToFileBegin() { JumpTo(0, 0); }
    void JumpToFileEnd();
    void JumpToLineBegin() { JumpTo(0, FCaret.Line); }
    void JumpToLineEnd();
    void ResetPositions();
    std::string GetSpecialString(int32_t line, bool special, char tabChar, char spaceChar) const;

    // --- tabs
    std::string ExpandTabString(const std::string& s) const { return FTabs.Expand(s); }
    int32_t GetRealTabIndex(const std::string& s, int32_t col) const { return FTabs.RealIndex(s, col); }
    int32_t GetRelativeTabIndex(const std::string& s, int32_t index) const {
        return FTabs.RelativeIndex(s, index);
    }
    bool GetTabDelta(int32_t chr, int32_t line, int32_t& delta, bool forward) const;

    // --- bookmarks and collapsed blocks
    TMemoBookMarkList& BookMarks() { return FBookMarks; }
    TVisibleLinesList& VisibleLines() { return FVisibleLines; }
    bool GetLineVisible(int32_t line) const;
    int32_t RealToVisibleIndex(int32_t real) const { return FVisibleLines.RealToVisibleIndex(real); }
    int32_t VisibleToRealIndex(int32_t visible) const { return FVisibleLines.VisibleToRealIndex(visible); }
    TCollapseState GetCollapseState(int32_t line) const;
    void SetCollapseState(int32_t line, TCollapseState state);
    void SetLineVisible(int32_t line, bool visible);
    void ExpandPrevLine(int32_t line);

    // --- colouring
    TSimpleParser* SyntaxParser() const { return FParser; }
    void SetSyntaxParser(TSimpleParser* parser);
    // The method registered with the attached parser.
    virtual void ParserOnChange(TObject* sender, int32_t a, int32_t b);
    bool StoreColorData() const { return FParser && FParser->StoreColorData(); }
    // Puts `bytes` into the stored colour data of `line` from 1-based `pos`, as one undoable change
    // (a parser whose colours are data, not computed from the text, formats text this way).
    void ReplaceColorData(int32_t line, int32_t pos, const std::string& bytes);
    void ParseStrings(int32_t first, int32_t last, bool force);
    void ParseToString(int32_t line, bool force);
    // The reference stays valid until the text or its colours change.
    const std::string& GetColorData(int32_t line);
    // The colour data with one byte per displayed column: a tab's byte is repeated over its expansion.
    std::string GetStoredColorData(int32_t line);
    bool UpdateString(int32_t line);
    void ParserChanged();
    uint8_t GetAttr(int32_t chr, int32_t line);
    int32_t GetMaxLen(int32_t line);
    void ReCalculateMaxLine();
    void UpdateMaxLine();
    int32_t MaxLineIndex() const { return FMaxLineIndex; }
    int32_t MaxLineLength() const { return FMaxLineLength; }
    // Whether UpdateMaxLine switched the tracking of the longest line on.
    bool MaxLineTracked() const { return FMaxLineEnabled; }
    int32_t FirstUnparsedLine() const { return FFirstUnparsed; }
    int32_t InitialParserState = 0;
    int32_t CarriedStyle = -1;
    bool CarriedStyleFresh = false;
    bool ImportFlag = false;

    // --- loading and saving
    void LoadFromFile(const std::string& fileName) { DoLoadFromFile(fileName); }
    void QuickLoadFromFile(const std::string& fileName) { DoLoadFromFile(fileName); }
    void LoadFromString(const std::string& data);
    // Takes lines cut beforehand (see TextLoading.h) as a load of their text; `lines` is left empty.
    void LoadLines(TLoadedLines& lines);
    // Streams carry a file's bytes: they are decoded and encoded as files are (TextEncoding.h).
    void LoadFromStream(TStream& stream);
    void SaveToStream(TStream& stream) const { stream.WriteString(SaveToFileData()); }
    void LoadFromStrings(const std::vector<std::string>& list);
    // True when the last load had to change the text (tabs converted, trailing blanks cut). The
    // load still leaves the source unmodified: nothing was edited, so closing asks nothing.
    bool LoadAltered() const { return FLoadAltered; }
    // Whether the last written line ends with a line end. A load sets it from the file; until then
    // it follows the format (none after the last line for ofWindows, one otherwise).
    enum TFinalLineEnd : uint8_t { fleAuto, fleYes, fleNo };
    TFinalLineEnd FinalLineEnd = fleAuto;
    // Refuses a read-only file. An existing file takes the new text in place, keeping its
    // attributes and permissions; the previous text goes to the backup name with soCreateBackups.
    void SaveToFile(const std::string& fileName);
    // The text as the source holds it (code-page characters, or UTF-8 bytes; see FileEncoding).
    std::string SaveToString() const;
    // The text as its file's bytes.
    std::string SaveToFileData() const;
    // How the text was decoded from its file, and so how it is written back. Every load sets it;
    // a text not loaded from a file is code-page text.
    const TFileEncoding& FileEncoding() const { return FFileEncoding; }
    void SetFileEncoding(const TFileEncoding& encoding) { FFileEncoding = encoding; }
    virtual std::string GetBackupName(const std::string& fileName);
    TGetBackupNameEvent OnGetBackupName;

    // Handlers a view installs.
    TNavigateHandler NavigateHandler;
    TLineMeasureHandler LineMeasureHandler;
    TAfterParseHandler AfterParseHandler;
    bool ForcedMove = false;
    bool Reveal = false;

protected:
    void Notification(TComponent* component, TOperation operation) override;
    virtual void DoLoadFromFile(const std::string& fileName);
    virtual void DoSaveToFile(const std::string& fileName);
    virtual void AfterParse(int32_t line, const std::string& text, std::string& colorData);

private:
    static bool& SharedOverwrite() {
        static bool value = false;
        return value;
    }
    static TClipSelection& SharedClipSelection() {
        static TClipSelection value = cfStreamSel;
        return value;
    }
    friend class TExternalStrings;
    friend class TSelectionStrings;

    // Puts `src` into `dest` at 1-based `pos`, recording the bytes it replaces for undo.
    void MoveColorData(const std::string& src, std::string& dest, int32_t pos, int32_t line);
    void ColorDataChanged(const std::string& old, int32_t line, int32_t pos);

    TUndoList& CurrentUndoList() { return FSwapped ? FRedoList : FUndoList; }
    TUndoList& CurrentRedoList() { return FSwapped ? FUndoList : FRedoList; }
    const TUndoList& CurrentUndoList() const { return FSwapped ? FRedoList : FUndoList; }
    const TUndoList& CurrentRedoList() const { return FSwapped ? FUndoList : FRedoList; }
    TUndoRecord* CreateNewUndoRecord(TStringsOperation op);
    void CheckUndoLimit();
    void ReplayRecord(const TUndoRecord& rec);
    void SafeCheckModified(bool value, bool notify);
    // A change that leaves no undo record (through Lines, loading) still gives the text a new identity.
    void TextChangedOutsideUndo() { FTextState = ++FStateCounter; }

    void NotifyEvents(int32_t first, int32_t last);
    void UpdatePositions(TStringsOperation op, int32_t delta);
    void MarkBlockLines(int32_t fromLine, int32_t toLine);
    void CheckStringItem(TStringItem& item) const;
    void ExpandTabsOnLoad(std::string& s) const;
    void MarkUrls(int32_t line, const std::string& text, std::string& colorData);
    void CheckCollapsed(int32_t line);
    void LineLengthChanged(int32_t line, bool endStateChanged);
    void LinesDeletedFromStore(int32_t line);
    void StoreLoadedText(TLoadedLines& lines);

    TInternalStrings FStrings;
    TExternalStrings FLines{*this};
    TSelectionStrings FSelection{*this};
    std::string FDelimeters;
    std::bitset<256> FDelimSet;
    bool FIndentMode = false;
    int32_t FTempLine = 0;
    uint8_t FTempStyle = 0;
    TTabRack FTabs;
    TStringsOptions FOptions = kDefaultStringsOptions;
    int32_t FSpacesInTab = 8;
    int32_t FBlockIndent = 1;
    bool FReadOnly = false;
    TOutFormatType FOutFormat = ofWindows;
    TBlockOption FBlockOption = bkBoth;
    std::string FObjectName, FPrevObjectName;

    TNotifierList FNotifiers;
    bool FDestroying = false;

    // Update bracket.
    int32_t FUpdateCount = 0;
    uint8_t FReason = 0;
    int32_t FFirstChanged = INT_MAX, FLastChanged = -INT_MAX;
    int32_t FStartCount = 0;
    bool FStartModified = false;
    TPosition FStartCaret, FStartBlockBegin, FStartBlockEnd;
    TSelectionType FStartSelectionType = stNotSelected;
    TMemoRect FFoundRect, FStartFoundRect;
    int32_t FLastReparsed = -1;
    bool FSafeSaved = false;
    TSelectionType FSafeSelectionType = stNotSelected;
    TPosition FSafeBlockBegin, FSafeBlockEnd, FSafeCaret;

    // Positions.
    TPosition FCaret;
    TPosition FBlockBegin{0, 0, true};
    TPosition FBlockEnd{0, 0, true};
    std::vector<std::unique_ptr<TPosition>> FCopies;
    TSelectionType FSelectionType = stNotSelected;
    int32_t KeepSelection = 0;

    // Undo.
    TUndoList FUndoList, FRedoList;
    bool FSwapped = false;
    bool FAllowUndo = true;
    int32_t FUndoLimit = 0;
    int32_t FUndoBlockCount = 0;
    bool FStepStart = false;
    bool FModified = false;
    int64_t FStateCounter = 0;
    int64_t FTextState = 0;
    int64_t FSavedState = 0;
    const TUndoRecord* FReplaying = nullptr;
    bool FLoading = false;
    bool FLoadAltered = false;
    TFileEncoding FFileEncoding;
    // Set once a caller chose the output format; loading then keeps it instead of detecting one.
    bool FOutFormatChosen = false;

    // Edits.
    std::string FPendingColorData;
    bool FHasPendingColorData = false;
    int32_t FInsertWidth = 0;
    TMemoBookMarkList FBookMarks;
    TVisibleLinesList FVisibleLines;

    // Colouring.
    TSimpleParser* FParser = nullptr;
    bool FHighlightUrls = false;
    int32_t FFirstUnparsed = 0;
    bool FNoStore = false;
    bool FMaxLineEnabled = false;
    int32_t FMaxLineLength = 0;
    int32_t FMaxLineIndex = -1;
    bool FCopyingToClipboard = false;

public:
    bool HighlightUrls() const { return FHighlightUrls; }
    void SetHighlightUrls(bool value);
    // Set while a command wants the selection kept over caret moves.
    int32_t& SelectionKeeping() { return KeepSelection; }

    // --- find and replace (FindReplace.cpp, in zel_textmodel_cmds; not virtual, so that the core
    // library links without it); the search options are shared by all sources
    // The rectangle of the last match, as views mark it; cleared when an outer bracket opens.
    TMemoRect& FoundRect() { return FFoundRect; }
    bool Find();
    bool Replace();
    bool FindNext();
    void KeyFindNext() { FindNext(); }
    void KeyReplace() { Replace(); }
    static void ToggleCaseSensitiveSearch();
    static void ToggleRegularExprSearch();
    bool InternalFind(int32_t& len);
    bool InternalReplace();
    // True when the message needs no box; an OnSearchException handler may change the answer.
    bool HandleSearchException(const std::string& message);
    void BeforeFindReplace(bool isReplace);

    // --- numbered bookmarks 1 to 10 (BookmarkCommands.cpp); keyboard bookmark 0 is number 10,
    // number 0 is no bookmark and every command ignores it
    void SetBookmark(int32_t n);
    void ClearBookmark(int32_t n);
    void ToggleBookMark(int32_t n);
    void ToggleBookMarkForLine(int32_t n, int32_t line);
    void GoToBookmark(int32_t n);
    void ToggleBookMark0() { ToggleBookMark(10); }
    void ToggleBookMark1() { ToggleBookMark(1); }
    void ToggleBookMark2() { ToggleBookMark(2); }
    void ToggleBookMark3() { ToggleBookMark(3); }
    void ToggleBookMark4() { ToggleBookMark(4); }
    void ToggleBookMark5() { ToggleBookMark(5); }
    void ToggleBookMark6() { ToggleBookMark(6); }
    void ToggleBookMark7() { ToggleBookMark(7); }
    void ToggleBookMark8() { ToggleBookMark(8); }
    void ToggleBookMark9() { ToggleBookMark(9); }
    void GoToBookMark0() { GoToBookmark(10); }
    void GoToBookMark1() { GoToBookmark(1); }
    void GoToBookMark2() { GoToBookmark(2); }
    void GoToBookMark3() { GoToBookmark(3); }
    void GoToBookMark4() { GoToBookmark(4); }
    void GoToBookMark5() { GoToBookmark(5); }
    void GoToBookMark6() { GoToBookmark(6); }
    void GoToBookMark7() { GoToBookmark(7); }
    void GoToBookMark8() { GoToBookmark(8); }
    void GoToBookMark9() { GoToBookmark(9); }
    // Column and line of bookmark n; (-1, -1) and false when it is not set.
    bool FindBookMark(int32_t n, int32_t& chr, int32_t& line) const;
    void FSetBookMark(int32_t line, int32_t n);
    int32_t FGetBookmark(int32_t line) const;
    int32_t NextBookmarkNumber() const;
    void UpdateGutterImg(int32_t line);
    void ClearImageBit(int32_t line);

    // --- block commands (MemoBlocks.cpp)
    enum TWordSelectionType : uint8_t { wsWordOnly, wsWordWithSpace, wsUntilNextWord };
    void MarkBlockBegin();
    void MarkBlockEnd();
    void SetSelection(TSelectionType type, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    void SelectAll();
    void MarkLine();
    void MarkWord() { MarkWordWithType(wsWordOnly); }
    void MarkWordWithType(TWordSelectionType type);
    // 1-based bounds of the word around display column x; an empty line gives 0, 0.
    void WordBounds(int32_t x, int32_t line, TWordSelectionType type, int32_t& start, int32_t& end) const;
    void JumpToBlockBegin();
    void JumpToBlockEnd();
    // The selected display columns of a line (end excluded).
    void SelectionBounds(int32_t line, int32_t& startX, int32_t& endX) const;
    bool IsPosInBlock(int32_t x, int32_t line) const;
    bool CanCopy() const { return FSelectionType != stNotSelected && !IsBlockEmpty(); }
    static bool CanPaste();
    // Deletes a selected block when block overwriting is on; true when it did.
    bool CheckOverwriteBlock();
    // Defined with the core model (MemoSelection.cpp), since the selection view needs it.
    void DeleteBlock();
    // Deletes the whole text as one undoable step and puts the caret at 0,0.
    void Clear();
    void CopyBlock();
    // True while this source puts its own block on the clipboard (a collecting source skips it).
    bool CopyingToClipboard() const { return FCopyingToClipboard; }
    void CutBlock();
    void PasteBlock();
    void DuplicateBlock();
    void MoveBlock() { MoveBlockEx(true); }
    void CopyBlockToPos() { MoveBlockEx(false); }
    void MoveBlockEx(bool deleteFirst);
    // Lines inserted at the caret, as stream or column text; the inserted text becomes the block.
    void PasteBlockFromStrings(const std::vector<std::string>& lines, bool columnBlock) {
        PasteBlockFromStringsEx(lines, {}, columnBlock);
    }
    // As PasteBlockFromStrings, every line with its colour bytes where `colorLines` has them.
    void PasteBlockFromStringsEx(const std::vector<std::string>& lines,
                                 const std::vector<std::string>& colorLines, bool columnBlock);
    // As PasteBlockFromStrings, with tabs expanded first unless tab characters are in use.
    void InsertStrings(const std::vector<std::string>& lines, bool columnBlock);
    void QuoteBlock();
    std::vector<std::string> BlockLines() const;
    // Applies `routine` to every line of the block and puts the lines back as the block.
    void DoWithBlockStr(uint8_t reason, bool restoreCaret,
                        const std::function<std::string(const std::string&)>& routine);

    // --- editing commands (EditCommands.cpp)
    void DeleteCharLeft();
    void DeleteCharRight();
    void DeleteLine();
    void DeleteToLineBegin();
    void DeleteToLineEnd();
    void JumpWordRight();
    void JumpWordLeft();
    void PressEnter();
    void PressTab();
    void PressShiftTab();
    int32_t GetSmartTabPos(int32_t stopIndex, int32_t x, int32_t line);
    // Width of the line's leading blanks when greater than x, else -1.
    int32_t GetFirstNonSpaceChar(int32_t line, int32_t x) const;
    void IndentBlock();
    void OutDentBlock();
    // Text that Tab and Shift+Tab put before or take from every block line; empty: BlockIndent blanks.
    std::string BlockIndentText;
    void UpperCaseBlock();
    void LowerCaseBlock();
    void CapitalizeBlock();
    void ToggleBlockCase();
    void UpperCaseLine();
    void LowerCaseLine();
    void CapitalizeLine();
    void ToggleLineCase();
    void UpperCaseWord();
    void LowerCaseWord();
    void CapitalizeWord();
    void ToggleWordCase();
    void InsertString(const std::string& text);
    void ChangeBlockTo(const std::string& text);
    // Pads every line with blanks to the longest line's length, as one undo step.
    void JustifyText();
    bool IsSyntaxParser() const;
    bool NextBracket();
    bool PrevBracket();
    bool FindNextBracket();
    // The matching bracket after (or before) the one at `point`; moves the caret there when asked.
    bool FindCloseBracket(char bracket, bool moveCaret, int32_t& chr, int32_t& line);
    bool FindOpenBracket(char bracket, bool moveCaret, int32_t& chr, int32_t& line);
    // 1-based position of the next (or previous) occurrence of `word` in the line, skipping strings
    // and comments of a language parser; 0 when none.
    int32_t FindWord(const std::string& word, int32_t chr, int32_t line, bool forward, bool wholeWord);
    void DeleteWordRight();
    void DeleteWordLeft();
    void DeleteWord();
    void InsertLine();
    void MarkToLineEnd() {
        UnivMark([this] { JumpToLineEnd(); }, stStreamSel);
    }
    void MarkToLineBegin() {
        UnivMark([this] { JumpToLineBegin(); }, stStreamSel);
    }
    void MarkToFileBegin() {
        UnivMark([this] { JumpToFileBegin(); }, stStreamSel);
    }
    void MarkToFileEnd() {
        UnivMark([this] { JumpToFileEnd(); }, stStreamSel);
    }
    void MarkWordRight() {
        UnivMark([this] { JumpWordRight(); }, stStreamSel);
    }
    void MarkWordLeft() {
        UnivMark([this] { JumpWordLeft(); }, stStreamSel);
    }
    void MarkColToLineEnd() {
        UnivMark([this] { JumpToLineEnd(); }, stBlockSel);
    }
    void MarkColToLineBegin() {
        UnivMark([this] { JumpToLineBegin(); }, stBlockSel);
    }
    void MarkColToFileBegin() {
        UnivMark([this] { JumpToFileBegin(); }, stBlockSel);
    }
    void MarkColToFileEnd() {
        UnivMark([this] { JumpToFileEnd(); }, stBlockSel);
    }
    void MarkColWordRight() {
        UnivMark([this] { JumpWordRight(); }, stBlockSel);
    }
    void MarkColWordLeft() {
        UnivMark([this] { JumpWordLeft(); }, stBlockSel);
    }
    void SetBlockAsColBlock();
    void SetBlockAsLineBlock();
    // Date and time in the short formats of the clock and locale seams; a new GUID as "['{...}']".
    void InsertDate();
    void InsertTime();
    void InsertGUID();
    // The overwrite mode is shared by all sources; a change notifies this source's views.
    void SetOverwriteMode() { ChangeOverwrite(true); }
    void SetInsertMode() { ChangeOverwrite(false); }
    void ToggleInsMode() { ChangeOverwrite(!GetOverwrite()); }
    void ChangeOverwrite(bool value);
    // The block's lines, joined by CR LF, to a stream; nothing without a block.
    void WriteBlockToStream(TStream& stream);
    void ReadBlockFromStream(TStream& stream) { ReadBlockFromStreamEx(stream, false); }
    void ReadBlockFromStreamEx(TStream& stream, bool columnBlock);
    void WriteBlockToFile(const std::string& fileName);
    void ReadBlockFromFile(const std::string& fileName);
    // Marks from the caret up to the next word's start (on delimiters), else to the end of the word
    // under the caret with one following blank, or through the following delimiters.
    void CorrectMarkWordRight();
    void CorrectDeleteWordRight();
    // Pads the block's lines with blanks to the longest and puts them back as the block.
    void JustifyBlock();
    // Each tab becomes blanks up to the next multiple of `spacesInTab`.
    static std::string ExpandTabs(const std::string& text, int32_t spacesInTab);
    // Lines about to be pasted; the handler may change them.
    std::function<void(TCustomMemoSource& sender, std::vector<std::string>& lines)> OnPasteFromClipboard;

    // --- view hooks
    // Saves the document; descendants that keep it elsewhere override it. A source without a file
    // name has nowhere to save and raises.
    virtual void Save();
    // A view's Escape key.
    virtual void ProcessEscape() {}
    // Whether a view may go on handling a focus or double-click message (the window message).
    virtual bool MemoNotify(TObject* view, uint32_t message) {
        (void)view;
        (void)message;
        return true;
    }

    // --- source services (BookmarkCommands.cpp)
    // For a named source with unsaved changes asks " Save changes to %s ?": Yes saves, No keeps,
    // both answer true; Cancel answers false. Other sources answer true.
    bool SaveWithQuestion();
    static TCustomMemoSource* MemoSourceByName(const std::string& name);
    // With soExcludeReadOnlyLines: the lines (of the block, or all) that are not read-only.
    void AssignLines(TStrings* lines, bool selectedOnly);
    // The text from (or into) a string property of an object; with no object the text is cleared.
    // Raises EPropertyError for a property the object does not have.
    void LoadFromProp(TObject* object, const std::string& propName);
    void SaveToProp(TObject* object, const std::string& propName);
};

// The published form: its properties are streamed in the order of its property table.
class TMemoSource : public TCustomMemoSource {
    ZEL_DECLARE_CLASS(TMemoSource)
public:
    using TCustomMemoSource::TCustomMemoSource;
};
