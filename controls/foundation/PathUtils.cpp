#include "framework/core/Win.h"
#include <objbase.h>
#include <shlobj.h>

#include "controls/foundation/PathUtils.h"

#include <cstdio>

#include "framework/core/Strings.h"

namespace {

bool FolderExists(const std::string& Dir) {
    const DWORD Attr = GetFileAttributesA(Dir.c_str());
    return Attr != INVALID_FILE_ATTRIBUTES && (Attr & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

} // namespace

std::string AddSlash(const std::string& S) {
    if (S.empty() || S.back() == '\\')
        return S;
    return S + '\\';
}

std::string RemoveSlash(const std::string& S) {
    if (!S.empty() && S.back() == '\\')
        return S.substr(0, S.size() - 1);
    return S;
}

bool CreateAllDirectories(const std::string& Path, TStrings* Created) {
    const std::string Dir = RemoveSlash(Path);
    if (Dir.size() < 3)
        return !Dir.empty() && FolderExists(AddSlash(Dir));
    if (FolderExists(Dir))
        return true;
    const size_t Slash = Dir.find_last_of('\\');
    const std::string Parent = Slash == std::string::npos ? std::string() : Dir.substr(0, Slash + 1);
    // A parent that cannot be made leaves nothing to create below it.
    if (!Parent.empty() && Parent != Dir && !CreateAllDirectories(Parent, Created))
        return false;
    if (!CreateDirectoryA(Dir.c_str(), nullptr))
        return FolderExists(Dir);
    if (Created)
        Created->Add(Dir);
    return true;
}

bool CreateFolders(const TStrings* List) {
    bool All = true;
    for (int I = 0; I < List->Count(); ++I)
        if (!CreateAllDirectories(List->Get(I), nullptr))
            All = false;
    return All;
}

std::string GetTemporaryPath() {
    char Buf[MAX_PATH + 1] = {};
    const DWORD N = GetTempPathA(MAX_PATH, Buf);
    std::string S = (N > 0 && N <= MAX_PATH) ? std::string(Buf, N) : std::string();
    return S.size() <= 3 ? S : RemoveSlash(S);
}

std::string GetTemporaryFileName(const std::string& Prefix) {
    char Buf[1024] = {};
    if (GetTempFileNameA(GetTemporaryPath().c_str(), Prefix.c_str(), 0, Buf) == 0)
        return std::string();
    return Buf;
}

std::string SystemDirectory() {
    char Buf[261] = {};
    const UINT N = GetSystemDirectoryA(Buf, sizeof Buf);
    return AddSlash(N > 0 && N < sizeof Buf ? std::string(Buf, N) : std::string());
}

std::string WindowsDirectory() {
    char Buf[261] = {};
    const UINT N = GetWindowsDirectoryA(Buf, sizeof Buf);
    return AddSlash(N > 0 && N < sizeof Buf ? std::string(Buf, N) : std::string());
}

std::string ProgramFilesDirectory() {
    const std::string Win = WindowsDirectory();
    return Win.substr(0, Win.size() >= 2 && Win[1] == ':' ? 2 : 0) + "\\Program Files\\";
}

std::string StartMenuProgramsFolder() {
    LPITEMIDLIST List = nullptr;
    std::string Result;
    if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_PROGRAMS, &List)) && List) {
        char Buf[MAX_PATH + 1] = {};
        if (SHGetPathFromIDListA(List, Buf))
            Result = AddSlash(Buf);
        CoTaskMemFree(List);
    }
    return Result;
}

std::string StringFromGUID(const GUID& G) {
    char Buf[40];
    std::snprintf(Buf, sizeof Buf, "{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned long>(G.Data1), G.Data2, G.Data3, G.Data4[0], G.Data4[1], G.Data4[2],
                  G.Data4[3], G.Data4[4], G.Data4[5], G.Data4[6], G.Data4[7]);
    return Buf;
}

std::string GetUniqueString(const std::string& Prefix) {
    GUID G{};
    CoCreateGuid(&G);
    return Prefix + StringFromGUID(G);
}

std::string ExtractNamePartEx(const std::string& S, const std::string& Separator) {
    const size_t P = S.find(Separator);
    return P == std::string::npos ? std::string() : S.substr(0, P);
}

std::string ExtractNamePart(const std::string& S) {
    return ExtractNamePartEx(S, "=");
}

std::string ExtractValuePartEx(const std::string& S, const std::string& Separator) {
    const size_t P = S.find(Separator);
    return P == std::string::npos ? std::string() : S.substr(P + Separator.size());
}

std::string ExtractValuePart(const std::string& S) {
    return ExtractValuePartEx(S, "=");
}

int32_t IndexOfValue(const TStrings* Strings, const std::string& Value) {
    for (int I = 0; I < Strings->Count(); ++I)
        if (ExtractValuePart(Strings->Get(I)) == Value)
            return I;
    return -1;
}

std::string Quote(const std::string& S, char Ch) {
    return Ch + S + Ch;
}

std::string QuoteFileName(const std::string& FileName) {
    return Quote(FileName, '"');
}
