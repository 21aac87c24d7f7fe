#pragma once
// TRegistry: one open key under a root key, with typed value reads and writes.
// Reads of a missing value raise ERegistryException "Failed to get data for '%s'" (strings
// read as empty); a value of the wrong type raises "Invalid data type for '%s'"; failed writes
// raise "Failed to set data for '%s'".

#include "framework/core/Win.h"

#include <cstdint>
#include <string>

#include "framework/core/Object.h"
#include "framework/core/SysUtils.h"

class TStrings;

enum TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

struct TRegDataInfo {
    TRegDataType RegData = rdUnknown;
    int32_t DataSize = 0;
};

struct TRegKeyInfo {
    int32_t NumSubKeys = 0;
    int32_t MaxSubKeyLen = 0;
    int32_t NumValues = 0;
    int32_t MaxValueLen = 0;
    int32_t MaxDataLen = 0;
    FILETIME FileTime{};
};

// The longest string value the registry class reads, in bytes; a longer one is refused.
constexpr int32_t kMaxRegistryStringBytes = 64 * 1024;

class TRegistry : public TObject {
    ZEL_DECLARE_CLASS(TRegistry)
public:
    TRegistry();
    explicit TRegistry(REGSAM AAccess);
    ~TRegistry() override;

    HKEY RootKey() const { return FRootKey; }
    void SetRootKey(HKEY Value); // closes the current key
    HKEY CurrentKey() const { return FCurrentKey; }
    const std::string& CurrentPath() const { return FCurrentPath; }
    REGSAM Access() const { return FAccess; }
    void SetAccess(REGSAM Value) { FAccess = Value; }
    bool LazyWrite() const { return FLazyWrite; }
    void SetLazyWrite(bool Value) { FLazyWrite = Value; }

    // A key beginning with '\' is taken from the root; any other is relative to the open key.
    bool OpenKey(const std::string& Key, bool CanCreate);
    bool OpenKeyReadOnly(const std::string& Key);
    void CloseKey();
    bool CreateKey(const std::string& Key); // raises ERegistryException "Failed to create key %s"
    bool DeleteKey(const std::string& Key); // with all its subkeys
    bool DeleteValue(const std::string& Name);
    bool KeyExists(const std::string& Key);
    bool ValueExists(const std::string& Name);
    bool HasSubKeys();
    bool GetKeyInfo(TRegKeyInfo& Value);
    void GetKeyNames(TStrings* Strings);
    void GetValueNames(TStrings* Strings);
    bool GetDataInfo(const std::string& ValueName, TRegDataInfo& Value);
    TRegDataType GetDataType(const std::string& ValueName);
    int32_t GetDataSize(const std::string& ValueName); // -1 when the value is missing

    int32_t ReadInteger(const std::string& Name);
    void WriteInteger(const std::string& Name, int32_t Value);
    std::string ReadString(const std::string& Name);
    void WriteString(const std::string& Name, const std::string& Value);
    void WriteExpandString(const std::string& Name, const std::string& Value);
    bool ReadBool(const std::string& Name);
    void WriteBool(const std::string& Name, bool Value);
    double ReadFloat(const std::string& Name); // 8 binary bytes
    void WriteFloat(const std::string& Name, double Value);
    int64_t ReadCurrency(const std::string& Name); // value times 10000, 8 binary bytes
    void WriteCurrency(const std::string& Name, int64_t Value);
    TDateTime ReadDate(const std::string& Name);
    void WriteDate(const std::string& Name, TDateTime Value);
    TDateTime ReadDateTime(const std::string& Name);
    void WriteDateTime(const std::string& Name, TDateTime Value);
    // Answers the stored size; 0 when the value is missing. A value larger than BufSize or not
    // binary raises "Invalid data type for '%s'".
    int32_t ReadBinaryData(const std::string& Name, void* Buffer, int32_t BufSize);
    void WriteBinaryData(const std::string& Name, const void* Buffer, int32_t BufSize);

protected:
    void ChangeKey(HKEY Value, const std::string& Path);
    HKEY GetBaseKey(bool Relative) const;
    HKEY GetKey(const std::string& Key);
    int32_t GetData(const std::string& Name, void* Buffer, int32_t BufSize, TRegDataType& RegData);
    void PutData(const std::string& Name, const void* Buffer, int32_t BufSize, TRegDataType RegData);

private:
    // Reads a binary value of exactly Size bytes, or raises the read error.
    void ReadFixedBinary(const std::string& Name, void* Buffer, int32_t Size);

    HKEY FRootKey = HKEY_CURRENT_USER;
    HKEY FCurrentKey = nullptr;
    std::string FCurrentPath;
    REGSAM FAccess = KEY_ALL_ACCESS;
    bool FLazyWrite = true;
    bool FCloseRootKey = false;
};
