#include "shellcontrols/ShellDragDrop.h"

#include <shellapi.h>

#include <cstring>
#include <new>

#include "framework/ui/Controls.h"
#include "shellcontrols/ShellUtils.h"

namespace {

CLIPFORMAT GIdListFormat = 0;

// Locks a global block for the scope.
class TGlobalLock {
public:
    explicit TGlobalLock(HGLOBAL H) : FHandle(H), FPtr(H ? GlobalLock(H) : nullptr) {}
    ~TGlobalLock() {
        if (FPtr)
            GlobalUnlock(FHandle);
    }
    TGlobalLock(const TGlobalLock&) = delete;
    TGlobalLock& operator=(const TGlobalLock&) = delete;
    BYTE* Get() const { return static_cast<BYTE*>(FPtr); }

private:
    HGLOBAL FHandle;
    void* FPtr;
};

void PutU32(BYTE* P, uint32_t V) {
    for (int I = 0; I < 4; ++I)
        P[I] = static_cast<BYTE>(V >> (8 * I));
}

// A movable, zeroed block of Size bytes written by Fill; Handle stays null when memory runs out.
template <class TFill> HRESULT NewFilledGlobal(SIZE_T Size, HGLOBAL& Handle, TFill Fill) {
    HGLOBAL H = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, Size);
    if (!H)
        return E_OUTOFMEMORY;
    {
        TGlobalLock Lock(H);
        if (!Lock.Get()) {
            GlobalFree(H);
            return E_OUTOFMEMORY;
        }
        Fill(Lock.Get());
    }
    Handle = H;
    return S_OK;
}

} // namespace

CLIPFORMAT NVShellIdListFormat() {
    if (!GIdListFormat)
        GIdListFormat = static_cast<CLIPFORMAT>(RegisterClipboardFormatA("Shell IDList Array"));
    return GIdListFormat;
}

HRESULT BuildHDrop(const std::vector<std::string>& Names, HGLOBAL& Handle) {
    Handle = nullptr;
    if (Names.empty())
        return E_INVALIDARG;
    SIZE_T Size = sizeof(DROPFILES) + 1;
    for (const std::string& N : Names) {
        if (N.empty())
            return E_INVALIDARG;
        Size += N.size() + 1;
    }
    return NewFilledGlobal(Size, Handle, [&Names](BYTE* P) {
        PutU32(P, sizeof(DROPFILES)); // pFiles; pt, fNC and fWide stay 0
        SIZE_T Pos = sizeof(DROPFILES);
        for (const std::string& N : Names) {
            std::memcpy(P + Pos, N.data(), N.size());
            Pos += N.size() + 1;
        }
    });
}

HRESULT BuildIdListArray(LPCITEMIDLIST Parent, const std::vector<LPCITEMIDLIST>& Items, HGLOBAL& Handle) {
    Handle = nullptr;
    static const USHORT Empty = 0;
    std::vector<LPCITEMIDLIST> Lists;
    Lists.push_back(Parent ? Parent : reinterpret_cast<LPCITEMIDLIST>(&Empty));
    for (LPCITEMIDLIST L : Items)
        Lists.push_back(L ? L : reinterpret_cast<LPCITEMIDLIST>(&Empty));
    const uint32_t N = static_cast<uint32_t>(Items.size());
    SIZE_T Size = 4 * N + 8;
    for (LPCITEMIDLIST L : Lists)
        Size += IdListLen(L);
    return NewFilledGlobal(Size, Handle, [&Lists, N](BYTE* P) {
        PutU32(P, N);
        uint32_t Pos = 4 * N + 8;
        for (size_t I = 0; I < Lists.size(); ++I) {
            PutU32(P + 4 + 4 * I, Pos);
            uint32_t Len = IdListLen(Lists[I]);
            std::memcpy(P + Pos, Lists[I], Len);
            Pos += Len;
        }
    });
}

