#include <gtest/gtest.h>

#include <functional>

#include "UiTestSupport.h"
#include "framework/ui/Graphics.h"
#include "framework/ui/ImgList.h"
#include "framework/ui/PngWriter.h"

namespace {

class GraphicsTest : public UiTest {};

TEST_F(GraphicsTest, CanvasDrawsOnABitmapWithItsPenBrushAndFont) {
    TBitmap B;
    B.SetSize(40, 30);
    TCanvas& C = B.Canvas();
    C.Brush().SetColor(clWhite);
    C.FillRect(RECT{0, 0, 40, 30});
    C.Brush().SetColor(clRed);
    C.Pen().SetColor(clBlue);
    C.Rectangle(5, 5, 20, 20);
    EXPECT_EQ(C.Pixel(5, 5), clBlue);  // the frame is the pen's
    EXPECT_EQ(C.Pixel(12, 12), clRed); // the inside is the brush's
    EXPECT_EQ(C.Pixel(30, 25), clWhite);
    // The canvas picks up a changed brush on its next use.
    C.Brush().SetColor(clLime);
    C.FillRect(RECT{30, 0, 40, 10});
    EXPECT_EQ(C.Pixel(35, 5), clLime);
    // What the scan lines hold is what was drawn (blue, green, red order).
    const uint8_t* Row = B.ScanLine(12);
    EXPECT_EQ(Row[12 * 3 + 2], 0xFF);
    EXPECT_EQ(Row[12 * 3 + 0], 0x00);
}

TEST_F(GraphicsTest, TextMeasuringAgreesWithThePlatform) {
    TBitmap B;
    B.SetSize(10, 10);
    TCanvas& C = B.Canvas();
    C.Font().SetName("Arial");
    C.Font().SetSize(12);
    C.Font().SetStyle(fsBold);
    const std::string Text = "Hello, ZEL";
    SIZE Expected{};
    HDC DC = CreateCompatibleDC(nullptr);
    HGDIOBJ Old = SelectObject(DC, C.Font().Handle());
    GetTextExtentPoint32A(DC, Text.c_str(), static_cast<int>(Text.size()), &Expected);
    SelectObject(DC, Old);
    DeleteDC(DC);
    EXPECT_EQ(C.TextWidth(Text), Expected.cx);
    EXPECT_EQ(C.TextHeight(Text), Expected.cy);
    // A bigger font measures wider.
    int Narrow = C.TextWidth(Text);
    C.Font().SetSize(24);
    EXPECT_GT(C.TextWidth(Text), Narrow);
}

TEST_F(GraphicsTest, FontKeepsItsDescriptionThroughAPlatformHandle) {
    TFont A;
    A.SetName("Courier New");
    A.SetHeight(-17);
    A.SetStyle(fsItalic | fsUnderline);
    A.SetCharset(ANSI_CHARSET);
    TFont B;
    B.SetHandle(A.Handle());
    EXPECT_EQ(B.Name(), "Courier New");
    EXPECT_EQ(B.Height(), -17);
    EXPECT_EQ(B.Style(), fsItalic | fsUnderline);
    EXPECT_EQ(B.Charset(), ANSI_CHARSET);
    // Size and height convert through the resolution.
    TFont S;
    S.PixelsPerInch = 96;
    S.SetSize(12);
    EXPECT_EQ(S.Height(), -16);
    EXPECT_EQ(S.Size(), 12);
}

// Text is made readable on a background with as small a change as will do.
TEST_F(GraphicsTest, TextColoursAreMadeReadableOnTheirBackground) {
    EXPECT_NEAR(ContrastRatio(clBlack, clWhite), 21.0, 0.01);
    EXPECT_NEAR(ContrastRatio(clMaroon, clMaroon), 1.0, 0.01);
    struct Case {
        TColor Text, Back, Toward, Expected; // Expected -1: changed, readable, neither end
    };
    const Case Cases[] = {
        {clBlack, clWhite, clRed, clBlack},    // readable already
        {clWhite, clMaroon, clBlack, clWhite}, // the mark's own colours
        {clMaroon, clMaroon, clWhite, -1},     // dark red on maroon: lightened
        {clBlue, clMaroon, clWhite, -1},          {clNavy, clBlack, clYellow, -1},
        {clMaroon, clMaroon, clMaroon, clMaroon}, // nothing better offered: the offer stands
    };
    for (const Case& C : Cases) {
        const TColor Got = ReadableOn(C.Text, C.Back, C.Toward);
        if (C.Expected >= 0) {
            EXPECT_EQ(Got, C.Expected) << std::hex << C.Text << " on " << C.Back;
            continue;
        }
        EXPECT_GE(ContrastRatio(Got, C.Back), 4.5) << std::hex << C.Text << " on " << C.Back;
        EXPECT_NE(Got, C.Text);
        EXPECT_NE(Got, C.Toward);
    }
}

TEST_F(GraphicsTest, BitmapSavesAndLoadsAsBmp) {
    TBitmap B;
    B.SetSize(7, 5); // odd width: rows are padded
    B.Canvas().SetPixel(6, 4, clRed);
    B.Canvas().SetPixel(0, 0, clNavy);
    std::string File = OutputDir() + "\\pixels.bmp";
    B.SaveToFile(File);
    TBitmap L;
    L.LoadFromFile(File);
    EXPECT_EQ(L.Width(), 7);
    EXPECT_EQ(L.Height(), 5);
    EXPECT_EQ(L.Canvas().Pixel(6, 4), clRed);
    EXPECT_EQ(L.Canvas().Pixel(0, 0), clNavy);
    EXPECT_THROW(L.LoadFromFile(OutputDir() + "\\missing.bmp"), std::exception);
}

TEST_F(GraphicsTest, ABitmapDrawnOnStaysDrawableAndAddable) {
    // Its canvas still holds the bitmap when it is drawn elsewhere or put in an image list.
    TBitmap Src;
    Src.SetSize(8, 8);
    Src.Canvas().Brush().SetColor(clRed);
    Src.Canvas().FillRect(RECT{0, 0, 8, 8});
    TBitmap Out;
    Out.SetSize(20, 10);
    Out.Canvas().Draw(2, 2, Src);
    EXPECT_EQ(Out.Canvas().Pixel(5, 5), clRed);
    TImageList Images(nullptr);
    Images.SetWidth(8);
    Images.SetHeight(8);
    EXPECT_EQ(Images.Add(Src), 0);
    Images.Draw(Out.Canvas(), 12, 2, 0);
    EXPECT_EQ(Out.Canvas().Pixel(15, 5), clRed);
    // The canvas comes back for more drawing.
    Src.Canvas().SetPixel(0, 0, clBlue);
    EXPECT_EQ(Src.Canvas().Pixel(0, 0), clBlue);
}

TEST_F(GraphicsTest, ABitmapAnnouncesEveryChangeOfItsPictureOnce) {
    TBitmap B;
    int Changes = 0;
    B.OnChange = [&](TBitmap* Sender) {
        EXPECT_EQ(Sender, &B);
        ++Changes;
    };
    TBitmap Other;
    Other.SetSize(3, 3);
    const std::string File = OutputDir() + "\\announced.bmp";
    Other.SaveToFile(File);
    struct Case {
        const char* What;
        std::function<void()> Do;
        int Changes;
    };
    const Case Cases[] = {
        {"new size", [&] { B.SetSize(4, 4); }, 1},
        {"same size", [&] { B.SetSize(4, 4); }, 0},
        {"fill",
         [&] {
             B.Canvas().FillRect(RECT{0, 0, 2, 2});
         },
         1},
        {"pixel", [&] { B.Canvas().SetPixel(3, 3, clRed); }, 1},
        {"text", [&] { B.Canvas().TextOut(0, 0, "x"); }, 1},
        {"drawn text",
         [&] {
             RECT R{0, 0, 4, 4};
             B.Canvas().DrawText("x", R, DT_LEFT);
         },
         1},
        {"line",
         [&] {
             B.Canvas().MoveTo(0, 0);
             B.Canvas().LineTo(3, 0);
         },
         1},
        {"picture drawn on it", [&] { B.Canvas().Draw(0, 0, Other); }, 1},
        {"copied picture", [&] { B.Assign(Other); }, 1},
        {"loaded", [&] { B.LoadFromFile(File); }, 1},
        {"platform bitmap", [&] { B.SetHandle(CreateBitmap(2, 2, 1, 1, nullptr)); }, 1},
        {"emptied", [&] { B.SetSize(0, 0); }, 1},
        {"empty again", [&] { B.SetSize(0, 5); }, 0},
        // A canvas made on an empty bitmap gives it a pixel to draw on: one change for that, one
        // for the drawing.
        {"first drawing", [&] { B.Canvas().SetPixel(0, 0, clBlue); }, 2},
        // Reading and measuring change nothing; nor does the way the picture is drawn.
        {"read",
         [&] {
             B.Canvas().Pixel(0, 0);
             B.ScanLine(0);
             B.Dormant();
         },
         0},
        {"measured",
         [&] {
             B.Canvas().TextExtent("x");
             RECT R{0, 0, 9, 9};
             B.Canvas().DrawText("x", R, DT_CALCRECT);
         },
         0},
        {"transparency",
         [&] {
             B.Transparent = true;
             B.TransparentColor = clRed;
         },
         0},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.What);
        Changes = 0;
        C.Do();
        EXPECT_EQ(Changes, C.Changes);
    }
    // A bitmap drawn onto another is not changed by it.
    TBitmap Target;
    Target.SetSize(5, 5);
    Changes = 0;
    Target.Canvas().Draw(0, 0, B);
    EXPECT_EQ(Changes, 0);
}

