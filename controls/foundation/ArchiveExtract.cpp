#include "controls/foundation/ArchiveExtract.h"

#include <cctype>

#include "controls/foundation/FoundationErrors.h"
#include "controls/foundation/PathUtils.h"
#include "framework/core/Strings.h"
#include "framework/core/SysUtils.h"

namespace {

HMODULE gLibrary = nullptr;
TUnRARFunctions gFunctions;
bool gBound = false;

template <class F> bool Bind(HMODULE Library, const char* Name, F& Slot) {
    Slot = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(Library, Name)));
    return Slot != nullptr;
}

std::string PlainFileName(const std::string& Path) {
    const size_t Slash = Path.find_last_of("\\/");
    return Slash == std::string::npos ? Path : Path.substr(Slash + 1);
}

std::string FolderPart(const std::string& Path) {
    const size_t Slash = Path.find_last_of("\\/");
    return Slash == std::string::npos ? std::string() : Path.substr(0, Slash + 1);
}

std::string FullPath(const std::string& Path) {
    char Buffer[MAX_PATH * 4];
    const DWORD N = GetFullPathNameA(Path.c_str(), sizeof Buffer, Buffer, nullptr);
    return N == 0 || N >= sizeof Buffer ? std::string() : std::string(Buffer, N);
}

// True when the full path of Path lies inside Folder.
bool IsBelowFolder(const std::string& Folder, const std::string& Path) {
    const std::string Base = AddSlash(FullPath(Folder));
    const std::string Target = FullPath(Path);
    return Base.size() > 1 && Target.size() > Base.size() && SameText(Target.substr(0, Base.size()), Base);
}

} // namespace

void LoadUnRARFromFile(const std::string& FileName) {
    UnloadUnRAR();
    HMODULE Library = LoadLibraryA(FileName.c_str());
    TUnRARFunctions F;
    if (!Library || !Bind(Library, "RAROpenArchive", F.RAROpenArchive) ||
        !Bind(Library, "RARCloseArchive", F.RARCloseArchive) ||
        !Bind(Library, "RARReadHeader", F.RARReadHeader) ||
        !Bind(Library, "RARProcessFile", F.RARProcessFile) ||
        !Bind(Library, "RARSetChangeVolProc", F.RARSetChangeVolProc) ||
        !Bind(Library, "RARSetProcessDataProc", F.RARSetProcessDataProc) ||
        !Bind(Library, "RARSetPassword", F.RARSetPassword)) {
        if (Library)
            FreeLibrary(Library);
        throw EHSError("Can't load UNRAR.DLL");
    }
    gLibrary = Library;
    gFunctions = F;
    gBound = true;
}

void LoadUnRAR() {
    if (!gBound)
        LoadUnRARFromFile("unrar.dll");
}

void UnloadUnRAR() {
    if (gLibrary)
        FreeLibrary(gLibrary);
    gLibrary = nullptr;
    gFunctions = TUnRARFunctions();
    gBound = false;
}

void SetUnRARFunctions(const TUnRARFunctions& Functions) {
    UnloadUnRAR();
    gFunctions = Functions;
    gBound = true;
}

HANDLE RAROpenArchive(TRAROpenArchiveData* Data) {
    LoadUnRAR();
    return gFunctions.RAROpenArchive(Data);
}
int32_t RARCloseArchive(HANDLE Archive) {
    LoadUnRAR();
    return gFunctions.RARCloseArchive(Archive);
}
int32_t RARReadHeader(HANDLE Archive, TRARHeaderData* Header) {
    LoadUnRAR();
    return gFunctions.RARReadHeader(Archive, Header);
}
int32_t RARProcessFile(HANDLE Archive, int32_t Operation, const char* DestPath, const char* DestName) {
    LoadUnRAR();
    return gFunctions.RARProcessFile(Archive, Operation, DestPath, DestName);
}
void RARSetChangeVolProc(HANDLE Archive, void* Proc) {
    LoadUnRAR();
    gFunctions.RARSetChangeVolProc(Archive, Proc);
}
void RARSetProcessDataProc(HANDLE Archive, void* Proc) {
    LoadUnRAR();
    gFunctions.RARSetProcessDataProc(Archive, Proc);
}
void RARSetPassword(HANDLE Archive, const char* Password) {
    LoadUnRAR();
    gFunctions.RARSetPassword(Archive, Password);
}

