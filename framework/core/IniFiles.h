#pragma once
// INI files: TCustomIniFile (typed reads and writes over strings), TIniFile over the platform's
// profile functions (give it a full path: a bare name means the Windows folder), and
// TMemIniFile, which holds the whole file in memory until UpdateFile.

#include <string>
#include <vector>

#include "framework/core/Object.h"

class TStrings;

class TCustomIniFile : public TObject {
    ZEL_DECLARE_CLASS(TCustomIniFile)
public:
    explicit TCustomIniFile(const std::string& FileName) : FFileName(FileName) {}
    ~TCustomIniFile() override = default;

    const std::string& FileName() const { return FFileName; }

    virtual std::string ReadString(const std::string& Section, const std::string& Ident,
                                   const std::string& Default) = 0;
    virtual void WriteString(const std::string& Section, const std::string& Ident,
                             const std::string& Value) = 0;
    // Decimal or hexadecimal ("0x1F", "$1F"); anything else gives Default.
    virtual int32_t ReadInteger(const std::string& Section, const std::string& Ident, int32_t Default);
    virtual void WriteInteger(const std::string& Section, const std::string& Ident, int32_t Value);
    virtual bool ReadBool(const std::string& Section, const std::string& Ident, bool Default);
    virtual void WriteBool(const std::string& Section, const std::string& Ident, bool Value); // "1" / "0"
    virtual double ReadFloat(const std::string& Section, const std::string& Ident, double Default);
    virtual void WriteFloat(const std::string& Section, const std::string& Ident, double Value);

    virtual void ReadSection(const std::string& Section, TStrings* Strings) = 0; // the keys
    virtual void ReadSections(TStrings* Strings) = 0;
    virtual void ReadSectionValues(const std::string& Section, TStrings* Strings) = 0; // KEY=VALUE lines
    virtual void EraseSection(const std::string& Section) = 0;
    virtual void DeleteKey(const std::string& Section, const std::string& Ident) = 0;
    virtual void UpdateFile() = 0;
    bool SectionExists(const std::string& Section);
    virtual bool ValueExists(const std::string& Section, const std::string& Ident);

private:
    std::string FFileName;
};

class TIniFile : public TCustomIniFile {
    ZEL_DECLARE_CLASS(TIniFile)
public:
    explicit TIniFile(const std::string& FileName) : TCustomIniFile(FileName) {}
    ~TIniFile() override;

    std::string ReadString(const std::string& Section, const std::string& Ident,
                           const std::string& Default) override;
    // Raises EIniFileException "Unable to write to %s".
    void WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) override;
    void ReadSection(const std::string& Section, TStrings* Strings) override;
    void ReadSections(TStrings* Strings) override;
    void ReadSectionValues(const std::string& Section, TStrings* Strings) override;
    void EraseSection(const std::string& Section) override;
    void DeleteKey(const std::string& Section, const std::string& Ident) override;
    void UpdateFile() override; // flushes the platform's cache
};

class TMemIniFile : public TCustomIniFile {
    ZEL_DECLARE_CLASS(TMemIniFile)
public:
    // Loads the file when it exists; sections and keys compare ignoring case.
    explicit TMemIniFile(const std::string& FileName);
    ~TMemIniFile() override = default;

    std::string ReadString(const std::string& Section, const std::string& Ident,
                           const std::string& Default) override;
    void WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) override;
    void ReadSection(const std::string& Section, TStrings* Strings) override;
    void ReadSections(TStrings* Strings) override;
    void ReadSectionValues(const std::string& Section, TStrings* Strings) override;
    void EraseSection(const std::string& Section) override;
    void DeleteKey(const std::string& Section, const std::string& Ident) override;
    bool ValueExists(const std::string& Section, const std::string& Ident) override;
    // Writes the whole file (to a temporary name first, then into place).
    void UpdateFile() override;
    void Clear();
    void GetStrings(TStrings* List) const;
    void SetStrings(const TStrings* List);

private:
    struct Section {
        std::string Name;
        std::vector<std::pair<std::string, std::string>> Values;
    };
    Section* FindSection(const std::string& Name);
    std::vector<Section> FSections;
};