// A transparent picture leaves the target where its transparent colour is, drawn at its size or
// stretched, and a change of its pixels shows at the next drawing, also one made on the canvas's
// context behind its back.
TEST_F(GraphicsTest, TransparentPictureLeavesTheTargetWhereItsColourIs) {
    TBitmap Glyph;
    Glyph.SetSize(4, 4);
    Glyph.Canvas().Brush().SetColor(clFuchsia);
    Glyph.Canvas().FillRect(RECT{0, 0, 4, 4});
    Glyph.Canvas().Brush().SetColor(clNavy);
    Glyph.Canvas().FillRect(RECT{0, 0, 2, 4}); // left half opaque, right half transparent
    Glyph.Transparent = true;
    TBitmap Target;
    Target.SetSize(20, 10);
    auto Row = [&](int Y) {
        std::string Out;
        for (int X = 0; X < 20; ++X) {
            TColor C = Target.Canvas().Pixel(X, Y);
            Out += C == clNavy ? 'n' : C == clYellow ? 'y' : C == clGreen ? 'g' : C == clWhite ? '.' : '?';
        }
        return Out;
    };
    auto DrawBoth = [&] {
        Target.Canvas().Brush().SetColor(clWhite);
        Target.Canvas().FillRect(RECT{0, 0, 20, 10});
        Target.Canvas().Brush().SetColor(clYellow);
        Target.Canvas().FillRect(RECT{0, 0, 20, 5});
        Target.Canvas().Draw(0, 0, Glyph);
        Target.Canvas().StretchDraw(RECT{8, 0, 16, 8}, Glyph);
    };
    Glyph.TransparentColor = clFuchsia;
    DrawBoth();
    EXPECT_EQ(Row(1), "nnyyyyyynnnnyyyyyyyy");
    EXPECT_EQ(Row(6), "........nnnn........") << "stretched, over another background";
    // Without a colour given, the first pixel's is the transparent one.
    Glyph.TransparentColor = clNone;
    Glyph.Canvas().SetPixel(0, 0, clFuchsia);
    DrawBoth();
    EXPECT_EQ(Row(0), "ynyyyyyyyynnyyyyyyyy");
    EXPECT_EQ(Row(2), "nnyyyyyynnnnyyyyyyyy");
    // Changed through the canvas and behind its back: both show.
    Glyph.TransparentColor = clFuchsia;
    Glyph.Canvas().SetPixel(3, 3, clGreen);
    HBRUSH Brush = CreateSolidBrush(RGB(0, 0, 0x80));
    RECT Cell{2, 0, 3, 1};
    FillRect(Glyph.Canvas().Handle(), &Cell, Brush);
    DeleteObject(Brush);
    Target.Canvas().Brush().SetColor(clWhite);
    Target.Canvas().FillRect(RECT{0, 0, 20, 10});
    Target.Canvas().Draw(0, 0, Glyph);
    EXPECT_EQ(Row(0).substr(0, 4), ".nn.");
    EXPECT_EQ(Row(3).substr(0, 4), "nn.g");
}

