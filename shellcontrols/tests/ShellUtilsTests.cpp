#include <gtest/gtest.h>

#include <cstring>

#include "ShellTestFolder.h"
#include "framework/core/Strings.h"
#include "framework/core/SysUtils.h"
#include "shellcontrols/ShellUtils.h"

namespace {

LPITEMIDLIST PathList(const std::string& Path) {
    LPITEMIDLIST L = nullptr;
    EXPECT_EQ(ShellGetIdListFromPath(Path, L), S_OK) << Path;
    return L;
}

// An empty ID list (the desktop) in shell memory.
LPITEMIDLIST EmptyList() {
    auto* L = static_cast<LPITEMIDLIST>(ShellMemAlloc(2));
    std::memset(L, 0, 2);
    return L;
}

} // namespace

TEST(ShellIdLists, ArithmeticOnARealPath) {
    TShellTestFolder Dir({"a\\", "a\\b\\", "a\\b\\c.txt"});
    TNVIdListHolder Root(PathList(Dir.Root()));
    TNVIdListHolder File(PathList(Dir.Path("a\\b\\c.txt")));
    ASSERT_TRUE(Root.Get() && File.Get());
    const int RootCount = TNVIdListArray(Root.Get()).GetCount();
    TNVIdListArray Chain(File.Get());
    ASSERT_EQ(Chain.GetCount(), RootCount + 3);

    EXPECT_EQ(IdListLen(nullptr), 0u);
    TNVIdListHolder Empty(EmptyList());
    EXPECT_EQ(IdListLen(Empty.Get()), 2u);
    TNVIdListHolder Both(ConcatIdLists(nullptr, Empty.Get(), Empty.Get()));
    EXPECT_EQ(IdListLen(Both.Get()), 2u);

    // Going up three levels from the file gives the root folder.
    EXPECT_EQ(CompareAbsIdLists(Chain.GoUp(3), Root.Get()), 0);
    EXPECT_EQ(ShellGetPathFromIdList(Chain.GoUp(1)), Dir.Path("a\\b"));
    EXPECT_EQ(IdListLen(Chain.GoUp(Chain.GetCount())), 2u);
    EXPECT_EQ(Chain.GoUp(Chain.GetCount() + 1), nullptr);
    EXPECT_EQ(Chain.GetItem(Chain.GetCount()), nullptr);
    EXPECT_EQ(Chain.GetItem(-1), nullptr);

    // Parent joined with the last item is the whole list again.
    TNVIdListHolder Parent(CopyIdList(nullptr, Chain.GoUp(1)));
    TNVIdListHolder Last(CopyIdList(nullptr, Chain.GetItem(Chain.GetCount() - 1)));
    EXPECT_EQ(TNVIdListArray(Last.Get()).GetCount(), 1);
    TNVIdListHolder Joined(ConcatIdLists(nullptr, Parent.Get(), Last.Get()));
    EXPECT_EQ(IdListLen(Joined.Get()), IdListLen(File.Get()));
    EXPECT_EQ(std::memcmp(Joined.Get(), File.Get(), IdListLen(File.Get())), 0);
    EXPECT_EQ(CompareAbsIdLists(Joined.Get(), File.Get()), 0);
    EXPECT_NE(CompareAbsIdLists(Parent.Get(), File.Get()), 0);

    struct {
        LPCITEMIDLIST A, B;
        int Expected;
    } Cases[] = {
        {nullptr, nullptr, 0},         {nullptr, Empty.Get(), -1}, {Empty.Get(), Empty.Get(), 0},
        {Empty.Get(), Root.Get(), -1}, {Root.Get(), nullptr, -1},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(CompareAbsIdLists(C.A, C.B), C.Expected);
}

TEST(ShellIdLists, NamesAndPathsOfRealItems) {
    TShellTestFolder Dir({"Sub Folder\\", "Sub Folder\\page.html"});
    TNVIdListHolder File(PathList(Dir.Path("Sub Folder\\page.html")));
    TNVIdListHolder Sub(PathList(Dir.Path("Sub Folder")));
    EXPECT_EQ(ShellGetPathFromIdList(File.Get()), Dir.Path("Sub Folder\\page.html"));
    EXPECT_TRUE(ShellGetPathFromIdList(nullptr).empty() || !ShellGetPathFromIdList(nullptr).empty());
    EXPECT_EQ(ShellGetFriendlyNameForLastIdListElement(Sub.Get()), "Sub Folder");
    EXPECT_EQ(ShellGetFriendlyNameFromIdList(nullptr, File.Get(), TNVFriendlyNameFlags::nvfnForParsing),
              Dir.Path("Sub Folder\\page.html"));
    EXPECT_EQ(UpperCase(ShellGetDisplayPathName(UpperCase(Dir.Path("Sub Folder")))),
              UpperCase(Dir.Path("Sub Folder")));
    EXPECT_EQ(ShellGetDisplayPathName(Dir.Path("missing\\nothing.txt")), "");

    // Binding the parent gives the folder that names the item in-folder.
    TComPtr<IShellFolder> Parent;
    LPITEMIDLIST ParentList = nullptr, RelList = nullptr;
    ASSERT_EQ(ShellBindToParent(File.Get(), Parent, ParentList, RelList), S_OK);
    TNVIdListHolder P(ParentList), R(RelList);
    EXPECT_EQ(ShellGetPathFromIdList(P.Get()), Dir.Path("Sub Folder"));
    std::string InFolder =
        ShellGetFriendlyNameFromIdList(Parent.Get(), R.Get(), TNVFriendlyNameFlags::nvfnInFolder);
    EXPECT_EQ(InFolder.substr(0, 4), "page");
    SFGAOF Attrs = SFGAO_FOLDER | SFGAO_FILESYSTEM;
    LPCITEMIDLIST Items[1] = {R.Get()};
    ASSERT_EQ(Parent->GetAttributesOf(1, Items, &Attrs), S_OK);
    EXPECT_EQ(Attrs & (SFGAO_FOLDER | SFGAO_FILESYSTEM), static_cast<SFGAOF>(SFGAO_FILESYSTEM));
}

TEST(ShellIdLists, SpecialFolders) {
    TNVIdListHolder Drives;
    ASSERT_EQ(ShellGetSpecialFolderIdList(nullptr, csidlDrives, *Drives.Put()), S_OK);
    EXPECT_EQ(ShellFindCSIDLFromIdList(Drives.Get()), csidlDrives);
    TShellTestFolder Dir;
    TNVIdListHolder Plain(PathList(Dir.Root()));
    EXPECT_EQ(ShellFindCSIDLFromIdList(Plain.Get()), csidlNone);
    EXPECT_FALSE(ShellGetSpecialFolderPath(nullptr, csidlDesktopDirectory).empty());
    EXPECT_EQ(ShellGetSpecialFolderPath(nullptr, csidlDrives), "");
    EXPECT_NE(ShellGetSystemImageList(TNVShellIconSize::nvsizSmall), nullptr);
    FlushDriveInfoCache();
}

TEST(ShellStrings, DoubleByteAwareRoutines) {
    EXPECT_EQ(EnsureTrailingCharDB("C:", '\\'), "C:\\");
    EXPECT_EQ(EnsureTrailingCharDB("C:\\", '\\'), "C:\\");
    EXPECT_EQ(EnsureTrailingCharDB("", '\\'), "");
    EXPECT_EQ(TrimRightDB("abc \t\r\n"), "abc");
    EXPECT_EQ(TrimRightDB("   "), "");

    struct {
        const char* Line;
        std::vector<std::string> Params;
    } Cases[] = {
        {"a \"b c\"  d", {"a", "b c", "d"}},
        {"\"x  \"", {"x"}},
        {"  ", {}},
        {"one\"two three\"", {"one", "two three"}},
        {"\ttab\tsep ", {"tab", "sep"}},
        {"\"unterminated quote", {"unterminated quote"}},
    };
    for (const auto& C : Cases) {
        TStringList L;
        ParametizeCmdLineDB(C.Line, &L);
        std::vector<std::string> Got;
        for (int I = 0; I < L.Count(); ++I)
            Got.push_back(L[I]);
        EXPECT_EQ(Got, C.Params) << C.Line;
    }
}

TEST(ShellStrings, PositionalFormat) {
    EXPECT_EQ(FormatStrPos("Cannot create folder %2: %1", {"Access denied", "New Folder"}),
              "Cannot create folder New Folder: Access denied");
    EXPECT_EQ(FormatStrPos("", {"a"}), "");
    EXPECT_EQ(FormatStrPos("Unable to create the folder '%2'\n\n%1", {"Denied.", "x"}),
              "Unable to create the folder 'x'\n\nDenied.");
    EXPECT_THROW(FormatStrPos("%1", std::vector<std::string>(51, "x")), Exception);
}

TEST(ShellPidlList, SortedDuplicatesFollowTheMode) {
    TShellTestFolder Dir({"b.txt", "a.txt", "c.txt"});
    std::vector<TNVIdListHolder> Lists;
    for (const char* N : {"b.txt", "a.txt", "c.txt", "a.txt"})
        Lists.emplace_back(PathList(Dir.Path(N)));

    TNVPidlList L;
    L.SetSorted(true);
    for (int I = 0; I < 3; ++I)
        L.Add(Lists[static_cast<size_t>(I)].Get());
    EXPECT_THROW(L.Add(Lists[3].Get()), EListError);
    L.Duplicates = TNVPidlDuplicates::dupIgnore;
    int Index = L.Add(Lists[3].Get());
    EXPECT_EQ(L.Count(), 3);
    EXPECT_EQ(L.PIDLs(Index), Lists[1].Get()); // the first a.txt, not the duplicate
    EXPECT_EQ(L.IndexOf(Lists[3].Get()), Index);
    L.Duplicates = TNVPidlDuplicates::dupAccept;
    L.Add(Lists[3].Get());
    EXPECT_EQ(L.Count(), 4);
    L.Delete(0);
    EXPECT_EQ(L.Count(), 3);

    // Ordered by a folder's own comparison: by name.
    TComPtr<IShellFolder> Folder;
    TNVIdListHolder RootList(PathList(Dir.Root()));
    ASSERT_EQ(ShellGetFolderFromIdList(RootList.Get(), Folder), S_OK);
    TNVPidlList ByName;
    ByName.ShellFolder = Folder.Get();
    ByName.Malloc = ShellIMalloc(); // owns the lists below
    std::vector<std::string> Names;
    TComPtr<IEnumIDList> Enum;
    ASSERT_EQ(Folder->EnumObjects(nullptr, SHCONTF_NONFOLDERS, Enum.Put()), S_OK);
    LPITEMIDLIST Item = nullptr;
    while (Enum->Next(1, &Item, nullptr) == S_OK)
        ByName.Add(Item);
    ByName.SetSorted(true);
    for (int I = 0; I < ByName.Count(); ++I)
        Names.push_back(ShellGetFriendlyNameFromIdList(Folder.Get(), ByName.PIDLs(I),
                                                       TNVFriendlyNameFlags::nvfnForParsing));
    ASSERT_EQ(Names.size(), 3u);
    EXPECT_EQ(ExtractFileName(Names[0]), "a.txt");
    EXPECT_EQ(ExtractFileName(Names[2]), "c.txt");
}

TEST(ShellShortcuts, CreateAndResolve) {
    TShellTestFolder Dir({"target\\"});
    std::string Link = Dir.Path("to target.lnk");
    ASSERT_EQ(CreateQuickShortcut(Link, Dir.Path("target")), S_OK);
    TLinkData D;
    ASSERT_EQ(ResolveShortcut(Link, D, true), S_OK);
    EXPECT_EQ(UpperCase(D.Path), UpperCase(Dir.Path("target")));
    EXPECT_EQ(D.Description, Dir.Path("target"));
    EXPECT_NE(D.IdList, nullptr);
    ShellMemFree(D.IdList);
    TLinkData Missing;
    EXPECT_TRUE(FAILED(ResolveShortcut(Dir.Path("none.lnk"), Missing, false)));
}

TEST(ShellDeviceChange, HandlersRunAfterTheBroadcastAndOnlyWhenEnabled) {
    TNVDeviceChangeHandler* H = NVDeviceChangeHandler();
    ASSERT_NE(H->Handle(), nullptr);
    int Calls = 0;
    WPARAM Seen = 0;
    int Key = 0;
    H->Add(&Key, [&](TObject*, const TMessage& M) {
        ++Calls;
        Seen = M.WParam;
    });
    SendMessageA(H->Handle(), WM_DEVICECHANGE, 0x8000, 0);
    EXPECT_EQ(Calls, 0); // not inside the broadcast
    MSG Msg;
    while (PeekMessageA(&Msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&Msg);
    EXPECT_EQ(Calls, 1);
    EXPECT_EQ(Seen, 0x8000u);
    H->Enabled = false;
    SendMessageA(H->Handle(), WM_DEVICECHANGE, 0x8004, 0);
    while (PeekMessageA(&Msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&Msg);
    EXPECT_EQ(Calls, 1);
    H->Enabled = true;
    H->Remove(&Key);
    H->Remove(&Key); // nothing left: no effect
}
