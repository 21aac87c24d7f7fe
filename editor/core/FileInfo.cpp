#include "editor/core/FileInfo.h"

#include "controls/textmodel/MemoSource.h"
#include "editor/core/AppState.h"
#include "editor/core/EditorLink.h"
#include "editor/core/EngineCalls.h"
#include "editor/core/MessageInfo.h"
#include "editor/core/PathHelpers.h"
#include "editor/core/ViewSetup.h"
#include "framework/ui/ComCtrls.h"

#include <cctype>
#include <cstdio>
#include <exception>
#include <stdexcept>
#include <vector>

namespace {

int deleteMessage(void* element) {
    delete static_cast<msginfoclass*>(element);
    return 1;
}
int deleteText(void* element) {
    delete static_cast<StrStore*>(element);
    return 1;
}

StrStore nameBuffer;

// The extension as a whole item of a comma-separated list, ignoring case.
bool kindInList(const StrStore& list, const char* extension) {
    if (!*extension)
        return false;
    std::string l = std::string(",") + list.getString() + ",";
    std::string item = std::string(",") + extension + ",";
    for (char& c : l)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    for (char& c : item)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return l.find(item) != std::string::npos;
}

TOutFormatType formatOf(int32_t fileFormat) {
    switch (fileFormat) {
    case 2:
        return ofUnix;
    case 3:
        return ofMac;
    default:
        return ofWindows;
    }
}

} // namespace

fileinfoclass::fileinfoclass(PointerArrayManager* shared, PointerArrayManager* docs)
    : sharedList(shared), documentList(docs) {
    memoSource = NewMemoSource();
    InitMemoSource(memoSource, 0);
    messages = new PointerArrayManager(deleteMessage);
    groupA = new PointerArrayManager(deleteText);
    groupB = new PointerArrayManager(deleteText);
    sortState = p && p->iface && (p->iface->flags2 & If2SortResults) ? 7 : 0;
}

fileinfoclass::~fileinfoclass() {
    for (int32_t& pos : listPositions) {
        if (pos >= 0 && sharedList)
            sharedList->setPointer(pos, nullptr);
        pos = -1;
    }
    TEditorLink& link = EditorLink();
    bool current = link.GetCurrentFileInfo && link.GetCurrentFileInfo() == this;
    ClearResults(current ? 3 : 1);
    delete outputSource;
    outputSource = nullptr;
    delete messages;
    delete groupA;
    delete groupB;
    messages = groupA = groupB = nullptr;
    delete memoSource;
    memoSource = nullptr;
    if (!tempFile.isEmpty())
        DeleteFileA(tempFile.getString());
}

const char* fileinfoclass::GetName(int32_t f) {
    if (f & 0x200)
        f = (f & ~0x200) | 10;
    const char* result = nullptr;
    if (f & 128) {
        nameBuffer = fileName.extension(0);
        result = nameBuffer.getString();
    }
    if (f & 64) {
        if (sourceType == 0) {
            nameBuffer = p ? p->vol->tempFolder : StrStore("");
            char address[32];
            std::snprintf(address, sizeof address, "%llu",
                          static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(this)));
            nameBuffer << "\\" << address << ".html";
            result = nameBuffer.getString();
        } else {
            result = fileName.getString();
        }
    }
    if (f & 1) {
        nameBuffer = ExtractFileNamePart(fileName.getString());
        result = nameBuffer.getString();
    }
    if (f & 2)
        result = fileName.getString();
    if (f & 16) {
        nameBuffer = (flags & 2) ? StrStore("WB Source") : ExtractFileNamePart(fileName.getString());
        if (!(f & 0x100) && memoSource && memoSource->Modified())
            nameBuffer << "**";
        result = nameBuffer.getString();
    }
    if (!result && (f & 4))
        result = "";
    return result;
}

StrStore fileinfoclass::QuoteFileName(const char* name, int32_t f) {
    StrStore s;
    if (f & 1)
        s << "\"" << (name ? name : "") << "\"";
    else
        s = name ? name : "";
    return s;
}

bool fileinfoclass::IsEditable() const {
    return memoSource && !memoSource->ReadOnly();
}
bool fileinfoclass::HasUnshownCharacters() const {
    return memoSource && memoSource->FileEncoding().HasUnshownCharacters();
}

bool fileinfoclass::IsReadOnly() const {
    return memoSource && memoSource->ReadOnly();
}

int32_t fileinfoclass::SetFileTime(const char* name) {
    int32_t ok = 0;
    int32_t size = 0;
    FILETIME t{};
    GetFileTimeAndSize(name, &t, &size, &ok);
    if (ok) {
        fileTime = t;
        fileSize = size;
        fileTimeValid = 1;
    } else {
        if (EditorLink().ShowMessageBox)
            EditorLink().ShowMessageBox("fileinfoclass::SetFileTime() failed", "Orvalent: Error", 513);
        fileTime = FILETIME{};
        fileSize = 0;
        fileTimeValid = 0;
    }
    return ok;
}