TEST_F(GraphicsTest, MetafileRecordsWhatIsDrawnAndPlaysItBack) {
    TMetafile M;
    {
        TMetafileCanvas C(M, nullptr, 100, 50);
        C.Brush().SetColor(clGreen);
        C.FillRect(RECT{0, 0, 100, 50});
    }
    ASSERT_FALSE(M.Empty());
    EXPECT_GT(M.Bits().size(), 0u);
    TBitmap B;
    B.SetSize(100, 50);
    B.Canvas().Draw(0, 0, M);
    B.Canvas().StretchDraw(RECT{0, 0, 100, 50}, M);
    EXPECT_EQ(B.Canvas().Pixel(50, 25), clGreen);
}

TEST_F(GraphicsTest, PngEncoderWritesValidChunks) {
    std::vector<uint8_t> Rgb = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};
    std::vector<uint8_t> Png = EncodePng(2, 2, Rgb);
    ASSERT_GE(Png.size(), 8u + 25 + 12);
    const uint8_t Signature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    EXPECT_TRUE(std::equal(Signature, Signature + 8, Png.begin()));
    // The IEND chunk is fixed, CRC included.
    const uint8_t End[] = {0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82};
    EXPECT_TRUE(std::equal(End, End + 12, Png.end() - 12));
    // IHDR of a 2 × 2 truecolour image has a known CRC.
    const uint8_t Header[] = {0, 0, 0, 13, 'I', 'H', 'D', 'R', 0,    0,    0,    2,   0,
                              0, 0, 2, 8,  2,   0,   0,   0,   0xFD, 0xD4, 0x9A, 0x73};
    EXPECT_TRUE(std::equal(Header, Header + 25, Png.begin() + 8));
    EXPECT_THROW(EncodePng(2, 2, {1, 2, 3}), std::invalid_argument);
}

} // namespace
