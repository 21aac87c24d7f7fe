#include "controls/foundation/RegistryStorage.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "controls/foundation/FoundationErrors.h"
#include "controls/foundation/PathUtils.h"
#include "controls/foundation/PropertyUtils.h"
#include "framework/core/Registry.h"
#include "framework/core/Strings.h"
#include "framework/core/SysUtils.h"

std::string RegistryKey = "Software\\Halden Soft\\Darudar Iririv\\Version 4.01";
int32_t DefaultRegBlockSize = 8192;
bool RegistryLongBuffersInBlocks = false;

namespace {

TRegistry* GRegistry = nullptr;
const char* const SUnsupportedType = "This type isn't supported by WriteToRegistry";

struct TValuePath {
    std::string Key;  // below the root, without a leading or trailing backslash
    std::string Name; // the value name
};

TValuePath SplitPath(const std::string& Path) {
    const std::string Full = AddSlash(RegistryKey) + Path;
    const size_t P = Full.find_last_of("\\:");
    if (P == std::string::npos)
        return {"", Full};
    return {RemoveSlash(Full.substr(0, P)), Full.substr(P + 1)};
}

// The key of a value path, open while the scope lasts.
class TKeyScope {
public:
    TKeyScope(const std::string& Key, bool Create) : FReg(FamilyRegistry()), FAccess(FReg.Access()) {
        FOpen = !Key.empty() && (Create ? FReg.OpenKey("\\" + Key, true) : FReg.OpenKeyReadOnly("\\" + Key));
    }
    // Opening read-only narrows the accessor's access for good; later writes need it back.
    ~TKeyScope() {
        FReg.CloseKey();
        FReg.SetAccess(FAccess);
    }
    bool Open() const { return FOpen; }
    TRegistry& Reg() { return FReg; }

private:
    TRegistry& FReg;
    REGSAM FAccess;
    bool FOpen = false;
};

// Reads at most Size bytes of a binary value, whatever its stored size.
int32_t ReadBounded(TRegistry& Reg, const std::string& Name, void* Buffer, int32_t Size) {
    const int32_t Stored = Reg.GetDataSize(Name);
    if (Stored <= 0 || Size <= 0)
        return 0;
    std::vector<uint8_t> Data(static_cast<size_t>(Stored));
    const int32_t Got = std::min(Reg.ReadBinaryData(Name, Data.data(), Stored), Stored);
    const int32_t N = std::min(Got, Size);
    std::memcpy(Buffer, Data.data(), static_cast<size_t>(N));
    return N;
}

std::string BlockPath(const std::string& Path, int32_t K) {
    return Path + "__" + std::to_string(K);
}

// A sound header: the marker, a total size of 0 or more and a block size above 0.
bool ReadLongHeader(const std::string& Path, int32_t& Total, int32_t& Block) {
    if (!RegistryLongBuffersInBlocks)
        return false;
    const TValuePath V = SplitPath(Path);
    TKeyScope Scope(V.Key, false);
    if (!Scope.Open())
        return false;
    const int32_t Stored = Scope.Reg().GetDataSize(V.Name);
    if (Stored < LongRegHeaderSize || Scope.Reg().GetDataType(V.Name) != rdBinary)
        return false;
    std::string Head(static_cast<size_t>(Stored), '\0');
    if (Scope.Reg().ReadBinaryData(V.Name, Head.data(), Stored) != Stored)
        return false;
    if (Head.compare(0, 15, LongRegKeyMarker) != 0)
        return false;
    Total = StrToIntDef(Head.substr(15, 10), 0);
    Block = StrToIntDef(Head.substr(26, 10), 0);
    return Total >= 0 && Block > 0;
}

} // namespace

TRegistry& FamilyRegistry() {
    if (!GRegistry)
        GRegistry = new TRegistry;
    return *GRegistry;
}

void SetRootRegKey(HKEY Root) {
    FamilyRegistry().SetRootKey(Root);
}

void FreeFamilyRegistry() {
    delete GRegistry;
    GRegistry = nullptr;
}