HANDLE OpenRARFile(const std::string& FileName) {
    TRAROpenArchiveData Data;
    Data.ArcName = FileName.c_str();
    Data.OpenMode = RAR_OM_EXTRACT;
    HANDLE Archive = RAROpenArchive(&Data);
    return Data.OpenResult == RAR_SUCCESS ? Archive : nullptr;
}

bool IsSafeArchivePath(const std::string& Folder, const std::string& EntryPath) {
    if (EntryPath.empty() || EntryPath[0] == '\\' || EntryPath[0] == '/' ||
        EntryPath.find(':') != std::string::npos)
        return false;
    size_t Start = 0;
    while (Start <= EntryPath.size()) {
        size_t End = EntryPath.find_first_of("\\/", Start);
        if (End == std::string::npos)
            End = EntryPath.size();
        if (Trim(EntryPath.substr(Start, End - Start)) == "..")
            return false;
        Start = End + 1;
    }
    // Whatever the rules above miss, the full path must still lie below the folder.
    return IsBelowFolder(Folder, AddSlash(Folder) + EntryPath);
}

bool ExtractRARFile(const std::string& ArchiveName, const std::string& DestFolder, const TRARFilter& Filter,
                    TStrings* ExtractedFiles, TStrings* CreatedFolders, const TStrings* SystemFiles) {
    HANDLE Archive = OpenRARFile(ArchiveName);
    if (!Archive)
        return false;
    bool Sound = true;
    TRARHeaderData Header;
    int32_t Read;
    while ((Read = RARReadHeader(Archive, &Header)) == RAR_SUCCESS) {
        Header.FileName[sizeof Header.FileName - 1] = '\0';
        const std::string EntryPath = Header.FileName;
        const std::string Plain = PlainFileName(EntryPath);
        const bool IsFolder = (Header.FileAttr & RAR_DIRECTORY_ATTR) != 0;
        const bool ToSystem = SystemFiles && !Plain.empty() && SystemFiles->IndexOf(Plain) >= 0;
        std::string Folder = ToSystem ? SystemDirectory() : DestFolder;
        std::string Name;
        TRARFileOperation Operation = Filter ? Filter(Header, Folder, Name) : opExtract;
        if (ToSystem)
            Name = AddSlash(Folder) + Plain;
        // Where the library would write: the name when one is set, else below the folder.
        const bool Safe =
            IsSafeArchivePath(Folder, EntryPath) && (Name.empty() || IsBelowFolder(Folder, Name));
        if (!Safe) {
            Sound = false;
            if (RARProcessFile(Archive, opSkip, nullptr, nullptr) != RAR_SUCCESS)
                break;
            continue;
        }
        if (!ToSystem && !IsFolder && CreatedFolders && Operation == opExtract)
            CreateAllDirectories(AddSlash(Folder) + FolderPart(EntryPath), CreatedFolders);
        if (RARProcessFile(Archive, Operation, Folder.c_str(), Name.empty() ? nullptr : Name.c_str()) !=
            RAR_SUCCESS) {
            Sound = false;
            break;
        }
        if (!IsFolder && ExtractedFiles && Operation == opExtract)
            ExtractedFiles->Add(Name.empty() ? AddSlash(Folder) + EntryPath : Name);
    }
    if (Read != RAR_SUCCESS && Read != RAR_END_ARCHIVE)
        Sound = false;
    RARCloseArchive(Archive);
    return Sound;
}
