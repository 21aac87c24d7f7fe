#include "framework/core/Registry.h"

#include <vector>

#include "framework/core/Strings.h"

ZEL_DEFINE_CLASS(TRegistry, TObject, {})

static bool IsRelative(const std::string& key) {
    return key.empty() || key[0] != '\\';
}

static TRegDataType DataTypeOf(DWORD type) {
    switch (type) {
    case REG_SZ:
        return rdString;
    case REG_EXPAND_SZ:
        return rdExpandString;
    case REG_DWORD:
        return rdInteger;
    case REG_BINARY:
        return rdBinary;
    default:
        return rdUnknown;
    }
}

static DWORD RegTypeOf(TRegDataType t) {
    switch (t) {
    case rdString:
        return REG_SZ;
    case rdExpandString:
        return REG_EXPAND_SZ;
    case rdInteger:
        return REG_DWORD;
    case rdBinary:
        return REG_BINARY;
    default:
        return REG_NONE;
    }
}

[[noreturn]] static void ReadError(const std::string& name) {
    throw ERegistryException(Format(SInvalidRegType, name.c_str()));
}

TRegistry::TRegistry() = default;
TRegistry::TRegistry(REGSAM AAccess) : FAccess(AAccess) {}

TRegistry::~TRegistry() {
    CloseKey();
}

void TRegistry::SetRootKey(HKEY Value) {
    if (Value == FRootKey)
        return;
    CloseKey();
    FRootKey = Value;
}

void TRegistry::ChangeKey(HKEY Value, const std::string& Path) {
    CloseKey();
    FCurrentKey = Value;
    FCurrentPath = Path;
}

HKEY TRegistry::GetBaseKey(bool Relative) const {
    return (FCurrentKey == nullptr || !Relative) ? FRootKey : FCurrentKey;
}

bool TRegistry::OpenKey(const std::string& Key, bool CanCreate) {
    bool relative = IsRelative(Key);
    std::string s = relative ? Key : Key.substr(1);
    HKEY temp = nullptr;
    LONG rc;
    if (!CanCreate || s.empty()) {
        rc = RegOpenKeyExA(GetBaseKey(relative), s.c_str(), 0, FAccess, &temp);
    } else {
        DWORD disp;
        rc = RegCreateKeyExA(GetBaseKey(relative), s.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, FAccess,
                             nullptr, &temp, &disp);
    }
    if (rc != ERROR_SUCCESS)
        return false;
    if (FCurrentKey != nullptr && relative)
        s = FCurrentPath + "\\" + s;
    ChangeKey(temp, s);
    return true;
}

bool TRegistry::OpenKeyReadOnly(const std::string& Key) {
    REGSAM saved = FAccess;
    FAccess = KEY_READ;
    bool ok = OpenKey(Key, false);
    if (!ok) {
        // Some keys grant only value queries.
        FAccess = STANDARD_RIGHTS_READ | KEY_QUERY_VALUE;
        ok = OpenKey(Key, false);
    }
    if (!ok)
        FAccess = saved;
    return ok;
}

void TRegistry::CloseKey() {
    if (FCurrentKey) {
        if (!FLazyWrite)
            RegFlushKey(FCurrentKey);
        RegCloseKey(FCurrentKey);
        FCurrentKey = nullptr;
        FCurrentPath.clear();
    }
}

bool TRegistry::CreateKey(const std::string& Key) {
    bool relative = IsRelative(Key);
    std::string s = relative ? Key : Key.substr(1);
    HKEY temp = nullptr;
    DWORD disp;
    bool ok = RegCreateKeyExA(GetBaseKey(relative), s.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, &temp, &disp) == ERROR_SUCCESS;
    if (ok)
        RegCloseKey(temp);
    else
        throw ERegistryException(Format(SRegCreateFailed, Key.c_str()));
    return ok;
}

