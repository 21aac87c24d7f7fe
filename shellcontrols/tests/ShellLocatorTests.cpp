#include <gtest/gtest.h>

#include "ShellTestFolder.h"
#include "shellcontrols/ShellLocator.h"

TEST(ShellLocator, ChangesFireOnlyForAnotherFolder) {
    TShellTestFolder Dir({"a\\", "b\\"});
    TNVShellLocator L;
    int Changes = 0;
    L.OnChange = [&](TObject*) { ++Changes; };
    L.SetPathName(Dir.Path("a"));
    L.SetPathName(Dir.Path("a"));
    EXPECT_EQ(Changes, 1);
    EXPECT_EQ(L.GetPathName(), Dir.Path("a"));
    L.SetPathName(Dir.Path("b"));
    EXPECT_EQ(Changes, 2);
    L.Clear(); // the desktop is held as no list
    EXPECT_EQ(L.GetIdList(), nullptr);
    EXPECT_EQ(Changes, 3);
    L.SetPathName(Dir.Path("no such folder"));
    EXPECT_EQ(L.GetIdList(), nullptr);
    EXPECT_EQ(Changes, 3);

    L.SetCSIDL(csidlDrives);
    L.SetCSIDL(csidlDrives);
    EXPECT_EQ(Changes, 4);
    EXPECT_EQ(L.GetCSIDL(), csidlDrives);
    EXPECT_NE(L.GetIdList(), nullptr);
    TNVShellLocator Same;
    Same.SetCSIDL(csidlDrives);
    EXPECT_TRUE(L.IsEqual(&Same));
    L.Assign(&Same);
    EXPECT_EQ(Changes, 4);
}

TEST(ShellLocator, StoredForm) {
    TShellTestFolder Dir({"stored\\"});
    TNVShellLocator L;
    EXPECT_FALSE(L.HasData());
    L.SetPathName(Dir.Path("stored"));
    std::vector<uint8_t> Data = L.WriteData();
    ASSERT_GT(Data.size(), 7u);
    EXPECT_EQ(Data[0], 0);
    uint32_t Len = Data[1] | (Data[2] << 8) | (Data[3] << 16) | (static_cast<uint32_t>(Data[4]) << 24);
    EXPECT_EQ(Len, IdListLen(L.GetIdList()));
    EXPECT_EQ(Data.size(), 5 + Len);

    TNVShellLocator Back;
    int Changes = 0;
    Back.OnChange = [&](TObject*) { ++Changes; };
    ASSERT_TRUE(Back.ReadData(Data));
    EXPECT_EQ(Changes, 0);
    EXPECT_EQ(Back.GetPathName(), Dir.Path("stored"));

    EXPECT_TRUE(Back.ReadData({0, 0, 0, 0, 0}));
    EXPECT_EQ(Back.GetCSIDL(), csidlDesktop);
    EXPECT_TRUE(Back.ReadData({1, static_cast<uint8_t>(csidlPersonal)}));
    EXPECT_EQ(Back.GetCSIDL(), csidlPersonal);
    EXPECT_EQ((Back.WriteData()), (std::vector<uint8_t>{1, static_cast<uint8_t>(csidlPersonal)}));

    // Broken blocks change nothing.
    struct {
        std::vector<uint8_t> Bytes;
    } Bad[] = {{{}},       {{0, 9, 0, 0, 0, 1, 2}},      {{0, 4, 0, 0, 0, 5, 0, 0, 0}}, {{1}},
               {{1, 200}}, {{0, 4, 0, 0, 0, 1, 0, 0, 0}}};
    for (const auto& B : Bad) {
        EXPECT_FALSE(Back.ReadData(B.Bytes));
        EXPECT_EQ(Back.GetCSIDL(), csidlPersonal);
    }
}
