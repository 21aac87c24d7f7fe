// The tree's drag image (the dragged node's icon following the mouse), the keyboard hook that
// lets Esc cancel a drag over the tree, the drop-down form of the tree and its form data.
#include "controls/tree/HSTree.h"

#include <commctrl.h>

#include "controls/tree/HSPopup.h"
#include "framework/core/Streams.h"

namespace {
// One drag at a time: the hook and the tree that installed it.
HHOOK DragKeyHook = nullptr;
THSCustomTreeView* DragKeyTree = nullptr;
} // namespace

TImageList* THSCustomTreeView::GetDragImages() {
    return FDragImages && FDragImages->Count() > 0 ? FDragImages.get() : nullptr;
}

void THSCustomTreeView::FillDragImage() {
    if (!FDragImages)
        FDragImages = std::make_unique<TImageList>(nullptr);
    FDragImages->Clear();
    if (!FDownNode || !FImages)
        return;
    const int Index = FDownNode->ImageIndex();
    if (Index < 0 || Index >= FImages->Count())
        return;
    const int W = FImages->Width(), H = FImages->Height();
    FDragImages->SetWidth(W);
    FDragImages->SetHeight(H);
    // The icon alone, without its text: the image on white, and its mask.
    TBitmap Image, Mask;
    Image.SetSize(W, H);
    Mask.SetSize(W, H);
    for (TBitmap* B : {&Image, &Mask}) {
        B->Canvas().Brush().SetColor(clWhite);
        B->Canvas().FillRect(RECT{0, 0, W, H});
    }
    ImageList_Draw(FImages->Handle(), Index, Image.Canvas().Handle(), 0, 0, ILD_NORMAL);
    // A list without masks has opaque images: their mask is black throughout.
    IMAGEINFO Info{};
    if (ImageList_GetImageInfo(FImages->Handle(), Index, &Info) && Info.hbmMask)
        ImageList_Draw(FImages->Handle(), Index, Mask.Canvas().Handle(), 0, 0, ILD_MASK);
    else
        Mask.Canvas().Brush().SetColor(clBlack), Mask.Canvas().FillRect(RECT{0, 0, W, H});
    // The pair goes in as copies: a bitmap still selected into its canvas cannot be read by the
    // image list.
    TBitmap ImageCopy, MaskCopy;
    ImageCopy.Assign(Image);
    MaskCopy.Assign(Mask);
    FDragImages->Add(ImageCopy, &MaskCopy);
}

void THSCustomTreeView::HideDragImage() {
    if (++FDragImageHidden == 1 && FDragImageShown)
        ImageList_DragShowNolock(FALSE);
}

void THSCustomTreeView::ShowDragImage() {
    if (FDragImageHidden > 0 && --FDragImageHidden == 0 && FDragImageShown)
        ImageList_DragShowNolock(TRUE);
}

void THSCustomTreeView::SetKeyboardHook() {
    RemoveKeyboardHook();
    DragKeyTree = this;
    DragKeyHook =
        SetWindowsHookExA(WH_KEYBOARD, &THSCustomTreeView::DragKeyboardHook, nullptr, GetCurrentThreadId());
}

void THSCustomTreeView::RemoveKeyboardHook() {
    if (DragKeyHook && (DragKeyTree == this || !DragKeyTree)) {
        UnhookWindowsHookEx(DragKeyHook);
        DragKeyHook = nullptr;
        DragKeyTree = nullptr;
    }
}

LRESULT CALLBACK THSCustomTreeView::DragKeyboardHook(int Code, WPARAM WParam, LPARAM LParam) {
    const bool KeyGoesDown = (LParam & 0x80000000) == 0;
    THSCustomTreeView* T = DragKeyTree;
    if (Code == HC_ACTION && WParam == VK_ESCAPE && KeyGoesDown && T && T->FDragging && T->FDragOver) {
        try {
            T->FinishDrag(false, 0, 0);
        } catch (...) {
            HandleUiException(T);
        }
        return 1;
    }
    return CallNextHookEx(DragKeyHook, Code, WParam, LParam);
}

bool THSCustomTreeView::Popup(int X, int Y) {
    return SizeablePopup(this, Parent(), X, Y, true);
}

std::string THSCustomTreeView::StreamedData() const {
    TMemoryStream S;
    const_cast<THSCustomTreeView*>(this)->WriteData(S);
    return std::string(static_cast<const char*>(S.Memory()), static_cast<size_t>(S.Size()));
}

void THSCustomTreeView::SetStreamedData(const std::string& Value) {
    TMemoryStream S;
    S.Write(Value.data(), static_cast<int32_t>(Value.size()));
    S.SetPosition(0);
    ReadData(S);
}