static bool DeleteTree(HKEY base, const std::string& path) {
    HKEY key;
    if (RegOpenKeyExA(base, path.c_str(), 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        std::vector<std::string> names;
        char buf[512];
        for (DWORD i = 0;; ++i) {
            DWORD len = sizeof buf;
            if (RegEnumKeyExA(key, i, buf, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                break;
            names.emplace_back(buf, len);
        }
        for (const auto& n : names)
            DeleteTree(key, n);
        RegCloseKey(key);
    }
    return RegDeleteKeyA(base, path.c_str()) == ERROR_SUCCESS;
}

bool TRegistry::DeleteKey(const std::string& Key) {
    bool relative = IsRelative(Key);
    std::string s = relative ? Key : Key.substr(1);
    if (s.empty())
        return false;
    return DeleteTree(GetBaseKey(relative), s);
}

bool TRegistry::DeleteValue(const std::string& Name) {
    return FCurrentKey && RegDeleteValueA(FCurrentKey, Name.c_str()) == ERROR_SUCCESS;
}

HKEY TRegistry::GetKey(const std::string& Key) {
    bool relative = IsRelative(Key);
    std::string s = relative ? Key : Key.substr(1);
    HKEY result = nullptr;
    if (RegOpenKeyExA(GetBaseKey(relative), s.c_str(), 0, FAccess, &result) != ERROR_SUCCESS)
        return nullptr;
    return result;
}

bool TRegistry::KeyExists(const std::string& Key) {
    REGSAM saved = FAccess;
    FAccess = STANDARD_RIGHTS_READ | KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS;
    HKEY k = GetKey(Key);
    FAccess = saved;
    if (!k)
        return false;
    RegCloseKey(k);
    return true;
}

bool TRegistry::ValueExists(const std::string& Name) {
    TRegDataInfo info;
    return GetDataInfo(Name, info);
}

bool TRegistry::GetKeyInfo(TRegKeyInfo& Value) {
    Value = TRegKeyInfo{};
    if (!FCurrentKey)
        return false;
    DWORD sub = 0, maxSub = 0, vals = 0, maxVal = 0, maxData = 0;
    bool ok = RegQueryInfoKeyA(FCurrentKey, nullptr, nullptr, nullptr, &sub, &maxSub, nullptr, &vals, &maxVal,
                               &maxData, nullptr, &Value.FileTime) == ERROR_SUCCESS;
    if (ok) {
        Value.NumSubKeys = static_cast<int32_t>(sub);
        Value.MaxSubKeyLen = static_cast<int32_t>(maxSub);
        Value.NumValues = static_cast<int32_t>(vals);
        Value.MaxValueLen = static_cast<int32_t>(maxVal);
        Value.MaxDataLen = static_cast<int32_t>(maxData);
    }
    return ok;
}

bool TRegistry::HasSubKeys() {
    TRegKeyInfo info;
    return GetKeyInfo(info) && info.NumSubKeys > 0;
}

void TRegistry::GetKeyNames(TStrings* Strings) {
    Strings->Clear();
    TRegKeyInfo info;
    if (!GetKeyInfo(info))
        return;
    std::vector<char> buf(static_cast<size_t>(info.MaxSubKeyLen) + 1);
    for (DWORD i = 0; i < static_cast<DWORD>(info.NumSubKeys); ++i) {
        DWORD len = static_cast<DWORD>(buf.size());
        if (RegEnumKeyExA(FCurrentKey, i, buf.data(), &len, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        Strings->Add(std::string(buf.data(), len));
    }
}

void TRegistry::GetValueNames(TStrings* Strings) {
    Strings->Clear();
    TRegKeyInfo info;
    if (!GetKeyInfo(info))
        return;
    std::vector<char> buf(static_cast<size_t>(info.MaxValueLen) + 1);
    for (DWORD i = 0; i < static_cast<DWORD>(info.NumValues); ++i) {
        DWORD len = static_cast<DWORD>(buf.size());
        if (RegEnumValueA(FCurrentKey, i, buf.data(), &len, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        Strings->Add(std::string(buf.data(), len));
    }
}

bool TRegistry::GetDataInfo(const std::string& ValueName, TRegDataInfo& Value) {
    Value = TRegDataInfo{};
    if (!FCurrentKey)
        return false;
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(FCurrentKey, ValueName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return false;
    Value.RegData = DataTypeOf(type);
    Value.DataSize = static_cast<int32_t>(size);
    return true;
}

TRegDataType TRegistry::GetDataType(const std::string& ValueName) {
    TRegDataInfo info;
    return GetDataInfo(ValueName, info) ? info.RegData : rdUnknown;
}

int32_t TRegistry::GetDataSize(const std::string& ValueName) {
    TRegDataInfo info;
    return GetDataInfo(ValueName, info) ? info.DataSize : -1;
}

int32_t TRegistry::GetData(const std::string& Name, void* Buffer, int32_t BufSize, TRegDataType& RegData) {
    DWORD type = 0, size = static_cast<DWORD>(BufSize);
    if (!FCurrentKey || RegQueryValueExA(FCurrentKey, Name.c_str(), nullptr, &type,
                                         static_cast<BYTE*>(Buffer), &size) != ERROR_SUCCESS)
        throw ERegistryException(Format(SRegGetDataFailed, Name.c_str()));
    RegData = DataTypeOf(type);
    return static_cast<int32_t>(size);
}

void TRegistry::PutData(const std::string& Name, const void* Buffer, int32_t BufSize, TRegDataType RegData) {
    if (!FCurrentKey ||
        RegSetValueExA(FCurrentKey, Name.c_str(), 0, RegTypeOf(RegData), static_cast<const BYTE*>(Buffer),
                       static_cast<DWORD>(BufSize)) != ERROR_SUCCESS)
        throw ERegistryException(Format(SRegSetDataFailed, Name.c_str()));
}

int32_t TRegistry::ReadInteger(const std::string& Name) {
    int32_t result = 0;
    DWORD type = 0, size = sizeof result;
    const LONG rc = FCurrentKey ? RegQueryValueExA(FCurrentKey, Name.c_str(), nullptr, &type,
                                                   reinterpret_cast<BYTE*>(&result), &size)
                                : ERROR_INVALID_HANDLE;
    // One query: a value too large for the number still tells its type, which is the error.
    if (rc != ERROR_SUCCESS && rc != ERROR_MORE_DATA)
        throw ERegistryException(Format(SRegGetDataFailed, Name.c_str()));
    if (rc != ERROR_SUCCESS || DataTypeOf(type) != rdInteger || size != sizeof result)
        ReadError(Name);
    return result;
}

void TRegistry::WriteInteger(const std::string& Name, int32_t Value) {
    PutData(Name, &Value, sizeof Value, rdInteger);
}

std::string TRegistry::ReadString(const std::string& Name) {
    // Most values fit the first query's buffer; a longer one is asked for again at its size. Each
    // query is a round trip to the registry's keeper.
    std::string s(256, '\0');
    DWORD type = 0, size = static_cast<DWORD>(s.size());
    LONG rc = FCurrentKey ? RegQueryValueExA(FCurrentKey, Name.c_str(), nullptr, &type,
                                             reinterpret_cast<BYTE*>(s.data()), &size)
                          : ERROR_INVALID_HANDLE;
    // A text longer than any setting is damage, or a trap for the reader: it is refused like a
    // value of the wrong type, and the caller keeps its default.
    if (rc == ERROR_MORE_DATA && size > DWORD(kMaxRegistryStringBytes))
        ReadError(Name);
    if (rc == ERROR_MORE_DATA) {
        s.assign(size, '\0');
        rc = RegQueryValueExA(FCurrentKey, Name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(s.data()),
                              &size);
        if (rc != ERROR_SUCCESS)
            throw ERegistryException(Format(SRegGetDataFailed, Name.c_str()));
    }
    if (rc != ERROR_SUCCESS || size == 0)
        return "";
    if (DataTypeOf(type) != rdString && DataTypeOf(type) != rdExpandString)
        ReadError(Name);
    s.resize(size);
    size_t z = s.find('\0');
    if (z != std::string::npos)
        s.resize(z);
    return s;
}

void TRegistry::WriteString(const std::string& Name, const std::string& Value) {
    PutData(Name, Value.c_str(), static_cast<int32_t>(Value.size() + 1), rdString);
}

void TRegistry::WriteExpandString(const std::string& Name, const std::string& Value) {
    PutData(Name, Value.c_str(), static_cast<int32_t>(Value.size() + 1), rdExpandString);
}

bool TRegistry::ReadBool(const std::string& Name) {
    return ReadInteger(Name) != 0;
}
void TRegistry::WriteBool(const std::string& Name, bool Value) {
    WriteInteger(Name, Value ? 1 : 0);
}

void TRegistry::ReadFixedBinary(const std::string& Name, void* Buffer, int32_t Size) {
    if (GetDataSize(Name) != Size && GetDataSize(Name) >= 0)
        ReadError(Name);
    TRegDataType t;
    int32_t n = GetData(Name, Buffer, Size, t);
    if (t != rdBinary || n != Size)
        ReadError(Name);
}

double TRegistry::ReadFloat(const std::string& Name) {
    double v = 0;
    ReadFixedBinary(Name, &v, sizeof v);
    return v;
}

void TRegistry::WriteFloat(const std::string& Name, double Value) {
    PutData(Name, &Value, sizeof Value, rdBinary);
}

int64_t TRegistry::ReadCurrency(const std::string& Name) {
    int64_t v = 0;
    ReadFixedBinary(Name, &v, sizeof v);
    return v;
}

void TRegistry::WriteCurrency(const std::string& Name, int64_t Value) {
    PutData(Name, &Value, sizeof Value, rdBinary);
}

TDateTime TRegistry::ReadDate(const std::string& Name) {
    return ReadFloat(Name);
}
void TRegistry::WriteDate(const std::string& Name, TDateTime Value) {
    WriteFloat(Name, Value);
}
TDateTime TRegistry::ReadDateTime(const std::string& Name) {
    return ReadFloat(Name);
}
void TRegistry::WriteDateTime(const std::string& Name, TDateTime Value) {
    WriteFloat(Name, Value);
}

int32_t TRegistry::ReadBinaryData(const std::string& Name, void* Buffer, int32_t BufSize) {
    TRegDataInfo info;
    if (!GetDataInfo(Name, info))
        return 0;
    if ((info.RegData != rdBinary && info.RegData != rdUnknown) || info.DataSize > BufSize)
        ReadError(Name);
    TRegDataType t;
    return GetData(Name, Buffer, info.DataSize, t);
}

void TRegistry::WriteBinaryData(const std::string& Name, const void* Buffer, int32_t BufSize) {
    PutData(Name, Buffer, BufSize, rdBinary);
}
