#include <gtest/gtest.h>

#include <cstring>

#include "ShellTestFolder.h"
#include "ShellTestItems.h"
#include "framework/ui/Controls.h"
#include "shellcontrols/ShellDragDrop.h"
#include "shellcontrols/ShellUtils.h"

namespace {

uint32_t U32At(const BYTE* P) {
    return P[0] | (P[1] << 8) | (P[2] << 16) | (static_cast<uint32_t>(P[3]) << 24);
}

// The items of a real folder, as a drag out of the list would carry them.
struct TDragSet : TShellTestItems {
    using TShellTestItems::TShellTestItems;
    TComPtr<IDataObject> Make() { return NVCreateShellDataObject(Parent.Get(), ParentList.Get(), Items); }
};

struct TMedium {
    STGMEDIUM M{};
    ~TMedium() { ReleaseStgMedium(&M); }
};

} // namespace

TEST(ShellDragDrop, TwoDraggedFilesGiveAHDropThatNamesBothExactly) {
    TShellTestFolder Dir({"first page.html", "second.css"});
    TDragSet Set(Dir.Root(), {"first page.html", "second.css"});
    TComPtr<IDataObject> Data = Set.Make();

    FORMATETC Fmt{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    TMedium Medium;
    ASSERT_EQ(Data->GetData(&Fmt, &Medium.M), S_OK);
    EXPECT_EQ(Medium.M.tymed, static_cast<DWORD>(TYMED_HGLOBAL));
    std::vector<std::string> Names = ReadHDrop(Medium.M.hGlobal);
    EXPECT_EQ(Names, (std::vector<std::string>{Dir.Path("first page.html"), Dir.Path("second.css")}));

    // The block is exactly header, names with their zeros and one final zero.
    SIZE_T Expected = 20 + Names[0].size() + 1 + Names[1].size() + 1 + 1;
    EXPECT_EQ(GlobalSize(Medium.M.hGlobal), Expected);
    const BYTE* P = static_cast<const BYTE*>(GlobalLock(Medium.M.hGlobal));
    EXPECT_EQ(U32At(P), 20u);
    EXPECT_EQ(U32At(P + 16), 0u); // single-byte names
    EXPECT_EQ(P[Expected - 1], 0);
    EXPECT_EQ(P[Expected - 2], 0);
    GlobalUnlock(Medium.M.hGlobal);

    // The ID-list array: two items after the parent.
    FORMATETC IdFmt{NVShellIdListFormat(), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    TMedium Ids;
    ASSERT_EQ(Data->GetData(&IdFmt, &Ids.M), S_OK);
    const BYTE* C = static_cast<const BYTE*>(GlobalLock(Ids.M.hGlobal));
    EXPECT_EQ(U32At(C), 2u);
    EXPECT_EQ(U32At(C + 4), 16u);
    uint32_t ParentLen = IdListLen(Set.ParentList.Get());
    EXPECT_EQ(U32At(C + 8), 16u + ParentLen);
    EXPECT_EQ(std::memcmp(C + 16, Set.ParentList.Get(), ParentLen), 0);
    EXPECT_EQ(GlobalSize(Ids.M.hGlobal),
              4 * 2 + 8 + ParentLen + IdListLen(Set.Items[0]) + IdListLen(Set.Items[1]));
    GlobalUnlock(Ids.M.hGlobal);

    EXPECT_EQ(AllowedEffectsOf(Data.Get()) & (DROPEFFECT_COPY | DROPEFFECT_MOVE),
              static_cast<DWORD>(DROPEFFECT_COPY | DROPEFFECT_MOVE));
}

TEST(ShellDragDrop, BlocksForOneItem) {
    HGLOBAL H = nullptr;
    ASSERT_EQ(BuildHDrop({"Z:\\tmp\\x"}, H), S_OK);
    EXPECT_EQ(GlobalSize(H), 20u + 8 + 1 + 1);
    GlobalFree(H);
    EXPECT_EQ(BuildHDrop({}, H), E_INVALIDARG);
    EXPECT_EQ(BuildHDrop({""}, H), E_INVALIDARG);

    // A long name is not cut at 259 characters.
    std::string Long = "Z:\\" + std::string(300, 'n');
    ASSERT_EQ(BuildHDrop({Long}, H), S_OK);
    EXPECT_EQ(ReadHDrop(H), std::vector<std::string>{Long});
    GlobalFree(H);

    USHORT Item[3] = {4, 0x4141, 0};
    ASSERT_EQ(BuildIdListArray(nullptr, {reinterpret_cast<LPCITEMIDLIST>(Item)}, H), S_OK);
    const BYTE* C = static_cast<const BYTE*>(GlobalLock(H));
    EXPECT_EQ(U32At(C), 1u);
    EXPECT_EQ(U32At(C + 4), 12u);
    EXPECT_EQ(U32At(C + 8), 14u); // after the empty parent's two zero bytes
    EXPECT_EQ(GlobalSize(H), 12u + 2 + 6);
    GlobalUnlock(H);
    GlobalFree(H);
}

TEST(ShellDragDrop, FormatChecksAndEnumeration) {
    TShellTestFolder Dir({"a.txt"});
    TDragSet Set(Dir.Root(), {"a.txt"});
    TComPtr<IDataObject> Data = Set.Make();
    struct {
        CLIPFORMAT Format;
        DWORD Aspect, Tymed;
        HRESULT Expected;
    } Cases[] = {
        {CF_HDROP, DVASPECT_CONTENT, TYMED_HGLOBAL, S_OK},
        {CF_HDROP, DVASPECT_CONTENT, TYMED_ISTREAM, DV_E_TYMED},
        {CF_HDROP, DVASPECT_ICON, TYMED_HGLOBAL, DV_E_FORMATETC},
        {CF_TEXT, DVASPECT_CONTENT, TYMED_HGLOBAL, DV_E_FORMATETC},
        {NVShellIdListFormat(), DVASPECT_CONTENT, TYMED_HGLOBAL | TYMED_ISTREAM, S_OK},
    };
    for (const auto& C : Cases) {
        FORMATETC F{C.Format, nullptr, C.Aspect, -1, C.Tymed};
        EXPECT_EQ(Data->QueryGetData(&F), C.Expected) << C.Format << " " << C.Tymed;
        TMedium M;
        HRESULT R = Data->GetData(&F, &M.M);
        EXPECT_EQ(R, C.Expected);
    }
    FORMATETC Out{};
    EXPECT_EQ(Data->GetCanonicalFormatEtc(nullptr, &Out), E_NOTIMPL);
    EXPECT_EQ(Data->SetData(nullptr, nullptr, FALSE), E_NOTIMPL);
    EXPECT_EQ(Data->DAdvise(nullptr, 0, nullptr, nullptr), OLE_E_ADVISENOTSUPPORTED);

    TComPtr<IEnumFORMATETC> Enum;
    EXPECT_EQ(Data->EnumFormatEtc(DATADIR_SET, Enum.Put()), E_NOTIMPL);
    ASSERT_EQ(Data->EnumFormatEtc(DATADIR_GET, Enum.Put()), S_OK);
    FORMATETC Got[3];
    ULONG Fetched = 0;
    EXPECT_EQ(Enum->Next(3, Got, &Fetched), S_FALSE);
    ASSERT_EQ(Fetched, 2u);
    EXPECT_EQ(Got[0].cfFormat, NVShellIdListFormat());
    EXPECT_EQ(Got[1].cfFormat, CF_HDROP);
    EXPECT_EQ(Enum->Reset(), S_OK);
    EXPECT_EQ(Enum->Skip(1), S_OK);
    TComPtr<IEnumFORMATETC> Copy;
    ASSERT_EQ(Enum->Clone(Copy.Put()), S_OK);
    Data.Reset(); // the enumerators keep the formats alive
    EXPECT_EQ(Copy->Next(1, Got, nullptr), S_OK);
    EXPECT_EQ(Got[0].cfFormat, CF_HDROP);
    EXPECT_EQ(Enum->Skip(2), S_FALSE);
    TComPtr<IUnknown> Unknown;
    EXPECT_EQ(Copy->QueryInterface(IID_IDataObject, Unknown.PutVoid()), E_NOINTERFACE);
    EXPECT_FALSE(Unknown);
}

TEST(ShellDragDrop, DropSourceFollowsItsButton) {
    TComPtr<IDropSource> Left(new TDropSource_shlvtv(MK_LBUTTON));
    TComPtr<IDropSource> Right(new TDropSource_shlvtv(MK_RBUTTON));
    struct {
        IDropSource* Source;
        BOOL Escape;
        DWORD Keys;
        HRESULT Expected;
    } Cases[] = {
        {Left.Get(), FALSE, MK_LBUTTON, S_OK},
        {Left.Get(), FALSE, MK_LBUTTON | MK_SHIFT, S_OK},
        {Left.Get(), FALSE, 0, DRAGDROP_S_DROP},
        {Left.Get(), TRUE, MK_LBUTTON, DRAGDROP_S_CANCEL},
        {Left.Get(), FALSE, MK_LBUTTON | MK_RBUTTON, DRAGDROP_S_CANCEL},
        {Right.Get(), FALSE, MK_RBUTTON, S_OK},
        {Right.Get(), FALSE, MK_LBUTTON, DRAGDROP_S_CANCEL},
        {Right.Get(), FALSE, MK_CONTROL, DRAGDROP_S_DROP},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(C.Source->QueryContinueDrag(C.Escape, C.Keys), C.Expected) << C.Keys;
    EXPECT_EQ(Left->GiveFeedback(DROPEFFECT_COPY), DRAGDROP_S_USEDEFAULTCURSORS);
}

namespace {
class TThrowingClient : public TNVDropTargetClient {
public:
    void OnDropTarget_DragEnter(IDataObject*, DWORD, POINT, DWORD& Effect) override {
        Effect = DROPEFFECT_COPY;
    }
    void OnDropTarget_DragOver(DWORD, POINT, DWORD& Effect) override {
        Effect = DROPEFFECT_MOVE;
        throw Exception("broken folder");
    }
    void OnDropTarget_DragLeave() override {}
    void OnDropTarget_Drop(IDataObject*, DWORD, POINT, DWORD&) override { throw std::bad_alloc(); }
};
} // namespace

TEST(ShellDragDrop, NoExceptionCrossesTheDropTarget) {
    int Reported = 0;
    SetUiExceptionHandler([&](TObject*, const std::exception&) { ++Reported; });
    TThrowingClient Client;
    auto* Forwarder = new TNVDropTargetForwarder(&Client);
    TComPtr<IDropTarget> Target(Forwarder);
    DWORD Effect = DROPEFFECT_COPY;
    EXPECT_EQ(Target->DragEnter(nullptr, 0, POINTL{1, 2}, &Effect), S_OK);
    EXPECT_EQ(Effect, static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_EQ(Target->DragOver(0, POINTL{1, 2}, &Effect), E_UNEXPECTED);
    EXPECT_EQ(Effect, static_cast<DWORD>(DROPEFFECT_NONE));
    Effect = DROPEFFECT_COPY;
    EXPECT_EQ(Target->Drop(nullptr, 0, POINTL{1, 2}, &Effect), E_UNEXPECTED);
    EXPECT_EQ(Effect, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(Reported, 2);
    Forwarder->Detach();
    Effect = DROPEFFECT_COPY;
    EXPECT_EQ(Target->DragOver(0, POINTL{1, 2}, &Effect), S_OK);
    EXPECT_EQ(Effect, static_cast<DWORD>(DROPEFFECT_NONE));
    SetUiExceptionHandler(nullptr);
}

// The shell's own drop target of a folder accepts what the controls offer (this platform's shell
// takes the drop without copying, so the files themselves are not checked here).
TEST(ShellDragDrop, TheShellsFolderTargetAcceptsTheDraggedItems) {
    TShellTestFolder Dir({"from\\", "from\\one.txt", "from\\two.txt", "to\\"});
    TDragSet Set(Dir.Path("from"), {"one.txt", "two.txt"});
    TComPtr<IDataObject> Data = Set.Make();
    TDragSet Dest(Dir.Root(), {"to"});
    TComPtr<IDropTarget> Target;
    ASSERT_EQ(
        Dest.Parent->GetUIObjectOf(nullptr, 1, Dest.Items.data(), IID_IDropTarget, nullptr, Target.PutVoid()),
        S_OK);
    DWORD Effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    ASSERT_EQ(Target->DragEnter(Data.Get(), MK_LBUTTON, POINTL{0, 0}, &Effect), S_OK);
    EXPECT_NE(Effect, static_cast<DWORD>(DROPEFFECT_NONE));
    Effect = DROPEFFECT_COPY;
    EXPECT_EQ(Target->Drop(Data.Get(), MK_LBUTTON, POINTL{0, 0}, &Effect), S_OK);
}