HGLOBAL DuplicateGlobal(HGLOBAL Handle) {
    if (!Handle)
        return nullptr;
    SIZE_T Size = GlobalSize(Handle);
    HGLOBAL H = GlobalAlloc(GMEM_MOVEABLE, Size);
    if (!H)
        return nullptr;
    TGlobalLock From(Handle), To(H);
    if (!From.Get() || !To.Get()) {
        GlobalFree(H);
        return nullptr;
    }
    std::memcpy(To.Get(), From.Get(), Size);
    return H;
}

std::vector<std::string> ReadHDrop(HGLOBAL Handle) {
    std::vector<std::string> Names;
    auto Drop = static_cast<HDROP>(Handle);
    UINT Count = DragQueryFileA(Drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT I = 0; I < Count; ++I) {
        UINT Len = DragQueryFileA(Drop, I, nullptr, 0);
        std::string S(Len + 1, '\0');
        DragQueryFileA(Drop, I, S.data(), Len + 1);
        S.resize(Len);
        Names.push_back(S);
    }
    return Names;
}

DWORD AllowedEffectsOf(IDataObject* Data) {
    const DWORD All = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    FORMATETC Fmt{NVShellIdListFormat(), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM Medium{};
    if (!Data || FAILED(Data->GetData(&Fmt, &Medium)))
        return All;
    struct TMediumGuard {
        STGMEDIUM& M;
        ~TMediumGuard() { ReleaseStgMedium(&M); }
    } Guard{Medium};
    TGlobalLock Lock(Medium.hGlobal);
    const BYTE* P = Lock.Get();
    SIZE_T Size = GlobalSize(Medium.hGlobal);
    if (!P || Size < 8)
        return All;
    auto* Cida = reinterpret_cast<const CIDA*>(P);
    uint32_t N = Cida->cidl;
    if (Size < 4 * static_cast<SIZE_T>(N) + 8)
        return All;
    for (uint32_t I = 0; I <= N; ++I)
        if (Cida->aoffset[I] >= Size)
            throw ENVOleError(DV_E_FORMATETC);
    TComPtr<IShellFolder> Folder;
    NVOleCheck(ShellGetFolderFromIdList(reinterpret_cast<LPCITEMIDLIST>(P + Cida->aoffset[0]), Folder));
    std::vector<LPCITEMIDLIST> Items;
    for (uint32_t I = 1; I <= N; ++I)
        Items.push_back(reinterpret_cast<LPCITEMIDLIST>(P + Cida->aoffset[I]));
    SFGAOF Attrs = All;
    NVOleCheck(Folder->GetAttributesOf(N, Items.data(), &Attrs));
    return All & Attrs;
}

// ---- Format list ----

TNVFormatEtcList::~TNVFormatEtcList() {
    for (FORMATETC& F : FItems)
        if (F.ptd)
            CoTaskMemFree(F.ptd);
}

void TNVFormatEtcList::AddFormats(const std::vector<CLIPFORMAT>& Formats) {
    for (CLIPFORMAT C : Formats)
        Add(FORMATETC{C, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL});
}

void TNVFormatEtcList::Add(const FORMATETC& Format) {
    FORMATETC F = Format;
    if (Format.ptd) {
        DWORD Size = Format.ptd->tdSize;
        F.ptd = static_cast<DVTARGETDEVICE*>(CoTaskMemAlloc(Size));
        if (F.ptd)
            std::memcpy(F.ptd, Format.ptd, Size);
    }
    FItems.push_back(F);
}

HRESULT TNVFormatEtcList::Check(const FORMATETC& Format) const {
    if (Format.dwAspect != DVASPECT_CONTENT)
        return DV_E_FORMATETC;
    bool Found = false;
    for (const FORMATETC& F : FItems)
        if (F.cfFormat == Format.cfFormat) {
            if (F.tymed & Format.tymed)
                return S_OK;
            Found = true;
        }
    return Found ? DV_E_TYMED : DV_E_FORMATETC;
}

// ---- Format enumerator ----

TNVFormatEtcList_IEnumFormatEtc::TNVFormatEtcList_IEnumFormatEtc(const TNVFormatEtcList* List,
                                                                 IUnknown* Owner, int Index)
    : FList(List), FOwner(Owner), FIndex(Index) {
    if (FOwner)
        FOwner->AddRef();
}

TNVFormatEtcList_IEnumFormatEtc::~TNVFormatEtcList_IEnumFormatEtc() {
    if (FOwner)
        FOwner->Release();
}

HRESULT TNVFormatEtcList_IEnumFormatEtc::Next(ULONG Count, FORMATETC* Items, ULONG* Fetched) {
    if (!Items)
        return E_POINTER;
    ULONG N = 0;
    while (N < Count && FIndex < FList->Count())
        Items[N++] = FList->Item(FIndex++);
    if (Fetched)
        *Fetched = N;
    return N < Count ? S_FALSE : S_OK;
}

HRESULT TNVFormatEtcList_IEnumFormatEtc::Skip(ULONG Count) {
    int Left = FList->Count() - FIndex;
    if (static_cast<ULONG>(Left) < Count) {
        FIndex = FList->Count();
        return S_FALSE;
    }
    FIndex += static_cast<int>(Count);
    return S_OK;
}

HRESULT TNVFormatEtcList_IEnumFormatEtc::Reset() {
    FIndex = 0;
    return S_OK;
}

HRESULT TNVFormatEtcList_IEnumFormatEtc::Clone(IEnumFORMATETC** Result) {
    if (!Result)
        return E_POINTER;
    *Result = new (std::nothrow) TNVFormatEtcList_IEnumFormatEtc(FList, FOwner, FIndex);
    return *Result ? S_OK : E_OUTOFMEMORY;
}

// ---- Drop source ----

TDropSource_shlvtv::TDropSource_shlvtv(DWORD Button) : FButton(Button) {}

HRESULT TDropSource_shlvtv::QueryContinueDrag(BOOL EscapePressed, DWORD KeyState) {
    const DWORD Buttons = KeyState & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON);
    if (EscapePressed || (Buttons & ~FButton) != 0)
        return DRAGDROP_S_CANCEL;
    if (Buttons & FButton)
        return S_OK;
    return DRAGDROP_S_DROP;
}