int32_t fileinfoclass::CheckChangedOnDisk(int32_t f) {
    if (sourceType == 0)
        return 0;
    if (GetFileAttributesA(fileName.getString()) != INVALID_FILE_ATTRIBUTES) {
        int32_t ok = 0, size = 0;
        FILETIME t{};
        GetFileTimeAndSize(fileName.getString(), &t, &size, &ok);
        if (!ok)
            return -1;
        return CompareFileTime(&t, &fileTime) == 0 && size == fileSize ? 0 : 1;
    }
    if ((f & 1) && KnowsFileTime()) {
        fileTime = FILETIME{};
        fileSize = 0;
        fileTimeValid = 0;
        SetModifiedState(10);
    }
    return 2;
}

int32_t fileinfoclass::LoadFromFile(const char* name, int32_t f) {
    if (!(f & 1) || !memoSource || !name)
        return 0;
    TStringsOptions old = memoSource->Options();
    memoSource->SetOptions(old | soUseTabCharacter);
    try {
        memoSource->LoadFromFile(name);
    } catch (const std::exception& e) {
        memoSource->SetOptions(old);
        lastError = e.what();
        return -1;
    }
    memoSource->SetOptions(old);
    SetModifiedState(9);
    SetFileTime(name);
    return 0;
}

int32_t fileinfoclass::Reload(int32_t f) {
    int32_t r = 0;
    if (sourceType != 0) {
        if (LoadFromFile(fileName.getString(), 1) == 0) {
            SetModifiedState(9);
            r = 1;
        } else {
            r = -1;
        }
    }
    (void)f;
    ClearResults(3);
    return r;
}

int32_t fileinfoclass::SaveToFile(const char* name, int32_t f) {
    if (!memoSource)
        return -1;
    // A document that came from a file keeps that file's own line ends; the chosen format is for
    // new documents.
    if (sourceType == 0 && p)
        memoSource->SetOutFormat(formatOf(p->config->fileFormat));
    if (f & 1) {
        if (!tempFile.isEmpty())
            DeleteFileA(tempFile.getString());
        StrStore target;
        if (name && *name) {
            target = name;
        } else {
            StrStore folder(sourceType == 0 ? GetName(64) : fileName.getString());
            folder.toParent(1);
            target = folder;
            target << PreviewPrefix << ExtractFileNamePart(fileName.getString());
        }
        try {
            std::string data = memoSource->SaveToFileData();
            FILE* out = std::fopen(target.getString(), "wb");
            if (!out)
                throw std::runtime_error("cannot create the file");
            bool ok = std::fwrite(data.data(), 1, data.size(), out) == data.size();
            ok = std::fclose(out) == 0 && ok;
            if (!ok) {
                DeleteFileA(target.getString());
                throw std::runtime_error("cannot write the file");
            }
        } catch (const std::exception& e) {
            lastError = std::string("\"") + target.getString() + "\": " + e.what();
            return -1;
        }
        tempFile = target;
        return 0;
    }
    if (!name || !*name) {
        lastError = "no file name";
        return -1;
    }
    try {
        memoSource->SaveToFile(name);
    } catch (const std::exception& e) {
        lastError = e.what();
        return -1;
    }
    SetFlags(2, false);
    SetFileTime(name);
    return 0;
}

int32_t fileinfoclass::Save() {
    if (sourceType == 0) {
        lastError = "the document has no file name yet";
        return -1;
    }
    if (SaveToFile(fileName.getString(), 0) != 0)
        return -1;
    SetModifiedState(9);
    return 0;
}

int32_t fileinfoclass::SaveAs(const char* name) {
    // The document takes the new name, and counts as saved, only once the write succeeded.
    if (SaveToFile(name, 0) != 0)
        return -1;
    fileName = name;
    sourceType = 1;
    SetModifiedState(9);
    return 0;
}

void fileinfoclass::SetFlags(uint32_t bits, bool on) {
    bool wasBrowser = (flags & 2) != 0;
    if (on)
        flags |= bits;
    else
        flags &= ~bits;
    if ((bits & 2) && memoSource) {
        if (on)
            memoSource->SetROnly(true);
        else if (wasBrowser)
            memoSource->SetROnly(false);
    }
}

void fileinfoclass::SetReadOnly(bool on) {
    if (memoSource)
        memoSource->SetROnly(on);
}

