#pragma once
// Images the memo draws in its gutter: one per image bit of a line, and the bookmark images.

#include <cstdint>
#include <memory>
#include <string>

#include "controls/foundation/NamedItems.h"
#include "framework/ui/Graphics.h"

class TGutterImage : public THSNamedItem {
    ZEL_DECLARE_CLASS(TGutterImage)
public:
    explicit TGutterImage(TCollection* Collection = nullptr);
    ~TGutterImage() override;
    void Assign(TPersistent* Source) override;
    TBitmap& Glyph() { return *FGlyph; }
    void SetGlyph(const TBitmap& Value);
    // -1: not a bookmark image; 0-9: the image of that bookmark.
    int32_t BookmarkIndex() const { return FBookmarkIndex; }
    void SetBookmarkIndex(int32_t Value);
    TNotifyEvent OnClick;

private:
    std::unique_ptr<TBitmap> FGlyph;
    int32_t FBookmarkIndex = -1;
};

class THSGutterImages : public TCustomHSNamedItems {
    ZEL_DECLARE_CLASS(THSGutterImages)
public:
    explicit THSGutterImages(TComponent* Owner = nullptr);
    TGutterImage* GetItem(int Index) const { return static_cast<TGutterImage*>(Items(Index)); }
    // Adds an image from a module bitmap resource (an image without a picture when it is missing).
    TGutterImage* AddFromResource(const std::string& Name, const std::string& ResName, int32_t BookmarkIndex);
    // Index of the image of bookmark n (0-9), -1 when none.
    int32_t BookmarkImage(int32_t Number) const;
};
