#include "framework/core/IniFiles.h"

#include "framework/core/Win.h"

#include <vector>

#include "framework/core/ScopeGuard.h"
#include "framework/core/Streams.h"
#include "framework/core/Strings.h"
#include "framework/core/SysUtils.h"

ZEL_DEFINE_CLASS(TCustomIniFile, TObject, {})
ZEL_DEFINE_CLASS(TIniFile, TCustomIniFile, {})
ZEL_DEFINE_CLASS(TMemIniFile, TCustomIniFile, {})

// ---- TCustomIniFile ----

int32_t TCustomIniFile::ReadInteger(const std::string& Section, const std::string& Ident, int32_t Default) {
    std::string s = ReadString(Section, Ident, "");
    if (Trim(s).empty())
        return Default;
    return StrToIntDef(s, Default);
}

void TCustomIniFile::WriteInteger(const std::string& Section, const std::string& Ident, int32_t Value) {
    WriteString(Section, Ident, IntToStr(Value));
}

bool TCustomIniFile::ReadBool(const std::string& Section, const std::string& Ident, bool Default) {
    return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(const std::string& Section, const std::string& Ident, bool Value) {
    WriteString(Section, Ident, Value ? "1" : "0");
}

double TCustomIniFile::ReadFloat(const std::string& Section, const std::string& Ident, double Default) {
    std::string s = ReadString(Section, Ident, "");
    double v;
    return TryStrToFloat(s, v) ? v : Default;
}

void TCustomIniFile::WriteFloat(const std::string& Section, const std::string& Ident, double Value) {
    WriteString(Section, Ident, FloatToStr(Value));
}

bool TCustomIniFile::SectionExists(const std::string& Section) {
    TStringList keys;
    ReadSection(Section, &keys);
    return keys.Count() > 0;
}

bool TCustomIniFile::ValueExists(const std::string& Section, const std::string& Ident) {
    TStringList keys;
    ReadSection(Section, &keys);
    return keys.IndexOf(Ident) >= 0;
}

// ---- TIniFile ----

TIniFile::~TIniFile() = default;

// The profile functions answer lists as zero-separated strings ended by two zeros; the buffer
// grows until the answer fits.
static std::vector<std::string> ProfileList(const char* section, const std::string& file) {
    std::vector<char> buf(16384);
    for (;;) {
        DWORD n = GetPrivateProfileStringA(section, nullptr, "", buf.data(), static_cast<DWORD>(buf.size()),
                                           file.c_str());
        if (n + 2 < buf.size() || buf.size() >= (1u << 24)) {
            std::vector<std::string> out;
            const char* p = buf.data();
            const char* end = buf.data() + n;
            while (p < end && *p) {
                std::string s(p);
                out.push_back(s);
                p += s.size() + 1;
            }
            return out;
        }
        buf.resize(buf.size() * 4);
    }
}

std::string TIniFile::ReadString(const std::string& Section, const std::string& Ident,
                                 const std::string& Default) {
    std::vector<char> buf(2048);
    for (;;) {
        DWORD n = GetPrivateProfileStringA(Section.c_str(), Ident.c_str(), Default.c_str(), buf.data(),
                                           static_cast<DWORD>(buf.size()), FileName().c_str());
        if (n + 1 < buf.size() || buf.size() >= (1u << 24))
            return std::string(buf.data(), n);
        buf.resize(buf.size() * 4);
    }
}

void TIniFile::WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) {
    if (!WritePrivateProfileStringA(Section.c_str(), Ident.c_str(), Value.c_str(), FileName().c_str()))
        throw EIniFileException(Format(SIniFileWriteError, FileName().c_str()));
}

void TIniFile::ReadSection(const std::string& Section, TStrings* Strings) {
    auto Update = UpdateBracket(*Strings);
    Strings->Clear();
    for (const auto& s : ProfileList(Section.c_str(), FileName()))
        Strings->Add(s);
}

void TIniFile::ReadSections(TStrings* Strings) {
    auto Update = UpdateBracket(*Strings);
    Strings->Clear();
    for (const auto& s : ProfileList(nullptr, FileName()))
        Strings->Add(s);
}

void TIniFile::ReadSectionValues(const std::string& Section, TStrings* Strings) {
    auto Update = UpdateBracket(*Strings);
    Strings->Clear();
    for (const auto& k : ProfileList(Section.c_str(), FileName()))
        Strings->Add(k + "=" + ReadString(Section, k, ""));
}

void TIniFile::EraseSection(const std::string& Section) {
    if (!WritePrivateProfileStringA(Section.c_str(), nullptr, nullptr, FileName().c_str()))
        throw EIniFileException(Format(SIniFileWriteError, FileName().c_str()));
}

void TIniFile::DeleteKey(const std::string& Section, const std::string& Ident) {
    WritePrivateProfileStringA(Section.c_str(), Ident.c_str(), nullptr, FileName().c_str());
}

void TIniFile::UpdateFile() {
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, FileName().c_str());
}

