#include "controls/foundation/RegistryStorage.h"

#include <gtest/gtest.h>

#include <vector>

#include "TestRegistryKey.h"
#include "controls/foundation/FoundationErrors.h"
#include "framework/core/Registry.h"
#include "framework/core/Strings.h"

namespace {

// Raw access to the test key, independent of the code under test.
struct RawKey {
    HKEY H = nullptr;
    explicit RawKey(const std::string& Key) {
        RegOpenKeyExA(HKEY_CURRENT_USER, Key.c_str(), 0, KEY_READ, &H);
    }
    ~RawKey() {
        if (H)
            RegCloseKey(H);
    }
    bool Exists() const { return H != nullptr; }
    // -1 when missing.
    int32_t Size(const std::string& Name, DWORD* Type = nullptr) const {
        DWORD T = 0, N = 0;
        if (!H || RegQueryValueExA(H, Name.c_str(), nullptr, &T, nullptr, &N) != ERROR_SUCCESS)
            return -1;
        if (Type)
            *Type = T;
        return static_cast<int32_t>(N);
    }
    std::string Bytes(const std::string& Name) const {
        const int32_t N = Size(Name);
        if (N <= 0)
            return "";
        std::string S(static_cast<size_t>(N), '\0');
        DWORD Len = static_cast<DWORD>(N);
        RegQueryValueExA(H, Name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(S.data()), &Len);
        return S;
    }
};

TEST(RegistryStorage, TypedValuesRoundTripAndMissingOnesKeepTheDefault) {
    TTestRegistryKey Key;
    struct Case {
        const char* Path;
        THSVariant Value;
        THSVariant Default;
        DWORD RegType;
    };
    const Case Cases[] = {
        {"Edit\\Int", THSVariant(int32_t{-7}), THSVariant(int32_t{0}), REG_DWORD},
        {"Edit\\Real", THSVariant(2.25), THSVariant(0.0), REG_BINARY},
        {"Edit\\Text", THSVariant("a b\r\nc"), THSVariant(""), REG_SZ},
        {"Edit\\Flag", THSVariant(true), THSVariant(false), REG_DWORD},
        {"Edit\\Money", THSVariant::Typed(varCurrency, 12.5), THSVariant::Typed(varCurrency, 0), REG_BINARY},
        {"Edit\\Day", THSVariant::Typed(varDate, 45000.5), THSVariant::Typed(varDate, 0), REG_BINARY},
        {"Top", THSVariant(int32_t{3}), THSVariant(int32_t{0}), REG_DWORD},
    };
    for (const Case& C : Cases) {
        EXPECT_EQ(ReadFromRegistry(C.Path, C.Default), C.Default) << C.Path;
        EXPECT_FALSE(RegValueExists(C.Path)) << C.Path;
        WriteToRegistry(C.Path, C.Value);
        EXPECT_TRUE(RegValueExists(C.Path)) << C.Path;
        EXPECT_EQ(ReadFromRegistry(C.Path, C.Default), C.Value) << C.Path;
        const std::string P = C.Path;
        const size_t Slash = P.rfind('\\');
        RawKey Raw(Key.Key() + (Slash == std::string::npos ? "" : "\\" + P.substr(0, Slash)));
        DWORD Type = 0;
        Raw.Size(Slash == std::string::npos ? P : P.substr(Slash + 1), &Type);
        EXPECT_EQ(Type, C.RegType) << C.Path;
    }
    WriteToRegistry("", THSVariant(int32_t{1})); // nothing
}

TEST(RegistryStorage, WrongTypesRaise) {
    TTestRegistryKey Key;
    WriteToRegistry("V\\Text", THSVariant("12"));
    EXPECT_THROW(ReadFromRegistry("V\\Text", THSVariant(int32_t{5})), ERegistryException);
    try {
        WriteToRegistry("V\\Obj", THSVariant::Of(varObject));
        FAIL() << "no exception";
    } catch (const EHSError& E) {
        EXPECT_EQ(E.Message(), "This type isn't supported by WriteToRegistry");
    }
    EXPECT_THROW(ReadFromRegistry("V\\Text", THSVariant::Of(varObject)), EHSError);
    EXPECT_EQ(ReadFromRegistry("V\\Missing", THSVariant::Of(varObject)).VType, varObject);
}

TEST(RegistryStorage, StringListsAndPlainBuffers) {
    TTestRegistryKey Key;
    TStringList L;
    L.SetText("one\r\ntwo\r\n");
    WriteStringsToRegistry("Hist\\Find", &L);
    EXPECT_EQ(RawKey(Key.Key() + "\\Hist").Bytes("Find"), std::string("one\r\ntwo\r\n\0", 11));
    TStringList Back;
    Back.Add("default");
    ReadStringsFromRegistry("Hist\\Find", &Back);
    EXPECT_EQ(Back.Text(), "one\r\ntwo\r\n");
    ReadStringsFromRegistry("Hist\\Missing", &Back);
    EXPECT_EQ(Back.Text(), "one\r\ntwo\r\n");

    const std::string Data = "0123456789";
    WriteBufToRegistry("Buf\\Data", Data.data(), 10);
    EXPECT_EQ(GetRegBufSize("Buf\\Data"), 10);
    EXPECT_EQ(GetRegBufSize("Buf\\Missing"), -1);
    EXPECT_EQ(GetRegBufSize("NoKey\\Data"), -1);
    // A buffer smaller than the value gets only what fits: the bytes after it stay as they were.
    std::string Small(8, '#');
    EXPECT_EQ(ReadBufFromRegistry("Buf\\Data", Small.data(), 4), 4);
    EXPECT_EQ(Small, "0123####");
    EXPECT_EQ(ReadBufFromRegistry("NoKey\\Data", Small.data(), 4), 0);

    // A path without a backslash below an empty family key names no key: nothing is written.
    RegistryKey = "";
    WriteBufToRegistry("Lonely", Data.data(), 10);
    RegistryKey = Key.Key();
    RawKey Root("");
    EXPECT_EQ(Root.Size("Lonely"), -1);
}

TEST(RegistryStorage, LongBufferInBlocksHasTheExactLayout) {
    TTestRegistryKey Key;
    RegistryLongBuffersInBlocks = true;
    std::vector<uint8_t> Data(20000);
    for (size_t I = 0; I < Data.size(); ++I)
        Data[I] = static_cast<uint8_t>(I * 7 + I / 251);
    WriteLongBufToRegistry("Long\\Data", Data.data(), 20000);

    RawKey Raw(Key.Key() + "\\Long");
    EXPECT_EQ(Raw.Bytes("Data"), "__Long RegKey__0000020000 0000008192");
    EXPECT_EQ(Raw.Size("Data__0"), 8192);
    EXPECT_EQ(Raw.Size("Data__1"), 8192);
    EXPECT_EQ(Raw.Size("Data__2"), 3616);
    EXPECT_EQ(Raw.Size("Data__3"), -1);
    EXPECT_EQ(GetLongRegBufSize("Long\\Data"), 20000);

    std::vector<uint8_t> Back(20000 + 16, 0xEE);
    EXPECT_EQ(ReadLongBufFromRegistry("Long\\Data", Back.data(), 20000), 20000);
    EXPECT_TRUE(std::equal(Data.begin(), Data.end(), Back.begin()));
    EXPECT_EQ(Back[20000], 0xEE);
    // A smaller buffer is filled and not overrun.
    std::vector<uint8_t> Part(9000 + 16, 0xEE);
    EXPECT_EQ(ReadLongBufFromRegistry("Long\\Data", Part.data(), 9000), 9000);
    EXPECT_TRUE(std::equal(Data.begin(), Data.begin() + 9000, Part.begin()));
    EXPECT_EQ(Part[9000], 0xEE);

    // A shorter buffer written over it leaves no stale blocks behind.
    WriteLongBufToRegistry("Long\\Data", Data.data(), 100);
    EXPECT_EQ(Raw.Size("Data__0"), 100);
    EXPECT_EQ(Raw.Size("Data__1"), -1);

    WriteLongBufToRegistry("Long\\Empty", nullptr, 0);
    EXPECT_EQ(Raw.Bytes("Empty"), "__Long RegKey__0000000000 0000008192");
    EXPECT_EQ(Raw.Size("Empty__0"), -1);
    EXPECT_EQ(GetLongRegBufSize("Long\\Empty"), 0);
    EXPECT_EQ(ReadLongBufFromRegistry("Long\\Empty", Back.data(), 100), 0);
}

TEST(RegistryStorage, UnsoundHeadersFallBackToOnePlainValue) {
    TTestRegistryKey Key;
    RegistryLongBuffersInBlocks = true;
    struct Case {
        const char* Name;
        std::string Value;
    };
    const Case Cases[] = {
        {"block size 0", "__Long RegKey__0000000100 0000000000"},
        {"negative total", "__Long RegKey__-000000100 0000008192"},
        {"short", "__Long RegKey__0000000100"},
        {"no marker", "__Long Regkey__0000000100 0000008192"},
    };
    for (const Case& C : Cases) {
        WriteBufToRegistry("Bad\\Value", C.Value.data(), static_cast<int32_t>(C.Value.size()));
        WriteBufToRegistry("Bad\\Value__0", "xxxx", 4);
        EXPECT_EQ(GetLongRegBufSize("Bad\\Value"), static_cast<int32_t>(C.Value.size())) << C.Name;
        std::string Back(64, '\0');
        EXPECT_EQ(ReadLongBufFromRegistry("Bad\\Value", Back.data(), 64),
                  static_cast<int32_t>(C.Value.size()))
            << C.Name;
        EXPECT_EQ(Back.substr(0, C.Value.size()), C.Value) << C.Name;
    }
}

TEST(RegistryStorage, StreamWritesBackOnlyWhenChanged) {
    TTestRegistryKey Key;
    WriteBufToRegistry("S\\Value", "abc", 3);
    {
        TRegistryStream S("S\\Value", fmOpenRead);
        EXPECT_EQ(S.Size(), 3);
        EXPECT_EQ(std::string(S.Memory(), 3), "abc");
    }
    EXPECT_EQ(RawKey(Key.Key() + "\\S").Bytes("Value"), "abc");
    {
        TRegistryStream S("S\\Value", fmOpenRead);
        S.Seek(0, soEnd);
        S.WriteBuffer("de", 2);
    }
    EXPECT_EQ(RawKey(Key.Key() + "\\S").Bytes("Value"), "abcde");
    {
        TRegistryStream S("S\\Value", fmCreate);
        EXPECT_EQ(RawKey(Key.Key() + "\\S").Size("Value"), 0);
        S.WriteBuffer("z", 1);
        S.Flush();
    }
    EXPECT_EQ(RawKey(Key.Key() + "\\S").Bytes("Value"), "z");
}

TEST(RegistryStorage, DeletesWholeKeyTrees) {
    TTestRegistryKey Key;
    WriteToRegistry("A\\B\\C\\V", THSVariant(int32_t{1}));
    WriteToRegistry("A\\D\\V", THSVariant(int32_t{1}));
    EXPECT_TRUE(HSDeleteRegKey(HKEY_CURRENT_USER, "\\" + Key.Key() + "\\", "A"));
    EXPECT_FALSE(RawKey(Key.Key() + "\\A").Exists());
    EXPECT_TRUE(HSDeleteRegKey(HKEY_CURRENT_USER, Key.Key(), "A"));
    EXPECT_EQ(FamilyRegKeyName("X"), "Software\\Halden Soft\\X");
}

} // namespace
