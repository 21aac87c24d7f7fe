#include "controls/memo/GutterImages.h"

#include "framework/core/Properties.h"

ZEL_DEFINE_CLASS(TGutterImage, THSNamedItem,
                 {Prop::Int<TGutterImage>("BookmarkIndex", &TGutterImage::BookmarkIndex,
                                          &TGutterImage::SetBookmarkIndex)
                      .WithDefault(-1),
                  Prop::Method("OnClick")})
ZEL_DEFINE_CLASS(THSGutterImages, TCustomHSNamedItems, {})

TGutterImage::TGutterImage(TCollection* Collection)
    : THSNamedItem(Collection), FGlyph(std::make_unique<TBitmap>()) {}

TGutterImage::~TGutterImage() = default;

void TGutterImage::Assign(TPersistent* Source) {
    auto* S = dynamic_cast<TGutterImage*>(Source);
    if (!S)
        return THSNamedItem::Assign(Source);
    SetName(S->Name());
    FGlyph->Assign(*S->FGlyph);
    FBookmarkIndex = S->FBookmarkIndex;
    OnClick = S->OnClick;
    Changed(false);
}

void TGutterImage::SetGlyph(const TBitmap& Value) {
    FGlyph->Assign(Value);
    Changed(false);
}

void TGutterImage::SetBookmarkIndex(int32_t Value) {
    if (Value == FBookmarkIndex)
        return;
    FBookmarkIndex = Value;
    Changed(false);
}

THSGutterImages::THSGutterImages(TComponent* Owner)
    : TCustomHSNamedItems(Owner, TGutterImage::StaticClass()) {}

TGutterImage* THSGutterImages::AddFromResource(const std::string& Name, const std::string& ResName,
                                               int32_t BookmarkIndex) {
    auto* Image = static_cast<TGutterImage*>(Add());
    Image->SetName(Name);
    Image->SetBookmarkIndex(BookmarkIndex);
    if (HBITMAP Bmp = LoadBitmapA(GetModuleHandleA(nullptr), ResName.c_str())) {
        TBitmap Picture;
        Picture.SetHandle(Bmp);
        Image->SetGlyph(Picture);
    }
    return Image;
}

int32_t THSGutterImages::BookmarkImage(int32_t Number) const {
    for (int I = 0; I < Count(); ++I)
        if (GetItem(I)->BookmarkIndex() == Number)
            return I;
    return -1;
}