// ---- TMemIniFile ----

TMemIniFile::TMemIniFile(const std::string& FileName) : TCustomIniFile(FileName) {
    if (!FileName.empty() && FileExists(FileName)) {
        TStringList lines;
        lines.LoadFromFile(FileName);
        SetStrings(&lines);
    }
}

TMemIniFile::Section* TMemIniFile::FindSection(const std::string& Name) {
    for (auto& s : FSections)
        if (AnsiSameText(s.Name, Name))
            return &s;
    return nullptr;
}

std::string TMemIniFile::ReadString(const std::string& Section, const std::string& Ident,
                                    const std::string& Default) {
    if (auto* s = FindSection(Section))
        for (auto& kv : s->Values)
            if (AnsiSameText(kv.first, Ident))
                return kv.second;
    return Default;
}

void TMemIniFile::WriteString(const std::string& Section, const std::string& Ident,
                              const std::string& Value) {
    auto* s = FindSection(Section);
    if (!s) {
        FSections.push_back({Section, {}});
        s = &FSections.back();
    }
    for (auto& kv : s->Values)
        if (AnsiSameText(kv.first, Ident)) {
            kv.second = Value;
            return;
        }
    s->Values.emplace_back(Ident, Value);
}

void TMemIniFile::ReadSection(const std::string& Section, TStrings* Strings) {
    Strings->BeginUpdate();
    Strings->Clear();
    if (auto* s = FindSection(Section))
        for (auto& kv : s->Values)
            Strings->Add(kv.first);
    Strings->EndUpdate();
}

void TMemIniFile::ReadSections(TStrings* Strings) {
    Strings->BeginUpdate();
    Strings->Clear();
    for (auto& s : FSections)
        Strings->Add(s.Name);
    Strings->EndUpdate();
}

void TMemIniFile::ReadSectionValues(const std::string& Section, TStrings* Strings) {
    Strings->BeginUpdate();
    Strings->Clear();
    if (auto* s = FindSection(Section))
        for (auto& kv : s->Values)
            Strings->Add(kv.first + "=" + kv.second);
    Strings->EndUpdate();
}

void TMemIniFile::EraseSection(const std::string& Section) {
    for (size_t i = 0; i < FSections.size(); ++i)
        if (AnsiSameText(FSections[i].Name, Section)) {
            FSections.erase(FSections.begin() + static_cast<std::ptrdiff_t>(i));
            return;
        }
}

void TMemIniFile::DeleteKey(const std::string& Section, const std::string& Ident) {
    if (auto* s = FindSection(Section))
        for (size_t i = 0; i < s->Values.size(); ++i)
            if (AnsiSameText(s->Values[i].first, Ident)) {
                s->Values.erase(s->Values.begin() + static_cast<std::ptrdiff_t>(i));
                return;
            }
}

bool TMemIniFile::ValueExists(const std::string& Section, const std::string& Ident) {
    if (auto* s = FindSection(Section))
        for (auto& kv : s->Values)
            if (AnsiSameText(kv.first, Ident))
                return true;
    return false;
}

void TMemIniFile::Clear() {
    FSections.clear();
}

void TMemIniFile::GetStrings(TStrings* List) const {
    List->BeginUpdate();
    List->Clear();
    for (size_t i = 0; i < FSections.size(); ++i) {
        List->Add("[" + FSections[i].Name + "]");
        for (auto& kv : FSections[i].Values)
            List->Add(kv.first + "=" + kv.second);
        if (i + 1 < FSections.size())
            List->Add("");
    }
    List->EndUpdate();
}

void TMemIniFile::SetStrings(const TStrings* List) {
    std::vector<Section> sections;
    Section* cur = nullptr;
    for (int i = 0; i < List->Count(); ++i) {
        std::string line = Trim(List->Get(i));
        if (line.empty() || line[0] == ';')
            continue;
        if (line.front() == '[' && line.back() == ']') {
            sections.push_back({line.substr(1, line.size() - 2), {}});
            cur = &sections.back();
        } else if (cur) {
            size_t p = line.find('=');
            if (p == std::string::npos)
                cur->Values.emplace_back(line, "");
            else
                cur->Values.emplace_back(TrimRight(line.substr(0, p)), TrimLeft(line.substr(p + 1)));
        }
    }
    FSections.swap(sections);
}

void TMemIniFile::UpdateFile() {
    TStringList lines;
    GetStrings(&lines);
    std::string tmp = FileName() + ".tmp";
    try {
        lines.SaveToFile(tmp);
    } catch (const EStreamError&) {
        DeleteFile(tmp);
        throw EIniFileException(Format(SIniFileWriteError, FileName().c_str()));
    }
    if (!MoveFileExA(tmp.c_str(), FileName().c_str(), MOVEFILE_REPLACE_EXISTING)) {
        DeleteFile(tmp);
        throw EIniFileException(Format(SIniFileWriteError, FileName().c_str()));
    }
}
