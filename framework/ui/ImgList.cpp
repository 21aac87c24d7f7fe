#include "framework/ui/ImgList.h"

#include "framework/core/SysUtils.h"

ZEL_DEFINE_CLASS(
    TImageList, TComponent,
    {Prop::Int<TImageList>("Height", &TImageList::Height, &TImageList::SetHeight).WithDefault(16),
     Prop::Int<TImageList>("Width", &TImageList::Width, &TImageList::SetWidth).WithDefault(16)})

TImageList::TImageList(TComponent* AOwner) : TComponent(AOwner) {}

TImageList::~TImageList() {
    if (FHandle)
        ImageList_Destroy(FHandle);
}

void TImageList::Recreate() {
    if (FHandle) {
        ImageList_Destroy(FHandle);
        FHandle = nullptr;
    }
}

void TImageList::SetWidth(int Value) {
    if (Value == FWidth)
        return;
    if (Value <= 0)
        throw EInvalidOperation("Invalid image size");
    FWidth = Value;
    Recreate();
}

void TImageList::SetHeight(int Value) {
    if (Value == FHeight)
        return;
    if (Value <= 0)
        throw EInvalidOperation("Invalid image size");
    FHeight = Value;
    Recreate();
}

HIMAGELIST TImageList::Handle() {
    if (!FHandle) {
        FHandle = ImageList_Create(FWidth, FHeight, ILC_COLOR24 | ILC_MASK, 4, 4);
        if (!FHandle)
            throw EOutOfMemory("Cannot create an image list");
    }
    return FHandle;
}

int TImageList::Count() const {
    return FHandle ? ImageList_GetImageCount(FHandle) : 0;
}

int TImageList::Add(TBitmap& Image, TBitmap* Mask) {
    if (Image.Empty())
        throw EInvalidOperation("Cannot add an empty image");
    HBITMAP MaskBits = nullptr;
    if (Mask && !Mask->Empty()) {
        Mask->Dormant();
        MaskBits = Mask->Handle();
    }
    Image.Dormant();
    int Index = ImageList_Add(Handle(), Image.Handle(), MaskBits);
    if (Index < 0)
        throw EInvalidOperation("Failed to add image");
    return Index;
}

int TImageList::AddMasked(TBitmap& Image, TColor MaskColor) {
    if (Image.Empty())
        throw EInvalidOperation("Cannot add an empty image");
    // The platform may change the bitmap it gets; give it a copy.
    TBitmap Copy;
    Copy.Assign(Image);
    int Index = ImageList_AddMasked(Handle(), Copy.Handle(), ColorToRGB(MaskColor));
    if (Index < 0)
        throw EInvalidOperation("Failed to add image");
    return Index;
}

int TImageList::AddIcon(HICON Icon) {
    return ImageList_AddIcon(Handle(), Icon);
}

void TImageList::Delete(int Index) {
    if (Index < 0 || Index >= Count())
        throw EListError(Format(SListIndexError, Index));
    ImageList_Remove(FHandle, Index);
}

void TImageList::Clear() {
    if (FHandle)
        ImageList_Remove(FHandle, -1);
}

void TImageList::Draw(TCanvas& Canvas, int X, int Y, int Index, bool Enabled) {
    if (Index < 0 || Index >= Count())
        return;
    if (Enabled) {
        ImageList_Draw(FHandle, Index, Canvas.Handle(), X, Y, ILD_TRANSPARENT);
    } else {
        IMAGELISTDRAWPARAMS P{};
        P.cbSize = sizeof(P);
        P.himl = FHandle;
        P.i = Index;
        P.hdcDst = Canvas.Handle();
        P.x = X;
        P.y = Y;
        P.rgbBk = CLR_NONE;
        P.rgbFg = CLR_DEFAULT;
        P.fStyle = ILD_TRANSPARENT | ILD_BLEND50;
        ImageList_DrawIndirect(&P);
    }
}

void TImageList::GetBitmap(int Index, TBitmap& Image) {
    Image.SetSize(FWidth, FHeight);
    RECT R{0, 0, FWidth, FHeight};
    Image.Canvas().Brush().SetColor(clWhite);
    Image.Canvas().FillRect(R);
    Draw(Image.Canvas(), 0, 0, Index);
}
