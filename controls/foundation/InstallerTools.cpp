#include "controls/foundation/InstallerTools.h"

#include <mmsystem.h>
#include <objbase.h>
#include <shlobj.h>

#include "controls/foundation/PathUtils.h"
#include "controls/foundation/RegistryStorage.h"
#include "framework/core/ScopeGuard.h"
#include "framework/core/Strings.h"
#include "framework/core/SysUtils.h"
#include "framework/ui/MessageBox.h"

namespace {

const char* const kUninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
HKEY gUninstallRoot = HKEY_LOCAL_MACHINE;
std::string gUninstallKey = kUninstallKey;

const char* const kIDEBase = "Software\\Component Framework";
std::string gIDEBase = kIDEBase;

// Per version: its product line's key and its version number.
const struct {
    const char* Product;
    const char* Number;
} kIDEKeys[] = {
    {"IDE A", "2.0"}, {"IDE B", "1.0"}, {"IDE A", "3.0"}, {"IDE B", "3.0"},
    {"IDE A", "4.0"}, {"IDE B", "4.0"}, {"IDE A", "5.0"}, {"IDE B", "5.0"},
};

// What a compiler's output lines are told apart by: its error and fatal lines, and its banner.
const char* const kCompilerMarkers[] = {"Error:", "Fatal:", "Copyright"};

std::string AppKey(const std::string& Name) {
    return gUninstallKey + "\\" + Name;
}

// A key opened for the scope; nil when it cannot be opened.
class TOpenKey {
public:
    TOpenKey(HKEY Root, const std::string& Path, REGSAM Access, bool Create) {
        const LONG R =
            Create ? RegCreateKeyExA(Root, Path.c_str(), 0, nullptr, 0, Access, nullptr, &FKey, nullptr)
                   : RegOpenKeyExA(Root, Path.c_str(), 0, Access, &FKey);
        if (R != ERROR_SUCCESS)
            FKey = nullptr;
    }
    ~TOpenKey() {
        if (FKey)
            RegCloseKey(FKey);
    }
    TOpenKey(const TOpenKey&) = delete;
    TOpenKey& operator=(const TOpenKey&) = delete;
    HKEY Get() const { return FKey; }

private:
    HKEY FKey = nullptr;
};

bool ReplaceAll(std::string& Text, const std::string& Macro, const std::string& Value) {
    bool Any = false;
    for (size_t P = Text.find(Macro); P != std::string::npos; P = Text.find(Macro, P + Value.size())) {
        Text.replace(P, Macro.size(), Value);
        Any = true;
    }
    return Any;
}

bool LoadLines(const std::string& FileName, TStringList& Lines) {
    try {
        Lines.LoadFromFile(FileName);
        return true;
    } catch (const Exception&) {
        return false;
    }
}

bool SaveLines(const std::string& FileName, TStringList& Lines) {
    try {
        Lines.SaveToFile(FileName);
        return true;
    } catch (const Exception&) {
        return false;
    }
}

} // namespace

void SetUninstallLocation(HKEY Root, const std::string& Key) {
    gUninstallRoot = Root;
    gUninstallKey = Key;
}

void ResetUninstallLocation() {
    SetUninstallLocation(HKEY_LOCAL_MACHINE, kUninstallKey);
}

std::string IDERegistryKey(TIDEVersion Version) {
    const auto& K = kIDEKeys[Version];
    return gIDEBase + "\\" + K.Product + "\\" + K.Number;
}

void SetIDERegistryBase(const std::string& Key) {
    gIDEBase = Key;
}

void ResetIDERegistryBase() {
    gIDEBase = kIDEBase;
}

bool AddInstalledPackage(TIDEVersion Version, const std::string& FileName, const std::string& Description) {
    if (FileName.empty())
        return false;
    TOpenKey Key(HKEY_CURRENT_USER, IDERegistryKey(Version) + "\\Known Packages", KEY_ALL_ACCESS, true);
    return Key.Get() && ChangeRegStrValue(Key.Get(), FileName, Description);
}

void ConvertErrors(TStrings* Output) {
    if (!Output)
        return;
    TStringList Errors;
    for (int I = 0; I < Output->Count(); ++I) {
        const std::string& Line = Output->Get(I);
        const bool Error = Line.find(kCompilerMarkers[0]) != std::string::npos ||
                           Line.find(kCompilerMarkers[1]) != std::string::npos;
        if (Error && Line.find(kCompilerMarkers[2]) == std::string::npos)
            Errors.Add(Line);
    }
    Output->Assign(&Errors);
}