HRESULT TDropSource_shlvtv::GiveFeedback(DWORD) {
    return DRAGDROP_S_USEDEFAULTCURSORS;
}

// ---- Data object ----

TNVShellDataObject::TNVShellDataObject(LPCITEMIDLIST Parent, const std::vector<LPCITEMIDLIST>& Items,
                                       const std::vector<std::string>& Names) {
    std::vector<CLIPFORMAT> Formats;
    if (!Items.empty() && SUCCEEDED(BuildIdListArray(Parent, Items, FIdListArray)))
        Formats.push_back(NVShellIdListFormat());
    if (!Names.empty() && SUCCEEDED(BuildHDrop(Names, FHDrop)))
        Formats.push_back(CF_HDROP);
    FFormats.AddFormats(Formats);
}

TNVShellDataObject::~TNVShellDataObject() {
    if (FHDrop)
        GlobalFree(FHDrop);
    if (FIdListArray)
        GlobalFree(FIdListArray);
}

HRESULT TNVShellDataObject::GetData(FORMATETC* Format, STGMEDIUM* Medium) {
    if (!Format || !Medium)
        return E_POINTER;
    HRESULT R = FFormats.Check(*Format);
    if (FAILED(R))
        return R;
    HGLOBAL Source = nullptr;
    if (Format->cfFormat == CF_HDROP)
        Source = FHDrop;
    else if (Format->cfFormat == NVShellIdListFormat())
        Source = FIdListArray;
    else
        return DV_E_FORMATETC;
    HGLOBAL Copy = DuplicateGlobal(Source);
    if (!Copy)
        return E_OUTOFMEMORY;
    Medium->tymed = TYMED_HGLOBAL;
    Medium->hGlobal = Copy;
    Medium->pUnkForRelease = nullptr;
    return S_OK;
}

HRESULT TNVShellDataObject::GetDataHere(FORMATETC*, STGMEDIUM*) {
    return E_NOTIMPL;
}

HRESULT TNVShellDataObject::QueryGetData(FORMATETC* Format) {
    return Format ? FFormats.Check(*Format) : E_POINTER;
}

