#include <gtest/gtest.h>

#include "ShellTestFolder.h"
#include "framework/core/SysUtils.h"
#include "shellcontrols/ShellItemData.h"
#include "shellcontrols/ShellUtils.h"

namespace {

// A list's view of one real folder.
class TFolderView : public TNVShellFolderView {
public:
    explicit TFolderView(const std::string& Path) {
        EXPECT_EQ(ShellGetIdListFromPath(Path, *FList.Put()), S_OK);
        EXPECT_EQ(ShellGetFolderFromIdList(FList.Get(), FFolder), S_OK);
    }
    IShellFolder* CurrentFolder() override { return FFolder.Get(); }
    LPCITEMIDLIST CurrentFolderIdList() override { return FList.Get(); }
    IShellDetails* CurrentFolderDetails() override { return nullptr; }
    // The item ID list of Name inside the folder, for the item data to take over.
    LPITEMIDLIST Child(const std::string& Name) {
        std::wstring W(Name.begin(), Name.end());
        LPITEMIDLIST L = nullptr;
        ULONG Eaten = 0;
        EXPECT_EQ(FFolder->ParseDisplayName(nullptr, nullptr, W.data(), &Eaten, &L, nullptr), S_OK) << Name;
        return L;
    }
    TComPtr<IShellFolder> FFolder;
    TNVIdListHolder FList;
};

// A folder that refuses to tell attributes but leaves the request in place, as failing folders do.
class TRefusingFolder : public IShellFolder {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** P) override {
        *P = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE ParseDisplayName(HWND, IBindCtx*, LPWSTR, ULONG*, PIDLIST_RELATIVE*,
                                               ULONG*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE EnumObjects(HWND, SHCONTF, IEnumIDList**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE BindToObject(PCUIDLIST_RELATIVE, IBindCtx*, REFIID, void**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE BindToStorage(PCUIDLIST_RELATIVE, IBindCtx*, REFIID, void**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE CompareIDs(LPARAM, PCUIDLIST_RELATIVE, PCUIDLIST_RELATIVE) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE CreateViewObject(HWND, REFIID, void**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetAttributesOf(UINT, PCUITEMID_CHILD_ARRAY, SFGAOF*) override {
        return E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE GetUIObjectOf(HWND, UINT, PCUITEMID_CHILD_ARRAY, REFIID, UINT*,
                                            void**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetDisplayNameOf(PCUITEMID_CHILD, SHGDNF, STRRET*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetNameOf(HWND, PCUITEMID_CHILD, LPCWSTR, SHGDNF, PITEMID_CHILD*) override {
        return E_NOTIMPL;
    }
};

class TRefusingView : public TNVShellFolderView {
public:
    IShellFolder* CurrentFolder() override { return &Folder; }
    LPCITEMIDLIST CurrentFolderIdList() override { return nullptr; }
    IShellDetails* CurrentFolderDetails() override { return nullptr; }
    TRefusingFolder Folder;
};

} // namespace

TEST(ShellListData, ColumnsOfRealFiles) {
    TShellTestFolder Dir({"sub\\"});
    Dir.MakeFile("one.txt", "1");
    Dir.MakeFile("empty.txt", "");
    Dir.MakeFile("big.bin", std::string(2049, 'b'));
    TFolderView View(Dir.Root());
    struct {
        const char* Name;
        const char* Size;
        bool Folder;
    } Cases[] = {
        {"one.txt", "1KB", false}, {"empty.txt", "0KB", false}, {"big.bin", "3KB", false}, {"sub", "", true}};
    for (const auto& C : Cases) {
        TNVShListData D(&View);
        D.SetData(View.Child(C.Name));
        EXPECT_EQ(D.GetColText(0), "") << C.Name;
        EXPECT_EQ(D.GetColText(1), C.Size) << C.Name;
        EXPECT_FALSE(D.GetColText(2).empty()) << C.Name;
        EXPECT_FALSE(D.GetColText(3).empty()) << C.Name;
        EXPECT_EQ(D.GetColText(4), "") << C.Name;
        EXPECT_EQ(D.IsFolder(), C.Folder) << C.Name;
        EXPECT_TRUE(D.IsFileSystem()) << C.Name;
        EXPECT_TRUE(D.GetEditable()) << C.Name;
        EXPECT_TRUE(D.IsValid()) << C.Name;
        EXPECT_EQ(D.GetPathName(), Dir.Path(C.Name));
        EXPECT_EQ(D.GetFilename(), C.Name);
        EXPECT_EQ(D.GetDisplayName().substr(0, 3), std::string(C.Name).substr(0, 3));
        EXPECT_FALSE(D.IsLnkShortcut());
    }
    EXPECT_EQ(NVFormatSizeKB(1024ull * 1024 * 5 + 1).size(), std::string("5,121KB").size());
}

TEST(ShellListData, AttributesOfAFolderThatFailsAreNone) {
    TRefusingView View;
    TNVShListData D(&View);
    auto* Fake = static_cast<LPITEMIDLIST>(ShellMemAlloc(2));
    Fake->mkid.cb = 0;
    D.SetData(Fake);
    EXPECT_EQ(D.GetAttributes(), 0u);
    EXPECT_FALSE(D.IsFolder());
    EXPECT_FALSE(D.GetEditable());
    EXPECT_FALSE(D.IsValid());
}

TEST(ShellTreeData, FirstLevelNodesAreNeverEditedAndChildrenAre) {
    TShellTestFolder Dir({"child\\"});
    TNVIdListHolder Root;
    ASSERT_EQ(ShellGetIdListFromPath(Dir.Root(), *Root.Put()), S_OK);
    TNVShTreeData Top;
    Top.SetData(nullptr, Root.Get());
    EXPECT_FALSE(Top.GetEditable());
    EXPECT_EQ(Top.GetPathName(), Dir.Root());
    TComPtr<IShellFolder> Folder = Top.GetThisIShf();
    ASSERT_TRUE(Folder);

    TComPtr<IEnumIDList> Enum;
    ASSERT_EQ(Folder->EnumObjects(nullptr, SHCONTF_FOLDERS, Enum.Put()), S_OK);
    TNVIdListHolder Item;
    ASSERT_EQ(Enum->Next(1, Item.Put(), nullptr), S_OK);
    TNVShTreeData Child;
    Child.SetData(&Top, Item.Get());
    EXPECT_EQ(Child.GetPathName(), Dir.Path("child"));
    EXPECT_TRUE(Child.GetEditable());
    EXPECT_TRUE(Child.GetThisIShf());
    TComPtr<IDropTarget> Target;
    EXPECT_EQ(Child.GetIDropTarget(nullptr, Target), S_OK);
    EXPECT_TRUE(Target);
    EXPECT_FALSE(Child.IsRootDir());

    TNVIdListHolder Drive;
    ASSERT_EQ(ShellGetIdListFromPath("Z:\\", *Drive.Put()), S_OK);
    TNVShTreeData Root2;
    Root2.SetData(nullptr, Drive.Get());
    EXPECT_TRUE(Root2.IsRootDir());

    TNVShTreeData Desktop;
    Desktop.SetData(nullptr, nullptr);
    EXPECT_TRUE(Desktop.GetThisIShf());
    EXPECT_FALSE(Desktop.GetEditable());
}