bool AddUnInstaller(const std::string& Name, const std::string& Command) {
    TOpenKey Key(gUninstallRoot, AppKey(Name), KEY_ALL_ACCESS, true);
    return Key.Get() && ChangeRegStrValue(Key.Get(), "DisplayName", Name) &&
           ChangeRegStrValue(Key.Get(), "UninstallString", Command);
}

bool RemoveUnInstaller(const std::string& Name) {
    if (Name.empty())
        return false;
    const bool Gone = HSDeleteRegKey(gUninstallRoot, gUninstallKey, Name);
    TOpenKey Parent(gUninstallRoot, gUninstallKey, KEY_READ, false);
    if (Parent.Get())
        RegFlushKey(Parent.Get());
    return Gone;
}

bool IsAppInstalled(const std::string& Name) {
    return !Name.empty() && TOpenKey(gUninstallRoot, AppKey(Name), KEY_READ, false).Get() != nullptr;
}

std::string GetUnInstallInfo(const std::string& Name, const std::string& ValueName) {
    TOpenKey Key(gUninstallRoot, AppKey(Name), KEY_READ, false);
    if (!Key.Get())
        return std::string();
    DWORD Type = 0, Size = 0;
    if (RegQueryValueExA(Key.Get(), ValueName.c_str(), nullptr, &Type, nullptr, &Size) != ERROR_SUCCESS ||
        (Type != REG_SZ && Type != REG_EXPAND_SZ))
        return std::string();
    std::string Value(Size, '\0');
    if (RegQueryValueExA(Key.Get(), ValueName.c_str(), nullptr, nullptr,
                         reinterpret_cast<BYTE*>(Value.data()), &Size) != ERROR_SUCCESS)
        return std::string();
    Value.resize(Size);
    while (!Value.empty() && Value.back() == '\0')
        Value.pop_back();
    return Value;
}

bool AddUnInstallInfo(const std::string& Name, const std::string& ValueName, const std::string& Value) {
    TOpenKey Key(gUninstallRoot, AppKey(Name), KEY_ALL_ACCESS, true);
    return Key.Get() && ChangeRegStrValue(Key.Get(), ValueName, Value);
}

bool AddUnInstallFilesInfo(const std::string& Name, const TStrings* Files) {
    TOpenKey Key(gUninstallRoot, AppKey(Name) + "\\Files", KEY_ALL_ACCESS, true);
    if (!Key.Get() || !Files)
        return false;
    bool Ok = true;
    const DWORD Zero = 0;
    for (int I = 0; I < Files->Count(); ++I)
        Ok = RegSetValueExA(Key.Get(), Files->Get(I).c_str(), 0, REG_DWORD,
                            reinterpret_cast<const BYTE*>(&Zero), sizeof Zero) == ERROR_SUCCESS &&
             Ok;
    return Ok;
}

