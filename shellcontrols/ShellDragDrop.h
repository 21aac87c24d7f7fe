#pragma once
// The OLE drag-and-drop pieces that the shell tree and list share: the clipboard blocks a file
// drag carries (CF_HDROP and "Shell IDList Array"), the format list and its enumerator, the drop
// source, the data object of dragged shell items, and a drop target that hands the platform's
// calls to its control. The COM objects are plain classes with their own reference count; each
// answers IUnknown and its one interface and frees itself when the count reaches 0. No exception
// leaves a COM method: failures become result codes.
#include "framework/core/Win.h"

#include <objbase.h>
#include <ole2.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "shellcontrols/ComObject.h"
#include "shellcontrols/ComPtr.h"

// The registered number of "Shell IDList Array" (registered on first use, kept for the run).
CLIPFORMAT NVShellIdListFormat();

// A CF_HDROP block naming Names (single-byte text), sized to the names. E_OUTOFMEMORY when the
// memory cannot be had; E_INVALIDARG for an empty list or an empty name.
HRESULT BuildHDrop(const std::vector<std::string>& Names, HGLOBAL& Handle);
// A "Shell IDList Array" block: the parent list (null: the desktop) and each item relative to it.
HRESULT BuildIdListArray(LPCITEMIDLIST Parent, const std::vector<LPCITEMIDLIST>& Items, HGLOBAL& Handle);
// A movable copy of a global block; 0 when the memory cannot be had.
HGLOBAL DuplicateGlobal(HGLOBAL Handle);
// The names a CF_HDROP block holds (for checks and for drops received).
std::vector<std::string> ReadHDrop(HGLOBAL Handle);
// The effects the dragged items allow: DROPEFFECT_COPY | MOVE | LINK reduced by what their folder
// allows; all three when the data carries no ID-list array. Raises ENVOleError when the folder
// cannot be bound or asked.
DWORD AllowedEffectsOf(IDataObject* Data);

class TNVFormatEtcList {
public:
    TNVFormatEtcList() = default;
    ~TNVFormatEtcList();
    TNVFormatEtcList(const TNVFormatEtcList&) = delete;
    TNVFormatEtcList& operator=(const TNVFormatEtcList&) = delete;
    // One record per format: DVASPECT_CONTENT, index -1, TYMED_HGLOBAL.
    void AddFormats(const std::vector<CLIPFORMAT>& Formats);
    // Copies the record with its target-device block.
    void Add(const FORMATETC& Format);
    int Count() const { return static_cast<int>(FItems.size()); }
    const FORMATETC& Item(int Index) const { return FItems.at(static_cast<size_t>(Index)); }
    // QueryGetData's answer: S_OK, DV_E_TYMED or DV_E_FORMATETC.
    HRESULT Check(const FORMATETC& Format) const;

private:
    std::vector<FORMATETC> FItems;
};

// Enumerates a format list; the list must outlive the enumerator (its data object holds both).
class TNVFormatEtcList_IEnumFormatEtc : public TNVComObject<IEnumFORMATETC, IID_IEnumFORMATETC> {
public:
    TNVFormatEtcList_IEnumFormatEtc(const TNVFormatEtcList* List, IUnknown* Owner, int Index = 0);
    HRESULT STDMETHODCALLTYPE Next(ULONG Count, FORMATETC* Items, ULONG* Fetched) override;
    HRESULT STDMETHODCALLTYPE Skip(ULONG Count) override;
    HRESULT STDMETHODCALLTYPE Reset() override;
    HRESULT STDMETHODCALLTYPE Clone(IEnumFORMATETC** Result) override;

private:
    virtual ~TNVFormatEtcList_IEnumFormatEtc();
    const TNVFormatEtcList* FList;
    IUnknown* FOwner; // held: keeps the list alive
    int FIndex;
};

// The drop source of both controls: the drag continues while its button is down.
class TDropSource_shlvtv : public TNVComObject<IDropSource, IID_IDropSource> {
public:
    // Button: MK_LBUTTON, MK_RBUTTON or MK_MBUTTON.
    explicit TDropSource_shlvtv(DWORD Button);
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL EscapePressed, DWORD KeyState) override;
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD Effect) override;

private:
    virtual ~TDropSource_shlvtv() = default;
    DWORD FButton;
};

// The data object of dragged shell items: "Shell IDList Array" and CF_HDROP, in that order.
// Used for the tree's one node and for the list's selection alike.
class TNVShellDataObject : public TNVComObject<IDataObject, IID_IDataObject> {
public:
    // Parent: absolute list of the folder the items are in (null: the desktop); Items relative to
    // it; Names the file-system paths for CF_HDROP (none, or an empty one: no CF_HDROP).
    TNVShellDataObject(LPCITEMIDLIST Parent, const std::vector<LPCITEMIDLIST>& Items,
                       const std::vector<std::string>& Names);
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* Format, STGMEDIUM* Medium) override;
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC* Format, STGMEDIUM* Medium) override;
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* Format) override;
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC* In, FORMATETC* Out) override;
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC* Format, STGMEDIUM* Medium, BOOL Release) override;
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD Direction, IEnumFORMATETC** Enum) override;
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override;
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override;
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override;

private:
    virtual ~TNVShellDataObject();
    HGLOBAL FHDrop = nullptr;
    HGLOBAL FIdListArray = nullptr;
    TNVFormatEtcList FFormats;
};

// Makes the data object of Items (relative lists) in the folder Parent (absolute list): names for
// CF_HDROP are the items' parsing names, kept only when all are file-system paths.
TComPtr<IDataObject> NVCreateShellDataObject(IShellFolder* ParentFolder, LPCITEMIDLIST Parent,
                                             const std::vector<LPCITEMIDLIST>& Items);

// What a control does with the calls its registered drop target receives.
class TNVDropTargetClient {
public:
    virtual ~TNVDropTargetClient() = default;
    virtual void OnDropTarget_DragEnter(IDataObject* Data, DWORD KeyState, POINT Pt, DWORD& Effect) = 0;
    virtual void OnDropTarget_DragOver(DWORD KeyState, POINT Pt, DWORD& Effect) = 0;
    virtual void OnDropTarget_DragLeave() = 0;
    virtual void OnDropTarget_Drop(IDataObject* Data, DWORD KeyState, POINT Pt, DWORD& Effect) = 0;
};

// The registered drop target of a tree or list: passes each call to its client. A failure in the
// client gives DROPEFFECT_NONE and E_UNEXPECTED; the client is told of it through the UI
// exception handler.
class TNVDropTargetForwarder : public TNVComObject<IDropTarget, IID_IDropTarget> {
public:
    explicit TNVDropTargetForwarder(TNVDropTargetClient* Client) : FClient(Client) {}
    // The control goes before the platform lets go of the target: forget it.
    void Detach() { FClient = nullptr; }
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* Data, DWORD KeyState, POINTL Pt, DWORD* Effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD KeyState, POINTL Pt, DWORD* Effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* Data, DWORD KeyState, POINTL Pt, DWORD* Effect) override;

private:
    virtual ~TNVDropTargetForwarder() = default;
    TNVDropTargetClient* FClient;
};
