#include "engine/utils/QXRegistryEx.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

const char kKey[] = "Software\\ZEL Tests\\QXRegistryEx";

// Raw registry access for arranging and checking, independent of the class under test.
void setDword(HKEY root, const std::string& key, const char* name, DWORD v) {
    HKEY k;
    ASSERT_EQ(RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(k, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), sizeof v);
    RegCloseKey(k);
}

void setRaw(HKEY root, const std::string& key, const char* name, DWORD type, const void* data, DWORD size) {
    HKEY k;
    ASSERT_EQ(RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(k, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(k);
}

bool valueExists(HKEY root, const std::string& key, const char* name, DWORD* type = nullptr,
                 std::string* data = nullptr) {
    HKEY k;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS)
        return false;
    char buf[256] = {};
    DWORD size = sizeof buf, t = 0;
    const bool ok =
        RegQueryValueExA(k, name, nullptr, &t, reinterpret_cast<BYTE*>(buf), &size) == ERROR_SUCCESS;
    RegCloseKey(k);
    if (ok && type)
        *type = t;
    if (ok && data)
        data->assign(buf, size);
    return ok;
}

bool keyExists(HKEY root, const std::string& key) {
    HKEY k;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS)
        return false;
    RegCloseKey(k);
    return true;
}

class QXRegistryExTest : public ::testing::Test {
protected:
    void SetUp() override { TearDown(); }
    void TearDown() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\ZEL Tests");
        RegDeleteTreeA(HKEY_USERS, ".DEFAULT\\Software\\ZEL Tests");
    }
    const std::string defaultUserKey = std::string(".DEFAULT\\") + kKey;
};

TEST_F(QXRegistryExTest, MissingIntegersComeFromTheDefaultUserOrTheDefaultAndAreWrittenBack) {
    setDword(HKEY_USERS, defaultUserKey, "FromDefaultUser", 77);
    QXRegistryEx reg(QXRegistryEx::UseFallback);
    ASSERT_TRUE(reg.OpenKey(kKey, true));
    EXPECT_EQ(reg.flags() & QXRegistryEx::FallbackOpen, QXRegistryEx::FallbackOpen);

    struct Case {
        const char* name;
        int32_t defaultValue;
        int32_t expected;
    };
    const Case cases[] = {{"FromDefaultUser", 5, 77}, {"Nowhere", 5, 5}};
    for (const Case& c : cases) {
        int32_t v = c.defaultValue;
        EXPECT_TRUE(reg.ReadInteger(c.name, &v));
        EXPECT_EQ(v, c.expected) << c.name;
        DWORD type = 0;
        std::string data;
        ASSERT_TRUE(valueExists(HKEY_CURRENT_USER, kKey, c.name, &type, &data)) << c.name;
        EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
        EXPECT_EQ(*reinterpret_cast<const int32_t*>(data.data()), c.expected);
    }
}

TEST_F(QXRegistryExTest, StoredValuesAreReadAsTheyStandOrKeepTheDefault) {
    setDword(HKEY_CURRENT_USER, kKey, "Number", 9);
    setRaw(HKEY_CURRENT_USER, kKey, "Text12", REG_SZ, "12", 3);
    setRaw(HKEY_CURRENT_USER, kKey, "TextWord", REG_SZ, "twelve", 7);
    const unsigned char bytes[3] = {1, 2, 3};
    setRaw(HKEY_CURRENT_USER, kKey, "Binary", REG_BINARY, bytes, 3);
    setDword(HKEY_CURRENT_USER, kKey, "DwordAsText", 4);
    setRaw(HKEY_CURRENT_USER, kKey, "Name", REG_SZ, "value", 6);

    QXRegistryEx reg(QXRegistryEx::UseFallback);
    ASSERT_TRUE(reg.OpenKey(kKey, true));
    struct IntCase {
        const char* name;
        int32_t expected;
    };
    for (const IntCase& c :
         {IntCase{"Number", 9}, IntCase{"Text12", 12}, IntCase{"TextWord", -3}, IntCase{"Binary", -3}}) {
        int32_t v = -3;
        EXPECT_TRUE(reg.ReadInteger(c.name, &v));
        EXPECT_EQ(v, c.expected) << c.name;
    }
    // A value of the wrong type is left as it is.
    DWORD type = 0;
    ASSERT_TRUE(valueExists(HKEY_CURRENT_USER, kKey, "Binary", &type));
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));

    StrStore text("default");
    EXPECT_TRUE(reg.ReadString("DwordAsText", &text, QXRegistryEx::WriteBack));
    EXPECT_STREQ(text.getString(), "default");
    EXPECT_TRUE(reg.ReadString("Name", &text, QXRegistryEx::WriteBack));
    EXPECT_STREQ(text.getString(), "value");
    char buffer[4] = "abc";
    EXPECT_TRUE(reg.ReadString("Name", buffer, sizeof buffer, 0));
    EXPECT_STREQ(buffer, "val");
}

