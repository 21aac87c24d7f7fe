#include <windows.h>

#include <algorithm>
#include <cstdio>

#include "controls/foundation/FileSystem.h"
#include "controls/foundation/FoundationErrors.h"
#include "controls/textmodel/CommandScope.h"
#include "controls/textmodel/MemoSource.h"
#include "controls/textmodel/TextLoading.h"
#include "framework/core/ScopeGuard.h"
#include "framework/core/SysUtils.h"

namespace {
// The cause the platform gives for the last failure, to follow a message after a colon.
std::string Cause() {
    std::string text = SysErrorMessage(GetLastError());
    while (!text.empty() &&
           (text.back() == '.' || text.back() == ' ' || text.back() == '\r' || text.back() == '\n'))
        text.pop_back();
    return text.empty() ? std::string() : ": " + text;
}

// A new temporary file beside `fileName`, named for it.
std::string TempBeside(const std::string& fileName) {
    try {
        return TempFileName(fileName);
    } catch (const EHSError&) {
        throw EMemoSourceError("Cannot make a temporary file beside \"" + fileName + "\"" + Cause());
    }
}

bool PathExists(const std::string& name) {
    return GetFileAttributesA(name.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Writes the whole of `data` at the start of an open file and cuts the file there; the platform's
// cause when that fails, else empty.
std::string WriteAll(HANDLE h, const std::string& data) {
    DWORD done = 0;
    LARGE_INTEGER start{};
    const bool ok = SetFilePointerEx(h, start, nullptr, FILE_BEGIN) &&
                    (data.empty() || (WriteFile(h, data.data(), DWORD(data.size()), &done, nullptr) &&
                                      done == data.size())) &&
                    SetEndOfFile(h) && FlushFileBuffers(h);
    return ok ? std::string() : Cause();
}

// Makes a new file holding `data`; the platform's cause when that fails, else empty.
std::string WriteNewFile(const std::string& fileName, const std::string& data) {
    HANDLE h = CreateFileA(fileName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return Cause();
    const std::string cause = WriteAll(h, data);
    CloseHandle(h);
    return cause;
}

const char* EolText(uint8_t lineEnd, TOutFormatType format) {
    switch (lineEnd) {
    case leCRLF:
        return "\r\n";
    case leLF:
        return "\n";
    case leCR:
        return "\r";
    default:
        return format == ofWindows ? "\r\n" : format == ofUnix ? "\n" : "\r";
    }
}

} // namespace

// ---------------------------------------------------------------- loading

void TCustomMemoSource::ExpandTabsOnLoad(std::string& s) const {
    if (s.find('\t') == std::string::npos)
        return;
    std::string out;
    for (char c : s) {
        if (c == '\t')
            out.append(size_t(FSpacesInTab - int32_t(out.size()) % FSpacesInTab), ' ');
        else
            out += c;
    }
    s = std::move(out);
}

void TCustomMemoSource::StoreLoadedText(TLoadedLines& loaded) {
    FStrings.Swap(loaded.Lines);
    FBookMarks.Clear();
    FVisibleLines.Clear();
    FLoadAltered = false;
    const bool convertTabs = loaded.AnyTab && !HasOption(soUseTabCharacter);
    const bool trimBlanks = loaded.AnyTrailingBlank && !KeepTrailingBlanks;
    const int32_t count = FStrings.GetCount();
    for (int32_t k = 0; (convertTabs || trimBlanks) && k < count; ++k) {
        std::string& s = FStrings.Item(k)->Text;
        if (convertTabs && s.find('\t') != std::string::npos) {
            ExpandTabsOnLoad(s);
            FLoadAltered = true;
        }
        if (trimBlanks && !s.empty() && (s.back() == ' ' || s.back() == '\t')) {
            size_t keep = s.size();
            while (keep > 0 && (s[keep - 1] == ' ' || s[keep - 1] == '\t'))
                --keep;
            s.erase(keep);
            FLoadAltered = true;
        }
    }
    FFileEncoding = loaded.Encoding;
    const int32_t* counts = loaded.EndCounts;
    // A format the caller chose stays; every line then ends in it.
    if (!FOutFormatChosen && counts[leCRLF] + counts[leLF] + counts[leCR] > 0) {
        if (counts[leCRLF] >= counts[leLF] && counts[leCRLF] >= counts[leCR])
            FOutFormat = ofWindows;
        else if (counts[leLF] >= counts[leCR])
            FOutFormat = ofUnix;
        else
            FOutFormat = ofMac;
    }
    const uint8_t dominant = FOutFormat == ofWindows ? leCRLF : FOutFormat == ofUnix ? leLF : leCR;
    FinalLineEnd = count > 0 && FStrings.Item(count - 1)->LineEnd != leDefault ? fleYes : fleNo;
    for (int32_t k = 0; k < count; ++k) {
        uint8_t& end = FStrings.Item(k)->LineEnd;
        if (FOutFormatChosen || end == dominant)
            end = leDefault;
    }
    // The records this source held go with `loaded`.
    loaded.Lines.Clear();
}

void TCustomMemoSource::LoadFromString(const std::string& data) {
    TLoadedLines lines;
    SplitLoadedText(data, lines);
    LoadLines(lines);
}

void TCustomMemoSource::LoadLines(TLoadedLines& lines) {
    {
        TUpdateScope update(*this, 48);
        {
            TUpdateScope load(*this, 60);
            {
                FLoading = true;
                TScopeGuard loaded([this] { FLoading = false; });
                StoreLoadedText(lines);
            }
            TextChangedOutsideUndo();
            ReCalculateMaxLine();
            FCaret.SetPosition(0, 0);
        }
        MemoState = kFullUpdateState;
        UpdateChangedLines(0, INT_MAX);
        ResetPositions();
    }
    ClearUndoBuffer();
    // The loaded text is the document as it stands, converted or not: LoadAltered tells whether
    // converting changed it, and an untouched document never asks to be saved.
    SetModified(false);
}

void TCustomMemoSource::LoadFromStrings(const std::vector<std::string>& list) {
    BeginUpdate(48);
    ResetPositions();
    ClearUndoBuffer();
    FStrings.Clear();
    FBookMarks.Clear();
    FVisibleLines.Clear();
    for (const auto& s : list)
        FStrings.Add(s);
    TextChangedOutsideUndo();
    // Modified is left as it was; an unmodified source counts the new text as its saved state.
    if (!FModified)
        FSavedState = FTextState;
    UpdateChangedLines(0, INT_MAX);
    MemoState |= msCountChanged | msBlockChanged;
    FFirstUnparsed = 0;
    EndUpdate();
}

void TCustomMemoSource::DoLoadFromFile(const std::string& fileName) {
    // A file named at start may have been read and cut while the windows were made.
    if (std::unique_ptr<TLoadedLines> lines = TakePreloadedText(fileName)) {
        LoadLines(*lines);
        return;
    }
    std::string data, error;
    if (!ReadTextFile(fileName, data, error))
        throw EMemoSourceError(error);
    TLoadedLines lines;
    SplitFileBytes(data, lines);
    LoadLines(lines);
}

void TCustomMemoSource::LoadFromStream(TStream& stream) {
    TLoadedLines lines;
    SplitFileBytes(stream.ReadRemaining(), lines);
    LoadLines(lines);
}

// ---------------------------------------------------------------- saving

std::string TCustomMemoSource::SaveToString() const {
    const bool exclude = HasOption(soExcludeReadOnlyLines);
    std::vector<int32_t> written;
    size_t total = 0;
    for (int32_t i = 0; i < GetStrCount(); ++i) {
        if (exclude && FStrings.Item(i)->Has(isReadOnly))
            continue;
        written.push_back(i);
        total += FStrings.GetRaw(i).size() + 2;
    }
    bool finalEnd =
        FinalLineEnd == fleYes || (FinalLineEnd == fleAuto && (exclude || FOutFormat != ofWindows));
    std::string out;
    out.reserve(total);
    for (size_t k = 0; k < written.size(); ++k) {
        const TStringItem* item = FStrings.Item(written[k]);
        out += item->Text;
        if (k + 1 < written.size() || finalEnd)
            out += EolText(item->LineEnd, FOutFormat);
    }
    return out;
}

void TCustomMemoSource::DoSaveToFile(const std::string& fileName) {
    const std::string cause = WriteNewFile(fileName, SaveToFileData());
    if (!cause.empty())
        throw EMemoSourceError("Cannot write file \"" + fileName + "\"" + cause);
}

std::string TCustomMemoSource::SaveToFileData() const {
    return EncodeFileText(SaveToString(), FFileEncoding);
}

std::string TCustomMemoSource::GetBackupName(const std::string& fileName) {
    std::string bak = FileBakName(fileName);
    if (OnGetBackupName)
        OnGetBackupName(*this, fileName, bak);
    return bak;
}

void TCustomMemoSource::Save() {
    if (FObjectName.empty())
        throw EHSError("The text has no file name to save to");
    SaveToFile(FObjectName);
}

void TCustomMemoSource::SaveToFile(const std::string& fileName) {
    const DWORD attributes = GetFileAttributesA(fileName.c_str());
    const bool existing = attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    if (existing && (attributes & FILE_ATTRIBUTE_READONLY))
        throw EMemoSourceError("Cannot write file \"" + fileName + "\": the file is read-only");
    // The target is only ever touched once the whole text is on disk: it goes to a temporary file
    // beside the target first, so a failed write (a full disk) leaves the original untouched.
    const std::string temp = TempBeside(fileName);
    {
        TFailureGuard dropTemp([&temp] { DeleteFileA(temp.c_str()); });
        DoSaveToFile(temp);
    }
    const bool backups = HasOption(soCreateBackups);
    const std::string bak = backups ? GetBackupName(fileName) : std::string();
    if (backups && PathExists(bak) && !DeleteFileA(bak.c_str())) {
        const std::string cause = Cause();
        DeleteFileA(temp.c_str());
        throw EMemoSourceError(Format("Can't delete file %s", bak.c_str()) + cause);
    }
    if (!existing) {
        if (!MoveFileExA(temp.c_str(), fileName.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            const std::string cause = Cause();
            DeleteFileA(temp.c_str());
            throw EMemoSourceError(Format("Can't rename file %s to file %s", temp.c_str(), fileName.c_str()) +
                                   cause);
        }
        return;
    }
    // The previous text is kept aside, under the backup name or a temporary one, and the new text
    // is then written into the file itself rather than renamed over it: a new file in its place
    // would lose the old one's attributes, links and (under Wine, which gives every new file the
    // default Unix mode) its permissions. Until the end, each text stands whole in one file.
    HANDLE h = CreateFileA(fileName.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const std::string cause = Cause();
        DeleteFileA(temp.c_str());
        throw EMemoSourceError("Cannot open file \"" + fileName + "\"" + cause);
    }
    TScopeGuard close([h] { CloseHandle(h); });
    std::string old;
    LARGE_INTEGER size{};
    DWORD got = 0;
    if (!GetFileSizeEx(h, &size) || size.QuadPart >= 0x7FFFFFFF) {
        DeleteFileA(temp.c_str());
        throw EMemoSourceError("Cannot read file \"" + fileName + "\"" + Cause());
    }
    old.resize(size_t(size.QuadPart));
    if (!old.empty() && !(ReadFile(h, old.data(), DWORD(old.size()), &got, nullptr) && got == old.size())) {
        const std::string cause = Cause();
        DeleteFileA(temp.c_str());
        throw EMemoSourceError("Cannot read file \"" + fileName + "\"" + cause);
    }
    std::string previous = bak;
    if (!backups) {
        TFailureGuard dropTemp([&temp] { DeleteFileA(temp.c_str()); });
        previous = TempBeside(fileName);
    }
    if (std::string cause = WriteNewFile(previous, old); !cause.empty()) {
        if (!backups)
            DeleteFileA(previous.c_str());
        throw EMemoSourceError(Format("Can't rename file %s to file %s", fileName.c_str(), previous.c_str()) +
                               cause + ". The new text is in " + temp);
    }
    if (std::string cause = WriteAll(h, SaveToFileData()); !cause.empty())
        throw EMemoSourceError("Cannot write file \"" + fileName + "\"" + cause + ". The new text is in " +
                               temp + ", the previous text in " + previous);
    DeleteFileA(temp.c_str());
    if (!backups)
        DeleteFileA(previous.c_str());
}

// ---------------------------------------------------------------- Lines view

int TExternalStrings::GetCount() const {
    return FSource.GetStrCount();
}
std::string TExternalStrings::Get(int index) const {
    return FSource.FStrings.Get(index);
}
TObject* TExternalStrings::GetObject(int index) const {
    return FSource.FStrings.GetObject(index);
}
void TExternalStrings::PutObject(int index, TObject* object) {
    FSource.FStrings.PutObject(index, object);
}
std::string TExternalStrings::SaveToString() const {
    return FSource.SaveToString();
}
void TExternalStrings::SaveToStream(TStream& stream) const {
    stream.WriteString(FSource.SaveToFileData());
}

std::string TExternalStrings::GetText() const {
    std::string out;
    for (int32_t i = 0; i < GetCount(); ++i) {
        if (i)
            out += "\r\n";
        out += FSource.FStrings.GetRaw(i);
    }
    return out;
}

void TExternalStrings::SetUpdateState(bool updating) {
    if (updating)
        FSource.BeginSafeUpdate(60);
    else
        FSource.EndUpdate();
}

void TExternalStrings::Assign(TPersistent* source) {
    TStrings::Assign(source);
    FSource.BeginUpdate(60);
    FSource.FCaret.SetPosition(0, 0);
    FSource.UpdateSavedPos();
    FSource.EndUpdate();
    FSource.ClearUndoBuffer();
}

void TExternalStrings::Put(int index, const std::string& s) {
    TCustomMemoSource& src = FSource;
    if (!src.FStrings.Item(index))
        return;
    std::string text = s;
    if (!src.HasOption(soUseTabCharacter))
        src.ExpandTabsOnLoad(text);
    src.BeginSafeUpdate(59);
    src.FStrings.Put(index, text);
    src.CheckStringItem(*src.FStrings.Item(index));
    src.TextChangedOutsideUndo();
    src.UpdateChanged(index, index);
    src.LineLengthChanged(index, src.UpdateString(index));
    src.EndUpdate();
    src.ClearUndoBuffer();
}

void TExternalStrings::SetText(const std::string& text) {
    TCustomMemoSource& src = FSource;
    {
        TUpdateScope update(src, 60);
        {
            src.FLoading = true;
            TScopeGuard loaded([&src] { src.FLoading = false; });
            TLoadedLines lines;
            SplitLoadedText(text, lines);
            src.FStrings.Clear();
            src.FBookMarks.Clear();
            src.FVisibleLines.Clear();
            for (int32_t i = 0; i < lines.Lines.GetCount(); ++i)
                Insert(GetCount(), lines.Lines.GetRaw(i));
        }
        src.TextChangedOutsideUndo();
        src.ReCalculateMaxLine();
        src.FCaret.SetPosition(0, 0);
        src.UpdateChanged(0, INT_MAX);
    }
    src.ClearUndoBuffer();
}

void TExternalStrings::Clear() {
    TCustomMemoSource& src = FSource;
    src.BeginSafeUpdate(58);
    src.FStrings.Clear();
    src.FCaret.SetPosition(0, 0);
    src.FSelectionType = stNotSelected;
    src.UpdateSavedPos();
    src.FBookMarks.Clear();
    src.FVisibleLines.Clear();
    src.TextChangedOutsideUndo();
    src.UpdateChanged(0, INT_MAX);
    src.ReCalculateMaxLine();
    src.EndUpdate();
    src.ClearUndoBuffer();
}

void TExternalStrings::Delete(int index) {
    TCustomMemoSource& src = FSource;
    if (!src.FStrings.Item(index))
        return;
    src.BeginUpdate(9);
    const TPosition caret = src.FCaret;
    src.FCaret.SetPosition(0, index);
    const std::string& raw = src.FStrings.GetRaw(index);
    src.UpdatePositions(soDeleteRight, src.FTabs.RelativeIndex(raw, int32_t(raw.size())));
    src.UpdatePositions(soJoinLines, 0);
    src.FStrings.Delete(index);
    if (src.FMaxLineEnabled) {
        if (src.FMaxLineIndex == index)
            src.ReCalculateMaxLine();
        else if (src.FMaxLineIndex > index)
            --src.FMaxLineIndex;
    }
    // Bookmarks stay with their text: those on the line go with it, those below move up.
    src.FBookMarks.LineDeleted(index);
    src.FVisibleLines.SetLineVisible(index, true);
    src.FVisibleLines.LineChanged(index, -1);
    src.FCaret = caret;
    if (caret.Line > index)
        --src.FCaret.Line;
    else if (caret.Line == index)
        src.FCaret.Char = 0;
    src.TextChangedOutsideUndo();
    src.UpdateChanged(index, INT_MAX);
    src.EndUpdate();
    src.ClearUndoBuffer();
}

void TExternalStrings::Insert(int index, const std::string& s) {
    TCustomMemoSource& src = FSource;
    if (index < 0 || index > GetCount())
        return;
    std::string text = s;
    if (!src.HasOption(soUseTabCharacter))
        src.ExpandTabsOnLoad(text);
    if (src.FLoading) {
        if (!src.KeepTrailingBlanks) {
            size_t keep = text.find_last_not_of(" \t");
            text.erase(keep == std::string::npos ? 0 : keep + 1);
        }
        src.FStrings.Insert(index, text);
        return;
    }
    src.BeginUpdate(39);
    const TPosition caret = src.FCaret;
    src.FCaret.SetPosition(0, index);
    src.UpdatePositions(soBreakLine, 0);
    src.FStrings.Insert(index, text);
    if (src.FMaxLineEnabled && src.FMaxLineIndex >= index)
        ++src.FMaxLineIndex;
    src.LineLengthChanged(index, false);
    src.FBookMarks.LineChanged(index, 0, 1);
    src.FVisibleLines.LineChanged(index - 1, 1);
    src.FCaret = caret;
    if (caret.Line >= index && index < GetCount() - 1)
        ++src.FCaret.Line;
    src.TextChangedOutsideUndo();
    src.UpdateChanged(index, INT_MAX);
    src.EndUpdate();
    src.ClearUndoBuffer();
}