HRESULT TNVShellDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* Out) {
    if (Out)
        Out->ptd = nullptr;
    return E_NOTIMPL;
}

HRESULT TNVShellDataObject::SetData(FORMATETC*, STGMEDIUM*, BOOL) {
    return E_NOTIMPL;
}

HRESULT TNVShellDataObject::EnumFormatEtc(DWORD Direction, IEnumFORMATETC** Enum) {
    if (!Enum)
        return E_POINTER;
    *Enum = nullptr;
    if (Direction != DATADIR_GET)
        return E_NOTIMPL;
    *Enum = new (std::nothrow) TNVFormatEtcList_IEnumFormatEtc(&FFormats, static_cast<IDataObject*>(this));
    return *Enum ? S_OK : E_OUTOFMEMORY;
}

HRESULT TNVShellDataObject::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) {
    return OLE_E_ADVISENOTSUPPORTED;
}
HRESULT TNVShellDataObject::DUnadvise(DWORD) {
    return OLE_E_ADVISENOTSUPPORTED;
}
HRESULT TNVShellDataObject::EnumDAdvise(IEnumSTATDATA**) {
    return OLE_E_ADVISENOTSUPPORTED;
}

TComPtr<IDataObject> NVCreateShellDataObject(IShellFolder* ParentFolder, LPCITEMIDLIST Parent,
                                             const std::vector<LPCITEMIDLIST>& Items) {
    std::vector<std::string> Names;
    for (LPCITEMIDLIST Item : Items) {
        std::string Name =
            ShellGetFriendlyNameFromIdList(ParentFolder, Item, TNVFriendlyNameFlags::nvfnForParsing);
        // A virtual item has no path: then no file list is offered at all.
        if (Name.size() < 3 || (Name[1] != ':' && Name.substr(0, 2) != "\\\\")) {
            Names.clear();
            break;
        }
        Names.push_back(Name);
    }
    return TComPtr<IDataObject>(new TNVShellDataObject(Parent, Items, Names));
}

// ---- Drop target ----

namespace {
// Runs one client call; nothing it raises reaches the platform.
template <class F> HRESULT Guarded(DWORD* Effect, F&& Call) {
    try {
        Call();
        return S_OK;
    } catch (...) {
        if (Effect)
            *Effect = DROPEFFECT_NONE;
        HandleUiException(nullptr);
        return E_UNEXPECTED;
    }
}
} // namespace

HRESULT TNVDropTargetForwarder::DragEnter(IDataObject* Data, DWORD KeyState, POINTL Pt, DWORD* Effect) {
    if (!Effect)
        return E_INVALIDARG;
    if (!FClient) {
        *Effect = DROPEFFECT_NONE;
        return S_OK;
    }
    return Guarded(Effect, [&] {
        FClient->OnDropTarget_DragEnter(Data, KeyState, POINT{Pt.x, Pt.y}, *Effect);
    });
}

HRESULT TNVDropTargetForwarder::DragOver(DWORD KeyState, POINTL Pt, DWORD* Effect) {
    if (!Effect)
        return E_INVALIDARG;
    if (!FClient) {
        *Effect = DROPEFFECT_NONE;
        return S_OK;
    }
    return Guarded(Effect, [&] { FClient->OnDropTarget_DragOver(KeyState, POINT{Pt.x, Pt.y}, *Effect); });
}

HRESULT TNVDropTargetForwarder::DragLeave() {
    if (!FClient)
        return S_OK;
    return Guarded(nullptr, [&] { FClient->OnDropTarget_DragLeave(); });
}

HRESULT TNVDropTargetForwarder::Drop(IDataObject* Data, DWORD KeyState, POINTL Pt, DWORD* Effect) {
    if (!Effect)
        return E_INVALIDARG;
    if (!FClient) {
        *Effect = DROPEFFECT_NONE;
        return S_OK;
    }
    return Guarded(Effect, [&] { FClient->OnDropTarget_Drop(Data, KeyState, POINT{Pt.x, Pt.y}, *Effect); });
}