int32_t fileinfoclass::SetModifiedState(int32_t mode) {
    int32_t state;
    if (mode & 1)
        state = 1;
    else if (mode & 2)
        state = 0;
    else if (mode & 4)
        state = (!memoSource || !memoSource->Modified()) ? 1 : 0;
    else
        state = 1;
    if ((mode & 8) && memoSource)
        memoSource->SetModified(state == 0);
    if (state != lastModifiedState) {
        lastModifiedState = state;
        if (EditorLink().RefreshTab)
            EditorLink().RefreshTab(this);
    }
    return 0;
}

int32_t fileinfoclass::GetFileKind(const char* name, int32_t f) {
    StrStore n(name ? name : "");
    StrStore ext = n.extension((f & 2) ? 6 : 2);
    if (ext.isEmpty())
        return (f & 1) && p ? p->config->noExtensionFileType : KindNoExtension;
    if (!p)
        return KindOther;
    const prgconfigclass& c = *p->config;
    const char* e = ext.getString();
    struct {
        const StrStore& list;
        int32_t kind;
    } order[] = {
        {c.htmlExtensions, KindHTML},         {c.textExtensions, KindText},     {c.cssExtensions, KindCSS},
        {c.perlExtensions, KindPerl},         {c.javaExtensions, KindJava},     {c.cExtensions, KindC},
        {c.vbScriptExtensions, KindVBScript}, {c.delphiExtensions, KindPascal}, {c.sqlExtensions, KindSQL}};
    for (const auto& o : order)
        if (kindInList(o.list, e))
            return o.kind;
    return KindOther;
}

void fileinfoclass::ApplyEditorOptions(TCustomMemoSource* source, int32_t f) {
    if (!source || !p)
        return;
    if (f & 1) {
        const uint32_t F = p->iface->flags, F2 = p->iface->flags2;
        TStringsOptions o = source->Options();
        auto follow = [&](bool on, TStringsOption bit) {
            o = on ? (o | bit) : (o & ~static_cast<uint32_t>(bit));
        };
        follow(F & IfSmartTab, soSmartTab);
        follow(F & IfAutoIndent, soAutoIndent);
        follow(F & IfLimitEOL, soLimitEOL);
        follow(F & IfBackUnindents, soBackUnindents);
        follow(F & IfUseTabCharacter, soUseTabCharacter);
        follow(F & IfCursorOnTabs, soCursorOnTabs);
        follow(F2 & If2OverwriteBlocks, soOverwriteBlocks);
        source->SetOptions(o);
    }
    if (f & 2)
        source->SetDelimeters(p->config->delimiters.getString());
}

int32_t fileinfoclass::UpdateSyntaxParser(int32_t) {
    if (!memoSource || !p)
        return 0;
    ApplyEditorOptions(memoSource, 3);
    const char* name = GetName(14);
    if (!*name) {
        if (!(flags & 4))
            kind = forcedKind >= 0 ? forcedKind : KindOther;
    } else {
        kind = GetFileKind(name, 0);
        if (kind == KindOther || kind == KindNoExtension) {
            if (p->config->noExtensionFileType >= 0)
                kind = p->config->noExtensionFileType;
            if (forcedKind >= 0)
                kind = forcedKind;
        }
    }
    const uint32_t o = p->config->flags;
    const bool master = (o & OptSyntaxColouring) != 0;
    volatileclass& v = *p->vol;
    TSimpleParser* parser = nullptr;
    auto pick = [&](uint32_t bit, TSimpleParser* candidate) {
        parser = master && (o & bit) ? candidate : nullptr;
    };
    switch (kind) {
    case KindHTML:
        pick(OptHTMLColouring, v.htmlParser.get());
        break;
    case KindC:
        pick(OptCColouring, v.cParser.get());
        break;
    case KindPascal:
        pick(OptDelphiColouring, v.delphiParser.get());
        break;
    case KindPerl:
        pick(OptPerlColouring, v.perlParser.get());
        break;
    case KindJava:
        pick(OptJavaColouring, v.javaParser.get());
        break;
    case KindVBScript:
        pick(OptVBScriptColouring, v.vbScriptParser.get());
        break;
    case KindSQL:
        pick(OptSQLColouring, v.sqlParser.get());
        break;
    case KindCSS:
        pick(OptCSSColouring, EditorLink().CSSParser ? EditorLink().CSSParser() : v.cssParser);
        break;
    default:
        break;
    }
    memoSource->SetSyntaxParser(parser);
    ColourMessageLines();
    return 0;
}

int32_t fileinfoclass::UpdateAllSyntaxParsers(PointerArrayManager* list) {
    if (!list)
        return 1;
    int32_t failed = 0;
    for (int32_t i = 0; i < list->usableLength(); ++i)
        if (auto* d = static_cast<fileinfoclass*>(list->at(i)))
            if (d->UpdateSyntaxParser(0) < 0)
                failed = 1;
    return failed;
}

