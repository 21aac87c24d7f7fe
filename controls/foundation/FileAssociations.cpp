#include "controls/foundation/FileAssociations.h"

#include "framework/core/SysUtils.h"

namespace {

bool WriteDefault(HKEY Root, const std::string& Key, const std::string& Value) {
    HKEY H = nullptr;
    if (RegCreateKeyExA(Root, Key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &H, nullptr) != ERROR_SUCCESS)
        return false;
    const LONG R = RegSetValueExA(H, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(Value.c_str()),
                                  static_cast<DWORD>(Value.size() + 1));
    RegCloseKey(H);
    return R == ERROR_SUCCESS;
}

bool ReadDefault(HKEY Root, const std::string& Key, std::string& Value) {
    HKEY H = nullptr;
    if (RegOpenKeyExA(Root, Key.c_str(), 0, KEY_READ, &H) != ERROR_SUCCESS)
        return false;
    char Buffer[1024];
    DWORD Size = sizeof Buffer - 1;
    DWORD Type = 0;
    const LONG R = RegQueryValueExA(H, nullptr, nullptr, &Type, reinterpret_cast<BYTE*>(Buffer), &Size);
    RegCloseKey(H);
    if (R != ERROR_SUCCESS || (Type != REG_SZ && Type != REG_EXPAND_SZ))
        return false;
    Buffer[Size] = '\0';
    Value = Buffer;
    return true;
}

void DeleteDefault(HKEY Root, const std::string& Key) {
    HKEY H = nullptr;
    if (RegOpenKeyExA(Root, Key.c_str(), 0, KEY_SET_VALUE, &H) != ERROR_SUCCESS)
        return;
    RegDeleteValueA(H, nullptr);
    RegCloseKey(H);
}

// Deletes the key only when it holds no value and no subkey.
void DeleteIfEmpty(HKEY Root, const std::string& Key) {
    HKEY H = nullptr;
    if (RegOpenKeyExA(Root, Key.c_str(), 0, KEY_READ, &H) != ERROR_SUCCESS)
        return;
    DWORD SubKeys = 0, Values = 0;
    const LONG R = RegQueryInfoKeyA(H, nullptr, nullptr, nullptr, &SubKeys, nullptr, nullptr, &Values,
                                    nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(H);
    if (R == ERROR_SUCCESS && SubKeys == 0 && Values == 0)
        RegDeleteKeyA(Root, Key.c_str());
}

// Marks a file type whose keys this program wrote; types of other programs are never emptied.
const char* const kOwnerValue = "HSAssociation";

bool HasOwnerMark(HKEY Root, const std::string& FileType) {
    HKEY H = nullptr;
    if (RegOpenKeyExA(Root, FileType.c_str(), 0, KEY_READ, &H) != ERROR_SUCCESS)
        return false;
    const bool Found = RegQueryValueExA(H, kOwnerValue, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    RegCloseKey(H);
    return Found;
}

bool WriteOwnerMark(HKEY Root, const std::string& FileType) {
    HKEY H = nullptr;
    if (RegCreateKeyExA(Root, FileType.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &H, nullptr) !=
        ERROR_SUCCESS)
        return false;
    const LONG R = RegSetValueExA(H, kOwnerValue, 0, REG_SZ, reinterpret_cast<const BYTE*>("1"), 2);
    RegCloseKey(H);
    return R == ERROR_SUCCESS;
}

std::string DotExt(const std::string& Ext) {
    return !Ext.empty() && Ext[0] != '.' ? "." + Ext : Ext;
}

} // namespace

bool AssociateFileExtIn(HKEY Root, const std::string& Ext, const std::string& FileType,
                        const std::string& Command, int32_t IconIndex, const std::string& IconFile) {
    if (Ext.empty() || FileType.empty())
        return false;
    // A type that another program made before stays that program's: it is not marked, so removing
    // the association later leaves it alone.
    HKEY Existing = nullptr;
    const bool TypeExisted = RegOpenKeyExA(Root, FileType.c_str(), 0, KEY_READ, &Existing) == ERROR_SUCCESS;
    if (Existing)
        RegCloseKey(Existing);
    bool Ok = true;
    if (!TypeExisted || HasOwnerMark(Root, FileType))
        Ok = WriteOwnerMark(Root, FileType);
    Ok = WriteDefault(Root, DotExt(Ext), FileType) && Ok;
    Ok = WriteDefault(Root, FileType + "\\DefaultIcon", IconFile + "," + IntToStr(IconIndex)) && Ok;
    Ok = WriteDefault(Root, FileType + "\\Shell\\Open\\Command", Command + " \"%1\"") && Ok;
    return Ok;
}

void UnAssociateFileExtIn(HKEY Root, const std::string& Ext, const std::string& FileType) {
    if (Ext.empty() || FileType.empty() || !HasOwnerMark(Root, FileType))
        return;
    std::string Current;
    // The extension may have been taken over by another program since.
    if (ReadDefault(Root, DotExt(Ext), Current) && SameText(Current, FileType)) {
        DeleteDefault(Root, DotExt(Ext));
        DeleteIfEmpty(Root, DotExt(Ext));
    }
    HKEY H = nullptr;
    if (RegOpenKeyExA(Root, FileType.c_str(), 0, KEY_SET_VALUE, &H) == ERROR_SUCCESS) {
        RegDeleteValueA(H, kOwnerValue);
        RegCloseKey(H);
    }
    DeleteDefault(Root, FileType + "\\DefaultIcon");
    DeleteDefault(Root, FileType + "\\Shell\\Open\\Command");
    for (const char* Sub : {"\\DefaultIcon", "\\Shell\\Open\\Command", "\\Shell\\Open", "\\Shell", ""})
        DeleteIfEmpty(Root, FileType + Sub);
}

bool AssociateFileExt(const std::string& Ext, const std::string& FileType, const std::string& Command,
                      int32_t IconIndex, const std::string& IconFile) {
    return AssociateFileExtIn(HKEY_CLASSES_ROOT, Ext, FileType, Command, IconIndex, IconFile);
}

void UnAssociateFileExt(const std::string& Ext, const std::string& FileType) {
    UnAssociateFileExtIn(HKEY_CLASSES_ROOT, Ext, FileType);
}