void WriteToRegistry(const std::string& Path, const THSVariant& Value) {
    if (Path.empty())
        return;
    const TValuePath V = SplitPath(Path);
    switch (Value.VType) {
    case varSmallint:
    case varInteger:
    case varByte:
    case varSingle:
    case varDouble:
    case varCurrency:
    case varDate:
    case varString:
    case varOleStr:
    case varBoolean:
        break;
    default:
        Error(SUnsupportedType);
    }
    TKeyScope Scope(V.Key, true);
    if (!Scope.Open())
        return;
    TRegistry& R = Scope.Reg();
    switch (Value.VType) {
    case varSmallint:
    case varInteger:
    case varByte:
        R.WriteInteger(V.Name, static_cast<int32_t>(Value.Int));
        break;
    case varSingle:
    case varDouble:
        R.WriteFloat(V.Name, Value.Real);
        break;
    case varCurrency:
        R.WriteCurrency(V.Name, static_cast<int64_t>(Value.Real * 10000.0));
        break;
    case varDate:
        R.WriteDate(V.Name, Value.Real);
        break;
    case varString:
    case varOleStr:
        R.WriteString(V.Name, Value.Str);
        break;
    default:
        R.WriteBool(V.Name, Value.AsBool());
        break;
    }
}

THSVariant ReadFromRegistry(const std::string& Path, const THSVariant& Default) {
    THSVariant Result = Default;
    if (Path.empty())
        return Result;
    const TValuePath V = SplitPath(Path);
    TKeyScope Scope(V.Key, false);
    if (!Scope.Open() || !Scope.Reg().ValueExists(V.Name))
        return Result;
    TRegistry& R = Scope.Reg();
    switch (Default.VType) {
    case varSmallint:
    case varInteger:
    case varByte:
        Result.Int = R.ReadInteger(V.Name);
        break;
    case varSingle:
    case varDouble:
        Result.Real = R.ReadFloat(V.Name);
        break;
    case varCurrency:
        Result.Real = static_cast<double>(R.ReadCurrency(V.Name)) / 10000.0;
        break;
    case varDate:
        Result.Real = R.ReadDate(V.Name);
        break;
    case varString:
    case varOleStr:
        Result.Str = R.ReadString(V.Name);
        break;
    case varBoolean:
        Result.Int = R.ReadBool(V.Name) ? 1 : 0;
        break;
    default:
        Error(SUnsupportedType);
    }
    return Result;
}

bool RegValueExists(const std::string& Path) {
    const TValuePath V = SplitPath(Path);
    TKeyScope Scope(V.Key, false);
    return Scope.Open() && Scope.Reg().ValueExists(V.Name);
}

void ReadStringsFromRegistry(const std::string& Path, TStrings* Strings) {
    Strings->SetText(ReadFromRegistry(Path, THSVariant(Strings->Text())).Str);
}

void WriteStringsToRegistry(const std::string& Path, const TStrings* Strings) {
    WriteToRegistry(Path, THSVariant(Strings->Text()));
}

void WriteBufToRegistry(const std::string& Path, const void* Buffer, int32_t Size) {
    if (Path.empty())
        return;
    const TValuePath V = SplitPath(Path);
    if (V.Name.empty() || V.Key.empty())
        return;
    TKeyScope Scope(V.Key, true);
    if (Scope.Open())
        Scope.Reg().WriteBinaryData(V.Name, Buffer, Size);
}

int32_t GetRegBufSize(const std::string& Path) {
    const TValuePath V = SplitPath(Path);
    TKeyScope Scope(V.Key, false);
    return Scope.Open() ? Scope.Reg().GetDataSize(V.Name) : -1;
}

int32_t ReadBufFromRegistry(const std::string& Path, void* Buffer, int32_t Size) {
    if (Path.empty())
        return 0;
    const TValuePath V = SplitPath(Path);
    TKeyScope Scope(V.Key, false);
    return Scope.Open() ? ReadBounded(Scope.Reg(), V.Name, Buffer, Size) : 0;
}

void WriteLongBufToRegistry(const std::string& Path, const void* Buffer, int32_t Size) {
    if (!RegistryLongBuffersInBlocks) {
        WriteBufToRegistry(Path, Buffer, Size);
        return;
    }
    const std::string Head = LongRegKeyMarker + Format("%.10d %.10d", Size, DefaultRegBlockSize);
    WriteBufToRegistry(Path, Head.data(), static_cast<int32_t>(Head.size()));
    const auto* Bytes = static_cast<const uint8_t*>(Buffer);
    int32_t K = 0;
    for (int32_t Done = 0; Done < Size; Done += DefaultRegBlockSize, ++K)
        WriteBufToRegistry(BlockPath(Path, K), Bytes + Done, std::min(Size - Done, DefaultRegBlockSize));
    // Blocks of an earlier, longer buffer would only mislead whoever looks at the key.
    const TValuePath V = SplitPath(Path);
    TKeyScope Scope(V.Key, true);
    if (Scope.Open())
        while (Scope.Reg().DeleteValue(V.Name + "__" + std::to_string(K)))
            ++K;
}

