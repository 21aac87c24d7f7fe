#include "controls/foundation/ResourceGlyphs.h"

#include <gtest/gtest.h>

#include "TestFolder.h"
#include "framework/core/Component.h"
#include "framework/ui/Graphics.h"
#include "framework/ui/ImgList.h"

namespace {

// The test program holds glyphs for TGlyphBase, "_" plus TGlyphOther and the unknown-class glyph.
class TGlyphBase : public TComponent {
    ZEL_DECLARE_CLASS(TGlyphBase)
public:
    using TComponent::TComponent;
};
class TGlyphChild : public TGlyphBase {
    ZEL_DECLARE_CLASS(TGlyphChild)
public:
    using TGlyphBase::TGlyphBase;
};
class TGlyphOther : public TComponent {
    ZEL_DECLARE_CLASS(TGlyphOther)
public:
    using TComponent::TComponent;
};
ZEL_DEFINE_CLASS(TGlyphBase, TComponent, {})
ZEL_DEFINE_CLASS(TGlyphChild, TGlyphBase, {})
ZEL_DEFINE_CLASS(TGlyphOther, TComponent, {})

const COLORREF Red = RGB(255, 0, 0), Blue = RGB(0, 0, 255), Green = RGB(0, 255, 0);

COLORREF Corner(TBitmap& Bitmap) {
    return GetPixel(Bitmap.Canvas().Handle(), 0, 0);
}

TEST(ResourceGlyphs, AClassGlyphIsLookedUpThroughItsAncestors) {
    const HMODULE Program = GetModuleHandleA(nullptr);
    struct Case {
        TClass Class;
        const char* Prefix;
        bool Ex;
        const char* Name; // empty: none found
    } Cases[] = {
        {TGlyphBase::StaticClass(), "", false, "TGlyphBase"},
        {TGlyphChild::StaticClass(), "", false, "TGlyphBase"},
        {TGlyphOther::StaticClass(), "", false, ""},
        {TGlyphOther::StaticClass(), "", true, "_TGlyphOther"},
        {TGlyphChild::StaticClass(), "", true, "TGlyphBase"},
        {TGlyphBase::StaticClass(), "X", true, ""},
        {TComponent::StaticClass(), "", true, ""},
        {nullptr, "", true, ""},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(std::string(C.Class ? C.Class->ClassName() : "nil") + (C.Ex ? " ex" : ""));
        HMODULE Instance = reinterpret_cast<HMODULE>(1);
        const std::string Name = C.Ex ? FindObjectBitmapResEx(Instance, C.Class, C.Prefix)
                                      : FindObjectBitmapRes(Instance, C.Class, C.Prefix);
        EXPECT_EQ(Name, C.Name);
        EXPECT_EQ(Instance, *C.Name ? Program : nullptr);
    }
}

TEST(ResourceGlyphs, GlyphsAreLoadedWithTheUnknownGlyphAsFallback) {
    TBitmap Bitmap;
    ASSERT_TRUE(LoadBitmapForClass(&Bitmap, TGlyphChild::StaticClass()));
    EXPECT_EQ(Bitmap.Width(), 8);
    EXPECT_EQ(Corner(Bitmap), Red);
    // Only a glyph named after the class itself counts here, not the "_" one.
    ASSERT_TRUE(LoadBitmapForClass(&Bitmap, TGlyphOther::StaticClass()));
    EXPECT_EQ(Corner(Bitmap), Green);

    ASSERT_TRUE(LoadBitmapFromResource(&Bitmap, "_TGLYPHOTHER"));
    EXPECT_EQ(Corner(Bitmap), Blue);
    EXPECT_FALSE(LoadBitmapFromResource(&Bitmap, "NOSUCHGLYPH"));
    EXPECT_EQ(Corner(Bitmap), Blue);
    EXPECT_FALSE(LoadBitmapFromResource(nullptr, "TGLYPHBASE"));
    EXPECT_FALSE(LoadBitmapForClass(nullptr, TGlyphBase::StaticClass()));
    ASSERT_TRUE(LoadUnknownGlyph(&Bitmap));
    EXPECT_EQ(Corner(Bitmap), Green);
}

TEST(ResourceGlyphs, IconsAndMaskedBitmapsGoIntoImageLists) {
    TImageList List(nullptr);
    EXPECT_EQ(AddIconFromAnyResource(&List, "ZELTESTICON"), 0);
    EXPECT_EQ(AddBitmapFromResource(&List, "ZELMASKEDGLYPH", GetModuleHandleA(nullptr)), 1);
    EXPECT_EQ(List.Count(), 2);

    TBitmap Target;
    Target.SetSize(16, 16);
    Target.Canvas().Brush().SetColor(static_cast<TColor>(Blue));
    Target.Canvas().FillRect(RECT{0, 0, 16, 16});
    List.Draw(Target.Canvas(), 0, 0, 0);
    EXPECT_EQ(Corner(Target), RGB(0, 255, 255));
    Target.Canvas().FillRect(RECT{0, 0, 16, 16});
    List.Draw(Target.Canvas(), 0, 0, 1);
    EXPECT_EQ(Corner(Target), Blue); // the magenta corner is transparent
    EXPECT_EQ(GetPixel(Target.Canvas().Handle(), 8, 8), RGB(255, 255, 0));

    struct Case {
        const char* What;
        int Index;
    } Missing[] = {
        {"no icon of that name", AddIconFromAnyResource(&List, "NOSUCHICON")},
        {"an icon from no module", AddIconFromResource(&List, "ZELTESTICON", nullptr)},
        {"no list", AddIconFromAnyResource(nullptr, "ZELTESTICON")},
        {"no bitmap of that name", AddBitmapFromResource(&List, "NOSUCHGLYPH", GetModuleHandleA(nullptr))},
        {"a bitmap from no module", AddBitmapFromResource(&List, "ZELMASKEDGLYPH", nullptr)},
    };
    for (const Case& C : Missing)
        EXPECT_EQ(C.Index, -1) << C.What;
    EXPECT_EQ(List.Count(), 2);
}

TEST(ResourceGlyphs, AnImageListIsSavedAsOneStripOfItsImages) {
    TTestFolder Folder;
    TImageList List(nullptr);
    List.SetWidth(4);
    List.SetHeight(3);
    for (TColor Colour : {clRed, clBlue, clLime}) {
        TBitmap Image;
        Image.SetSize(4, 3);
        Image.Canvas().Brush().SetColor(Colour);
        Image.Canvas().FillRect(RECT{0, 0, 4, 3});
        Image.Canvas().SetPixel(0, 0, clWhite);
        List.Add(Image);
    }
    ImageListSaveToFile(&List, Folder / "strip.bmp");
    TBitmap Strip;
    Strip.LoadFromFile(Folder / "strip.bmp");
    ASSERT_EQ(Strip.Width(), 12);
    ASSERT_EQ(Strip.Height(), 3);
    EXPECT_EQ(Strip.Canvas().Pixel(2, 2), clRed);
    EXPECT_EQ(Strip.Canvas().Pixel(6, 1), clBlue);
    EXPECT_EQ(Strip.Canvas().Pixel(11, 2), clLime);
    EXPECT_EQ(Strip.Canvas().Pixel(8, 0), clWhite);

    ImageListSaveToFile(nullptr, Folder / "none.bmp");
    EXPECT_EQ(GetFileAttributesA((Folder / "none.bmp").c_str()), INVALID_FILE_ATTRIBUTES);
    TImageList Empty(nullptr);
    EXPECT_THROW(ImageListSaveToFile(&Empty, Folder / "empty.bmp"), std::exception);
}

} // namespace
