#pragma once
// One open document: its names, its text model, the engine's results handle and the messages
// read from it, the file time and size seen at the last load or save, and a few state words.

#include "engine/utils/IntStore.h"
#include "engine/utils/PointerArrayManager.h"
#include "engine/utils/StrStore.h"

#include <windows.h>

#include <cstdint>
#include <string>

class TCustomMemoSource;
class TTabControl;
class msginfoclass;

// Document kind codes, chosen from the file extension.
enum DocumentKind : int32_t {
    KindHTML = 1,
    KindC = 2,
    KindPascal = 3,
    KindPerl = 4,
    KindJava = 5,
    KindVBScript = 6,
    KindOther = 7,
    KindText = 8,
    KindSQL = 9,
    KindNoExtension = 10,
    KindCSS = 11,
};

// Slots of the messages list's counters.
enum MessageCounter : int32_t {
    CountMessages = 0,
    CountListedErrors = 1,
    CountListedWarnings = 2,
    CountListedMessages = 3,
    CountListedComments = 4,
    CountGroupAErrors = 5,
    CountGroupBErrors = 9,
    CounterSlots = 13,
};

class fileinfoclass {
public:
    fileinfoclass(PointerArrayManager* sharedList, PointerArrayManager* documentList);
    ~fileinfoclass();
    fileinfoclass(const fileinfoclass&) = delete;
    fileinfoclass& operator=(const fileinfoclass&) = delete;

    StrStore fileName{"[Untitled]"};
    StrStore secondName;
    StrStore tempFile;
    int32_t sourceType = 0;                    // 0 never saved, 1 a file on disk
    TCustomMemoSource* memoSource = nullptr;   // owned
    TCustomMemoSource* outputSource = nullptr; // owned, made on demand
    void* resultsList = nullptr;
    void* secondList = nullptr;
    void* thirdList = nullptr;
    void* resultsPages = nullptr;
    int32_t tabIndex = -1;
    int32_t stateWords[2] = {-1, -1};
    int32_t kind = KindOther;
    uint32_t flags = 0; // 2 browser source, 4 keep the kind of a nameless document
    int32_t listPositions[2] = {-1, -1};
    PointerArrayManager* sharedList = nullptr;
    PointerArrayManager* messages = nullptr; // msginfoclass*, owned
    PointerArrayManager* documentList = nullptr;
    int32_t forcedKind = -1;
    int32_t displayWords[2] = {3, 33};
    int32_t sortState = 0;
    IntStore positions;
    int32_t spare = 0;
    PointerArrayManager* groupA = nullptr; // StrStore*, owned
    PointerArrayManager* groupB = nullptr;
    int32_t resultsHandle = -1;
    FILETIME fileTime{};
    int32_t fileTimeValid = 0;
    int32_t fileSize = 0;
    int32_t lastModifiedState = -1;
    // Undo of tool runs: the slot of the replaced record in the undo list.
    int32_t undoSlot = -1;
    PointerArrayManager* undoList = nullptr;
    fileinfoclass* undoNext = nullptr;
    // The reason of the last failed load or save, for the caller's box.
    std::string lastError;
    // The messages list matches the results handle (any change of the list clears it).
    bool messagesValid = false;
    // The results handle whose messages the list view shows while its Tag names this record.
    int32_t listedResultsHandle = -1;

    // Names. The pointer lies in a shared buffer valid until the next call, or in the record.
    const char* GetName(int32_t flags);
    static StrStore QuoteFileName(const char* name, int32_t flags);
    bool IsDiskFile() const { return sourceType == 1 && (flags & 2) == 0; }
    bool IsEditable() const;
    bool IsReadOnly() const;
    bool IsValidatable() const { return kind == KindHTML || kind == KindCSS; }