TEST_F(QXRegistryExTest, StringsAreWrittenBackOnlyWhenAsked) {
    QXRegistryEx reg(QXRegistryEx::UseFallback);
    ASSERT_TRUE(reg.OpenKey(kKey, true));
    struct Case {
        const char* name;
        const char* defaultText;
        uint32_t flags;
        bool written;
    };
    const Case cases[] = {
        {"Plain", "x", 0, false},
        {"WriteBack", "x", QXRegistryEx::WriteBack, true},
        {"EmptyWriteBack", "", QXRegistryEx::WriteBack, true},
        {"EmptyNotWhenEmpty", "", QXRegistryEx::WriteBack | QXRegistryEx::NotWhenEmpty, false},
        {"FullNotWhenEmpty", "y", QXRegistryEx::WriteBack | QXRegistryEx::NotWhenEmpty, true},
    };
    for (const Case& c : cases) {
        StrStore text(c.defaultText);
        EXPECT_TRUE(reg.ReadString(c.name, &text, c.flags));
        EXPECT_STREQ(text.getString(), c.defaultText);
        EXPECT_EQ(valueExists(HKEY_CURRENT_USER, kKey, c.name), c.written) << c.name;
    }
}

TEST_F(QXRegistryExTest, TheDefaultUserIsOnlyReadAndOnlyBehindTheCurrentUser) {
    {
        QXRegistryEx reg(QXRegistryEx::UseFallback);
        ASSERT_TRUE(reg.OpenKey(kKey, true));
        int32_t v = 1;
        reg.ReadInteger("Anything", &v);
    }
    EXPECT_FALSE(keyExists(HKEY_USERS, defaultUserKey)) << "no key is created below .DEFAULT";

    // Another root: no fallback.
    setDword(HKEY_USERS, defaultUserKey, "Value", 42);
    QXRegistryEx reg(QXRegistryEx::UseFallback);
    reg.SetRootKey(HKEY_USERS);
    ASSERT_TRUE(reg.OpenKey(".DEFAULT\\Software\\ZEL Tests\\Other", true));
    EXPECT_EQ(reg.flags() & QXRegistryEx::FallbackOpen, 0u);
    int32_t v = 3;
    reg.ReadInteger("Value", &v);
    EXPECT_EQ(v, 3);

    // Without the fallback flag nothing comes from .DEFAULT.
    QXRegistryEx plain(0);
    ASSERT_TRUE(plain.OpenKey(kKey, true));
    v = 3;
    plain.ReadInteger("Value", &v);
    EXPECT_EQ(v, 3);
}

TEST_F(QXRegistryExTest, DirectHelpersReadWriteAndDeleteKeys) {
    const std::string key = std::string(kKey) + "\\Direct";
    EXPECT_EQ(DeleteRegistryKey(HKEY_CURRENT_USER, key.c_str()), 1) << "nothing to delete";

    EXPECT_EQ(WriteRegistryValue("Text", "hello", HKEY_CURRENT_USER, key.c_str(), REG_SZ, 0), 1);
    char* value = QueryRegistryValue("Text", "unused", HKEY_CURRENT_USER, key.c_str(), 1, 0);
    ASSERT_NE(value, nullptr);
    EXPECT_STREQ(value, "hello");
    std::free(value);

    EXPECT_EQ(QueryRegistryValue("Missing", "x", HKEY_CURRENT_USER, key.c_str(), 0, 0), nullptr);
    StrStore text("fallback");
    EXPECT_EQ(ReadRegistryString("Missing", &text, 0, HKEY_CURRENT_USER, key.c_str()), 0);
    EXPECT_STREQ(text.getString(), "fallback");
    EXPECT_EQ(ReadRegistryString("Missing", &text, 1, HKEY_CURRENT_USER, key.c_str()), 1) << "created";
    EXPECT_STREQ(text.getString(), "fallback");
    EXPECT_TRUE(valueExists(HKEY_CURRENT_USER, key, "Missing"));

    EXPECT_EQ(WriteRegistryValue(nullptr, nullptr, HKEY_CURRENT_USER, (key + "\\Empty").c_str(), REG_SZ, 0),
              1);
    EXPECT_TRUE(keyExists(HKEY_CURRENT_USER, key + "\\Empty"));
    EXPECT_EQ(DeleteRegistryKey(HKEY_CURRENT_USER, (key + "\\Empty").c_str()), 1);
    EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, key + "\\Empty"));
}

} // namespace