void GetUninstallFilesInfo(const std::string& Name, TStrings* Files) {
    TOpenKey Key(gUninstallRoot, AppKey(Name) + "\\Files", KEY_READ, false);
    if (!Key.Get() || !Files)
        return;
    char ValueName[MAX_PATH + 1];
    for (DWORD I = 0;; ++I) {
        DWORD Length = sizeof ValueName;
        if (RegEnumValueA(Key.Get(), I, ValueName, &Length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        Files->Add(std::string(ValueName, Length));
    }
}

bool RemoveUninstallFilesInfo(const std::string& Name) {
    return HSDeleteRegKey(gUninstallRoot, AppKey(Name), "Files");
}

HKEY CreateRegKey(HKEY Root, const std::string& Path) {
    HKEY Key = nullptr;
    if (RegCreateKeyExA(Root, Path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &Key, nullptr) !=
        ERROR_SUCCESS)
        return nullptr;
    return Key;
}

bool ChangeRegStrValue(HKEY Key, const std::string& Name, const std::string& Value) {
    return Key && RegSetValueExA(Key, Name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(Value.c_str()),
                                 static_cast<DWORD>(Value.size() + 1)) == ERROR_SUCCESS;
}

bool RemoveHelpFromCntFile(const std::string& CntFile, const std::string& HelpFile) {
    TStringList Lines;
    if (!LoadLines(CntFile, Lines))
        return false;
    const int32_t Index = IndexOfValue(&Lines, HelpFile);
    if (Index < 0)
        return true;
    Lines.Delete(Index);
    return SaveLines(CntFile, Lines);
}

bool AddHelpToCntFile(const std::string& CntFile, const std::string& HelpFile, const std::string& Title) {
    TStringList Lines;
    if (!LoadLines(CntFile, Lines))
        return false;
    const int32_t Old = IndexOfValue(&Lines, HelpFile);
    if (Old >= 0)
        Lines.Delete(Old);
    int At = 0;
    for (int I = 0; I < Lines.Count(); ++I)
        if (Lines.Get(I).rfind(":Index ", 0) == 0)
            At = I + 1;
    Lines.Insert(At, Title + " =" + HelpFile);
    return SaveLines(CntFile, Lines);
}

std::string ProcessFileTemplate(const std::string& Text) {
    std::string Result = Text;
    ReplaceAll(Result, "%SYSTEM%", SystemDirectory());
    ReplaceAll(Result, "%WINDOWS%", WindowsDirectory());
    ReplaceAll(Result, "%PROGRAMFILES%", AddSlash(ProgramFilesDirectory()));
    return Result;
}

bool InstallCheckRunningIDE(const std::string& ProductName) {
    if (!FindWindowA("TAppBuilder", nullptr) && !FindWindowA("TPropertyInspector", nullptr))
        return true;
    const std::string Text = "A development environment is running. Close every development environment "
                             "before you install " +
                             ProductName + ", then go on.";
    return ShowMessageBox(Text, "Installation Warning", MB_OKCANCEL | MB_ICONWARNING) == IDOK;
}

bool InstallCheckPrevVersion(const std::string& ProductName) {
    if (!IsAppInstalled(ProductName))
        return true;
    const std::string Text = "A previous version of " + ProductName +
                             " is installed. Uninstall it before you install this version.";
    return ShowMessageBox(Text, "Installation Error", MB_OKCANCEL | MB_ICONERROR) == IDOK;
}

bool CreateLink(const std::string& Target, const std::string& LinkFile, const std::string& Description,
                const std::string& WorkDir) {
    const HRESULT Init = CoInitialize(nullptr);
    TScopeGuard Uninit([&] {
        if (SUCCEEDED(Init))
            CoUninitialize();
    });
    IShellLinkA* Link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&Link))))
        return false;
    TScopeGuard ReleaseLink([&] { Link->Release(); });
    Link->SetPath(Target.c_str());
    if (!Description.empty())
        Link->SetDescription(Description.c_str());
    if (!WorkDir.empty())
        Link->SetWorkingDirectory(WorkDir.c_str());
    IPersistFile* File = nullptr;
    if (FAILED(Link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&File))))
        return false;
    TScopeGuard ReleaseFile([&] { File->Release(); });
    std::wstring Wide(LinkFile.size() + 1, L'\0');
    const int N =
        MultiByteToWideChar(CP_ACP, 0, LinkFile.c_str(), -1, Wide.data(), static_cast<int>(Wide.size()));
    if (N <= 0)
        return false;
    return SUCCEEDED(File->Save(Wide.c_str(), TRUE));
}

int32_t GetCDDeviceID() {
    const UINT Count = auxGetNumDevs();
    for (UINT I = 0; I < Count; ++I) {
        AUXCAPSA Caps{};
        if (auxGetDevCapsA(I, &Caps, sizeof Caps) == MMSYSERR_NOERROR && (Caps.dwSupport & AUXCAPS_VOLUME))
            return static_cast<int32_t>(I);
    }
    return -1;
}

void SetCDAudioVolume(int32_t Volume) {
    const int32_t Device = GetCDDeviceID();
    if (Device < 0)
        return;
    const DWORD Channel = static_cast<DWORD>(Volume * 256) & 0xFFFF;
    auxSetVolume(static_cast<UINT>(Device), Channel | (Channel << 16));
}

int32_t GetCDAudioVolume() {
    const int32_t Device = GetCDDeviceID();
    DWORD Volume = 0;
    if (Device < 0 || auxGetVolume(static_cast<UINT>(Device), &Volume) != MMSYSERR_NOERROR)
        return -1;
    return static_cast<int32_t>(((Volume & 0xFFFF) >> 9) + ((Volume >> 16) >> 9));
}