    int32_t CheckChangedOnDisk(int32_t flags);
    // The record holds the file time and size of its file (CheckChangedOnDisk with flag 1 forgets
    // them once the file has gone).
    bool KnowsFileTime() const {
        return fileTimeValid || fileSize || fileTime.dwLowDateTime || fileTime.dwHighDateTime;
    }
    // The document's file has characters that the editor shows as their bytes (TextEncoding.h).
    bool HasUnshownCharacters() const;
    int32_t LoadFromFile(const char* name, int32_t flags);
    int32_t Reload(int32_t flags);
    // Writes the text. 0 on success; -1 when the write failed (lastError says why; the document,
    // its names and its modified state are as they were).
    int32_t SaveToFile(const char* name, int32_t flags);
    // Saves under the document's own name and marks it unchanged; -1 as SaveToFile.
    int32_t Save();
    // Saves under a new name and only then takes that name and marks the document unchanged; on
    // failure (-1) the document keeps its old name and stays modified.
    int32_t SaveAs(const char* name);
    int32_t SetFileTime(const char* name);
    void SetFlags(uint32_t bits, bool on);
    void SetReadOnly(bool on);
    int32_t SetModifiedState(int32_t mode);
    int32_t UpdateSyntaxParser(int32_t flags);
    static int32_t UpdateAllSyntaxParsers(PointerArrayManager* list);
    void ApplyEditorOptions(TCustomMemoSource* source, int32_t flags);
    static int32_t ClearLineStyles(TCustomMemoSource* source);
    int32_t Assign(fileinfoclass* other, int32_t flags);
    static fileinfoclass* FindFileInfoBySource(PointerArrayManager* list, TCustomMemoSource* source,
                                               int32_t flags);
    static int32_t AreAllFilesSaved(PointerArrayManager* list);
    static int32_t GetFileKind(const char* name, int32_t flags);
    int32_t LoadRunText(int32_t handle, int32_t flags);
    int32_t SetResultsHandle(int32_t handle, int32_t flags);

    // Results (MessageInfo.cpp).
    int32_t BuildMessageList(int32_t flags);
    int32_t GetMessageCount(int32_t flags);
    int32_t GetLinkCount(int32_t handle, int32_t flags);
    int32_t GetStructureTarget(int32_t index, int32_t flags);
    int32_t SetLineText(msginfoclass* message, int32_t flags);
    int32_t UpdateMessageLines(int32_t flags);
    int32_t AssignBookmarks();
    int32_t ColourMessageLines();
    int32_t ShowLinks(int32_t) { return 0; }
    // Puts the listed messages into the document's list view (resultsList), sorted by sortState.
    // Flag 1 first moves the lines with their bookmarks, flag 2 makes the list forget what it
    // shows. -1 without a list view or text model, 2 when it shows these results already, 1
    // without results (the list empties and the main window shows its hint), else 0.
    int32_t FillMessagesList(int32_t flags);
    // Flag 1: a click on the header of column `column` chooses the next sort state (-1 when no
    // column is given). The list view is then sorted by the state when it sorts at all.
    int32_t SortResults(int32_t column, int32_t flags);
    int32_t ClearResults(int32_t mode);
    int32_t PassLinesToJob(int32_t job);
    int32_t MessageCount() const;
    msginfoclass* Message(int32_t i) const; // 0-based, or null
    int32_t Counter(int32_t slot) const;
    bool MessagesUpToDate() const;
};

// The counted sort state of the messages list; compares two messages by it (<0, 0, >0).
int32_t CompareMessages(const msginfoclass* a, const msginfoclass* b, int32_t sortState);
// Next sort state after a click on a column header (0 kind, 1 line, 2 text).
int32_t NextSortState(int32_t state, int32_t column);
int32_t MessageKindFromName(const char* text);
int32_t CompareLineTexts(const char* a, const char* b, int32_t flags);

class tabinfoclass {
public:
    ~tabinfoclass();
    TTabControl* tabControl = nullptr;
    PointerArrayManager* documents = nullptr;
    int32_t further = 0;
};

// Temporary preview copies begin with this name.
constexpr const char* PreviewPrefix = "\\~zel_";
