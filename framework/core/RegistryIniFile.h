#pragma once
// TRegistryIniFile: the INI interface over the registry. The "file name" is a key path below the
// root (HKEY_CURRENT_USER by default); each section is a subkey of it and each entry a value.
// Strings are string values; integers and booleans are written as integer values and read from
// either kind.

#include <memory>
#include <string>

#include "framework/core/IniFiles.h"
#include "framework/core/Registry.h"

class TRegistryIniFile : public TCustomIniFile {
    ZEL_DECLARE_CLASS(TRegistryIniFile)
public:
    explicit TRegistryIniFile(const std::string& KeyPath, HKEY Root = HKEY_CURRENT_USER);
    ~TRegistryIniFile() override;

    TRegistry& RegIniFile() { return *FReg; }

    std::string ReadString(const std::string& Section, const std::string& Ident,
                           const std::string& Default) override;
    // Raises ERegistryException when the key cannot be made or the value cannot be set.
    void WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) override;
    int32_t ReadInteger(const std::string& Section, const std::string& Ident, int32_t Default) override;
    void WriteInteger(const std::string& Section, const std::string& Ident, int32_t Value) override;
    bool ReadBool(const std::string& Section, const std::string& Ident, bool Default) override;
    void WriteBool(const std::string& Section, const std::string& Ident, bool Value) override;

    void ReadSection(const std::string& Section, TStrings* Strings) override;
    void ReadSections(TStrings* Strings) override;
    void ReadSectionValues(const std::string& Section, TStrings* Strings) override;
    void EraseSection(const std::string& Section) override;
    void DeleteKey(const std::string& Section, const std::string& Ident) override;
    bool ValueExists(const std::string& Section, const std::string& Ident) override;
    void UpdateFile() override {}

private:
    bool OpenSection(const std::string& Section, bool CanCreate);
    std::unique_ptr<TRegistry> FReg;
};
