#include <windows.h>

#include <gtest/gtest.h>

#include <string>

// These fail when the test set-up is broken, not the program: a missing display, a prefix without a registry.
TEST(Environment, RegistryRoundTrip) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\ZELTestEnvironment", 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, &key, nullptr));
    DWORD value = 42;
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, "Answer", 0, REG_DWORD,
                                            reinterpret_cast<const BYTE*>(&value), sizeof value));
    DWORD read = 0, size = sizeof read, type = 0;
    ASSERT_EQ(ERROR_SUCCESS,
              RegQueryValueExA(key, "Answer", nullptr, &type, reinterpret_cast<BYTE*>(&read), &size));
    EXPECT_EQ(REG_DWORD, type);
    EXPECT_EQ(42u, read);
    RegCloseKey(key);
    EXPECT_EQ(ERROR_SUCCESS, RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\ZELTestEnvironment"));
}

TEST(Environment, TemporaryFolderIsWritable) {
    char dir[MAX_PATH];
    ASSERT_GT(GetTempPathA(MAX_PATH, dir), 0u);
    char name[MAX_PATH];
    ASSERT_NE(0u, GetTempFileNameA(dir, "zel", 0, name));
    EXPECT_TRUE(DeleteFileA(name));
}

TEST(Environment, WindowsCanBeCreated) {
    HWND wnd = CreateWindowExA(0, "STATIC", "probe", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, wnd);
    ShowWindow(wnd, SW_SHOW);
    HDC dc = GetDC(wnd);
    EXPECT_NE(nullptr, dc);
    ReleaseDC(wnd, dc);
    EXPECT_TRUE(DestroyWindow(wnd));
}