int32_t ReadLongBufFromRegistry(const std::string& Path, void* Buffer, int32_t Size) {
    int32_t Total = 0;
    int32_t Block = 0;
    if (!ReadLongHeader(Path, Total, Block))
        return ReadBufFromRegistry(Path, Buffer, Size);
    auto* Bytes = static_cast<uint8_t*>(Buffer);
    int32_t Remaining = std::min(Size, Total);
    int32_t Read = 0;
    for (int32_t K = 0; Remaining > 0; ++K) {
        const int32_t Want = std::min(Block, Remaining);
        const int32_t Got = ReadBufFromRegistry(BlockPath(Path, K), Bytes + Read, Want);
        Read += Got;
        Remaining -= Got;
        if (Got < Want)
            break;
    }
    return Read;
}

int32_t GetLongRegBufSize(const std::string& Path) {
    int32_t Total = 0;
    int32_t Block = 0;
    return ReadLongHeader(Path, Total, Block) ? Total : GetRegBufSize(Path);
}

std::string FamilyRegKeyName(const std::string& SubKey) {
    return "Software\\Halden Soft\\" + SubKey;
}

bool HSDeleteRegKey(HKEY Root, const std::string& Key, const std::string& SubKey) {
    std::string Full = AddSlash(Key) + SubKey;
    if (!Full.empty() && Full[0] == '\\')
        Full.erase(0, 1);
    HKEY H = nullptr;
    if (RegOpenKeyExA(Root, Full.c_str(), 0, KEY_ALL_ACCESS, &H) == ERROR_SUCCESS) {
        DWORD SubKeys = 0;
        DWORD MaxLen = 0;
        if (RegQueryInfoKeyA(H, nullptr, nullptr, nullptr, &SubKeys, &MaxLen, nullptr, nullptr, nullptr,
                             nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
            RegCloseKey(H);
            return false;
        }
        std::vector<std::string> Names;
        std::vector<char> Name(MaxLen + 2);
        for (DWORD I = 0; I < SubKeys; ++I) {
            DWORD Len = static_cast<DWORD>(Name.size());
            if (RegEnumKeyExA(H, I, Name.data(), &Len, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS)
                Names.emplace_back(Name.data(), Len);
        }
        RegCloseKey(H);
        for (const std::string& N : Names)
            HSDeleteRegKey(Root, Full, N);
    }
    const LONG R = RegDeleteKeyA(Root, Full.c_str());
    return R == ERROR_SUCCESS || R == ERROR_FILE_NOT_FOUND;
}

// ---- TRegistryStream ----

TRegistryStream::TRegistryStream(const std::string& Path, uint16_t Mode) : FPath(Path) {
    if (Mode == fmCreate) {
        WriteLongBufToRegistry(FPath, nullptr, 0);
        return;
    }
    FFoundSize = GetLongRegBufSize(FPath);
    if (FFoundSize > 0) {
        SetSize(FFoundSize);
        const int32_t Got = ReadLongBufFromRegistry(FPath, Memory(), FFoundSize);
        SetSize(Got);
        FFoundSize = Got;
    }
}

TRegistryStream::~TRegistryStream() {
    try {
        Flush();
    } catch (...) {
        // A destructor cannot report; callers that must know call Flush themselves.
    }
}

int32_t TRegistryStream::Write(const void* Buffer, int32_t Count) {
    FModified = true;
    return TMemoryStream::Write(Buffer, Count);
}

void TRegistryStream::Flush() {
    if (FModified || (FFoundSize != -1 && FFoundSize != Size())) {
        WriteLongBufToRegistry(FPath, Memory(), static_cast<int32_t>(Size()));
        FModified = false;
        FFoundSize = static_cast<int32_t>(Size());
    }
}

void WriteObjToRegistry(const std::string& Path, TPersistent* Obj) {
    TRegistryStream Stream(Path, fmCreate);
    WriteObjToStream(Stream, Obj);
    Stream.Flush();
}

void ReadObjFromRegistry(const std::string& Path, TPersistent* Obj) {
    TRegistryStream Stream(Path, fmOpenRead);
    if (Stream.Size() > 0)
        ReadObjFromStream(Stream, Obj);
}

void WriteObjTextToRegistry(const std::string& Path, TPersistent* Obj) {
    TRegistryStream Stream(Path, fmCreate);
    WriteObjToTextStream(Stream, Obj);
    Stream.Flush();
}

void ReadObjTextFromRegistry(const std::string& Path, TPersistent* Obj) {
    TRegistryStream Stream(Path, fmOpenRead);
    if (Stream.Size() > 0)
        ReadObjFromTextStream(Stream, Obj);
}
