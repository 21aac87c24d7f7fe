#include "framework/core/RegistryIniFile.h"

#include "framework/core/Strings.h"
#include "framework/core/SysUtils.h"

ZEL_DEFINE_CLASS(TRegistryIniFile, TCustomIniFile, {})

TRegistryIniFile::TRegistryIniFile(const std::string& KeyPath, HKEY Root)
    : TCustomIniFile(KeyPath), FReg(std::make_unique<TRegistry>()) {
    FReg->SetRootKey(Root);
}

TRegistryIniFile::~TRegistryIniFile() = default;

bool TRegistryIniFile::OpenSection(const std::string& Section, bool CanCreate) {
    std::string path = "\\" + ExcludeTrailingBackslash(FileName());
    if (!Section.empty())
        path += "\\" + Section;
    FReg->CloseKey();
    return CanCreate ? FReg->OpenKey(path, true) : FReg->OpenKeyReadOnly(path);
}

std::string TRegistryIniFile::ReadString(const std::string& Section, const std::string& Ident,
                                         const std::string& Default) {
    if (!OpenSection(Section, false))
        return Default;
    TRegDataType t = FReg->GetDataType(Ident);
    std::string result = Default;
    if (FReg->ValueExists(Ident) && (t == rdString || t == rdExpandString))
        result = FReg->ReadString(Ident);
    else if (t == rdInteger)
        result = IntToStr(FReg->ReadInteger(Ident));
    FReg->CloseKey();
    return result;
}

void TRegistryIniFile::WriteString(const std::string& Section, const std::string& Ident,
                                   const std::string& Value) {
    if (!OpenSection(Section, true))
        throw ERegistryException(Format(SRegCreateFailed, Section.c_str()));
    FReg->WriteString(Ident, Value);
    FReg->CloseKey();
}

int32_t TRegistryIniFile::ReadInteger(const std::string& Section, const std::string& Ident, int32_t Default) {
    if (!OpenSection(Section, false))
        return Default;
    int32_t result = Default;
    TRegDataType t = FReg->GetDataType(Ident);
    if (t == rdInteger && FReg->GetDataSize(Ident) == 4)
        result = FReg->ReadInteger(Ident);
    else if (t == rdString || t == rdExpandString)
        result = StrToIntDef(FReg->ReadString(Ident), Default);
    FReg->CloseKey();
    return result;
}

void TRegistryIniFile::WriteInteger(const std::string& Section, const std::string& Ident, int32_t Value) {
    if (!OpenSection(Section, true))
        throw ERegistryException(Format(SRegCreateFailed, Section.c_str()));
    FReg->WriteInteger(Ident, Value);
    FReg->CloseKey();
}

bool TRegistryIniFile::ReadBool(const std::string& Section, const std::string& Ident, bool Default) {
    return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TRegistryIniFile::WriteBool(const std::string& Section, const std::string& Ident, bool Value) {
    WriteInteger(Section, Ident, Value ? 1 : 0);
}

void TRegistryIniFile::ReadSection(const std::string& Section, TStrings* Strings) {
    Strings->Clear();
    if (!OpenSection(Section, false))
        return;
    FReg->GetValueNames(Strings);
    FReg->CloseKey();
}

void TRegistryIniFile::ReadSections(TStrings* Strings) {
    Strings->Clear();
    if (!OpenSection("", false))
        return;
    FReg->GetKeyNames(Strings);
    FReg->CloseKey();
}

void TRegistryIniFile::ReadSectionValues(const std::string& Section, TStrings* Strings) {
    TStringList names;
    ReadSection(Section, &names);
    Strings->BeginUpdate();
    Strings->Clear();
    for (int i = 0; i < names.Count(); ++i)
        Strings->Add(names[i] + "=" + ReadString(Section, names[i], ""));
    Strings->EndUpdate();
}

void TRegistryIniFile::EraseSection(const std::string& Section) {
    // An empty section would name the whole store.
    if (Section.empty() || !OpenSection("", false))
        return;
    FReg->CloseKey();
    FReg->DeleteKey("\\" + ExcludeTrailingBackslash(FileName()) + "\\" + Section);
}

void TRegistryIniFile::DeleteKey(const std::string& Section, const std::string& Ident) {
    if (!OpenSection(Section, true))
        return;
    FReg->DeleteValue(Ident);
    FReg->CloseKey();
}

bool TRegistryIniFile::ValueExists(const std::string& Section, const std::string& Ident) {
    if (!OpenSection(Section, false))
        return false;
    bool result = FReg->ValueExists(Ident);
    FReg->CloseKey();
    return result;
}