int32_t fileinfoclass::ClearLineStyles(TCustomMemoSource* source) {
    if (!source)
        return 1;
    for (int32_t i = 0; i < source->GetStrCount(); ++i)
        if (source->GetLineTextStyle(i) != 0)
            source->SetLineTextStyle(i, 0);
    return 0;
}

int32_t fileinfoclass::Assign(fileinfoclass* o, int32_t f) {
    if (!o)
        return -2;
    fileName = o->fileName;
    secondName = o->secondName;
    sourceType = o->sourceType;
    tabIndex = o->tabIndex;
    stateWords[0] = o->stateWords[0];
    stateWords[1] = o->stateWords[1];
    kind = o->kind;
    flags = o->flags;
    listPositions[0] = o->listPositions[0];
    listPositions[1] = o->listPositions[1];
    forcedKind = o->forcedKind;
    displayWords[0] = o->displayWords[0];
    displayWords[1] = o->displayWords[1];
    sortState = o->sortState;
    spare = o->spare;
    fileTime = o->fileTime;
    fileTimeValid = o->fileTimeValid;
    fileSize = o->fileSize;
    if (!tempFile.isEmpty())
        DeleteFileA(tempFile.getString());
    tempFile.clear();
    if (f & 4) {
        sharedList = nullptr;
        documentList = nullptr;
    } else {
        sharedList = o->sharedList;
        documentList = o->documentList;
    }
    if (!(f & 2)) {
        ClearResults(1);
        resultsHandle = o->resultsHandle;
        o->ClearResults(9);
    } else {
        ClearResults(1);
    }
    messages->clear(true);
    groupA->clear(true);
    groupB->clear(true);
    messagesValid = false;
    return 0;
}

fileinfoclass* fileinfoclass::FindFileInfoBySource(PointerArrayManager* list, TCustomMemoSource* source,
                                                   int32_t f) {
    if (!(f & 1) || !list)
        return nullptr;
    for (int32_t i = 0; i < list->usableLength(); ++i)
        if (auto* d = static_cast<fileinfoclass*>(list->at(i)))
            if (d->memoSource == source)
                return d;
    return nullptr;
}

int32_t fileinfoclass::AreAllFilesSaved(PointerArrayManager* list) {
    if (!list)
        return -1;
    for (int32_t i = 0; i < list->usableLength(); ++i)
        if (auto* d = static_cast<fileinfoclass*>(list->at(i)))
            if (d->memoSource && d->memoSource->Modified())
                return 0;
    return 1;
}

namespace {

// Fills a text model with the lines of one results store (count identifier, line identifier).
int32_t fillFromRun(TCustomMemoSource* source, int32_t handle, int32_t countId, int32_t lineId) {
    if (!Engine.ZELGetIntegerEZ || !Engine.ZELGetString2)
        return -1;
    int32_t n = Engine.ZELGetIntegerEZ(handle, countId);
    if (n < 0)
        return -2;
    std::vector<std::string> lines;
    lines.reserve(static_cast<size_t>(n));
    for (int32_t i = 0; i < n; ++i) {
        const char* line = Engine.ZELGetString2(handle, lineId, i);
        if (!line)
            return -1;
        lines.emplace_back(line);
    }
    bool readOnly = source->ReadOnly();
    source->SetROnly(false);
    source->LoadFromStrings(lines);
    source->SetROnly(readOnly);
    return 0;
}

} // namespace

int32_t fileinfoclass::LoadRunText(int32_t handle, int32_t f) {
    if (f & 4) {
        int32_t r = fillFromRun(memoSource, handle, ZELID_RESULT_LINES1, ZELID_RESULT_LINE1);
        if (r < 0)
            return r;
        memoSource->JumpTo(0, 0);
        memoSource->ClearUndoBuffer();
    }
    if (f & 1)
        SetModifiedState(10);
    if (f & 2) {
        delete outputSource;
        outputSource = NewMemoSource();
        if (p)
            outputSource->SetSyntaxParser(p->vol->htmlParser.get());
        int32_t r = fillFromRun(outputSource, handle, ZELID_RESULT_LINES2, ZELID_RESULT_LINE2);
        outputSource->SetROnly(true);
        if (r < 0)
            return r;
    }
    return 0;
}

int32_t fileinfoclass::SetResultsHandle(int32_t handle, int32_t f) {
    if (handle < 0)
        return -1;
    if ((f & 1) && handle != resultsHandle) {
        ClearResults(1);
        resultsHandle = handle;
        LoadRunText(handle, 2);
        UpdateSyntaxParser(0);
    }
    return 0;
}

tabinfoclass::~tabinfoclass() {
    if (tabControl)
        tabControl->SetTag(0);
}
