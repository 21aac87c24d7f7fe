#include "controls/foundation/FileSearch.h"

#include "controls/foundation/LogFile.h"
#include "controls/foundation/PathUtils.h"
#include "controls/foundation/PropertyUtils.h"
#include "controls/foundation/StringUtils.h"
#include "framework/core/ScopeGuard.h"
#include "framework/core/Strings.h"
#include "framework/core/SysUtils.h"

namespace {

bool IsDots(const char* Name) {
    return Name[0] == '.' && (Name[1] == 0 || (Name[1] == '.' && Name[2] == 0));
}

bool Passes(uint32_t EntryAttr, uint32_t Attr) {
    if (EntryAttr & Attr)
        return true;
    const bool Plain = EntryAttr == 0 || EntryAttr == FILE_ATTRIBUTE_NORMAL;
    return Plain && (Attr & faAnyPlainFile) != 0;
}

int32_t Enumerate(const std::string& Folder, const std::string& Part, uint32_t Attr, bool Recursive,
                  const TForEachFileProc& Proc, bool& Continue) {
    int32_t Count = 0;
    WIN32_FIND_DATAA Entry;
    HANDLE H = FindFirstFileA((Folder + Part).c_str(), &Entry);
    if (H != INVALID_HANDLE_VALUE) {
        do {
            if (IsDots(Entry.cFileName) || !Passes(Entry.dwFileAttributes, Attr))
                continue;
            ++Count;
            Proc(Folder, Entry, Continue);
        } while (Continue && FindNextFileA(H, &Entry));
        FindClose(H);
    }
    if (!Recursive || !Continue)
        return Count;
    H = FindFirstFileA((Folder + "*.*").c_str(), &Entry);
    if (H == INVALID_HANDLE_VALUE)
        return Count;
    do {
        if (Entry.cFileName[0] == '.' || !(Entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            continue;
        Count += Enumerate(Folder + Entry.cFileName + "\\", Part, Attr, Recursive, Proc, Continue);
    } while (Continue && FindNextFileA(H, &Entry));
    FindClose(H);
    return Count;
}

} // namespace

int32_t ForEachFile(const std::string& Mask, uint32_t Attr, bool Recursive, const TForEachFileProc& Proc) {
    if (!Proc)
        return 0;
    bool Continue = true;
    return Enumerate(AddSlash(ExtractFileDir(Mask)), ExtractFileName(Mask), Attr, Recursive, Proc, Continue);
}

void FindFiles(const std::string& Mask, uint32_t Attr, bool Recursive, TStrings* Strings) {
    auto Bracket = UpdateBracket(*Strings);
    Strings->Clear();
    ForEachFile(Mask, Attr, Recursive, [&](const std::string& Folder, const WIN32_FIND_DATAA& E, bool&) {
        Strings->Add(Folder + E.cFileName);
    });
}

void FindFilesEx(const std::string& Folder, const std::string& Masks, uint32_t Attr, bool Recursive,
                 TStrings* Strings) {
    TStringList All;
    All.SetSorted(true);
    All.SetDuplicates(dupIgnore);
    TStringList Parts;
    Parts.SetText(ChangeCharTo(';', '\n', Masks.empty() ? std::string("*.*") : Masks));
    for (int I = 0; I < Parts.Count(); ++I) {
        if (Parts[I].empty())
            continue;
        TStringList Found;
        FindFiles(AddSlash(Folder) + Parts[I], Attr, Recursive, &Found);
        for (int J = 0; J < Found.Count(); ++J)
            All.Add(AnsiUpperCase(Found[J]));
    }
    Strings->Assign(&All);
}

bool ModifyFileAttr(const std::string& Name, uint32_t ClearAttr, uint32_t SetAttr) {
    const DWORD Old = GetFileAttributesA(Name.c_str());
    if (Old == INVALID_FILE_ATTRIBUTES)
        return false;
    const DWORD New = (Old & ~ClearAttr) | SetAttr;
    const bool Done = SetFileAttributesA(Name.c_str(), New) != 0;
    WriteToLog(Format("%s: attributes %lu -> %lu%s", Name.c_str(), static_cast<unsigned long>(Old),
                      static_cast<unsigned long>(New), Done ? "" : " failed"));
    return Done;
}

void ModifyFilesAttr(const TStrings* Names, uint32_t ClearAttr, uint32_t SetAttr) {
    for (int I = 0; I < Names->Count(); ++I)
        ModifyFileAttr(Names->Get(I), ClearAttr, SetAttr);
}

void ModifyFilesAttrInFolder(const std::string& Mask, uint32_t ClearAttr, uint32_t SetAttr, bool Recursive) {
    TStringList Names;
    FindFiles(Mask, faAnyPlainFile, Recursive, &Names);
    ModifyFilesAttr(&Names, ClearAttr, SetAttr);
}
