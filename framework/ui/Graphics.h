#pragma once
// GDI wrappers: colours, fonts, pens, brushes, the canvas and the two picture kinds.
#include "framework/core/Win.h"
// Our canvas and application methods carry these names; call the platform's "A" functions by full name.
#undef DrawText
#undef TextOut
#undef MessageBox

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/core/Object.h"

// A colour is an RGB value (0x00BBGGRR) or, with the top bit set, a system colour index.
using TColor = int32_t;
constexpr TColor SysColor(int Index) {
    return static_cast<TColor>(0x80000000u | static_cast<uint32_t>(Index));
}
constexpr TColor clBlack = 0x000000, clMaroon = 0x000080, clGreen = 0x008000, clOlive = 0x008080,
                 clNavy = 0x800000, clPurple = 0x800080, clTeal = 0x808000, clGray = 0x808080,
                 clSilver = 0xC0C0C0, clRed = 0x0000FF, clLime = 0x00FF00, clYellow = 0x00FFFF,
                 clBlue = 0xFF0000, clFuchsia = 0xFF00FF, clAqua = 0xFFFF00, clWhite = 0xFFFFFF;
constexpr TColor clNone = 0x1FFFFFFF, clDefault = 0x20000000;
constexpr TColor clScrollBar = SysColor(COLOR_SCROLLBAR), clBackground = SysColor(COLOR_BACKGROUND),
                 clActiveCaption = SysColor(COLOR_ACTIVECAPTION), clMenu = SysColor(COLOR_MENU),
                 clWindow = SysColor(COLOR_WINDOW), clWindowFrame = SysColor(COLOR_WINDOWFRAME),
                 clMenuText = SysColor(COLOR_MENUTEXT), clWindowText = SysColor(COLOR_WINDOWTEXT),
                 clHighlight = SysColor(COLOR_HIGHLIGHT), clHighlightText = SysColor(COLOR_HIGHLIGHTTEXT),
                 clBtnFace = SysColor(COLOR_BTNFACE), clBtnShadow = SysColor(COLOR_BTNSHADOW),
                 clGrayText = SysColor(COLOR_GRAYTEXT), clBtnText = SysColor(COLOR_BTNTEXT),
                 clBtnHighlight = SysColor(COLOR_BTNHIGHLIGHT), cl3DDkShadow = SysColor(COLOR_3DDKSHADOW),
                 cl3DLight = SysColor(COLOR_3DLIGHT), clInfoText = SysColor(COLOR_INFOTEXT),
                 clInfoBk = SysColor(COLOR_INFOBK);

COLORREF ColorToRGB(TColor Color);
// How far apart two colours stand in lightness, from 1 (the same) to 21 (black on white), as
// readers of text on a background perceive it.
double ContrastRatio(TColor A, TColor B);
// Text in colour Text over Back, made readable: Text itself when it stands out enough, else Text
// taken as little as needed towards Toward (a colour that does stand out), so that a hint of its
// hue stays.
TColor ReadableOn(TColor Text, TColor Back, TColor Toward);

// Font styles as a bit set.
enum TFontStyle : uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = uint8_t;
enum class TFontPitch { fpDefault, fpVariable, fpFixed };
enum class TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum class TBrushStyle {
    bsSolid,
    bsClear,
    bsHorizontal,
    bsVertical,
    bsFDiagonal,
    bsBDiagonal,
    bsCross,
    bsDiagCross
};

// Shared base: a change fires OnChange and drops the cached GDI handle.
class TGraphicsObject : public TPersistent {
    ZEL_DECLARE_CLASS(TGraphicsObject)
public:
    ~TGraphicsObject() override;
    std::function<void(TGraphicsObject*)> OnChange;

protected:
    void Changed();
    virtual void FreeHandle() = 0;
};

class TFont : public TGraphicsObject {
    ZEL_DECLARE_CLASS(TFont)
public:
    TFont();
    ~TFont() override;
    void Assign(const TFont& Source);
    void Assign(TPersistent* Source) override;

    HFONT Handle();
    // Takes over the description of a platform font; the handle itself stays the caller's.
    void SetHandle(HFONT Font);

    const std::string& Name() const { return FName; }
    void SetName(const std::string& Value);
    // Size in points; Height in pixels (negative: character height, the usual form).
    int Size() const;
    void SetSize(int Value);
    std::string GetName() const { return FName; }
    int Height() const { return FHeight; }
    void SetHeight(int Value);
    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    uint8_t Charset() const { return FCharset; }
    void SetCharset(uint8_t Value);
    TFontPitch Pitch() const { return FPitch; }
    void SetPitch(TFontPitch Value);
    // Pixels per inch that Size converts with (the screen's by default).
    int PixelsPerInch = 96;

protected:
    void FreeHandle() override;

private:
    std::string FName = "MS Sans Serif";
    int FHeight = -11;
    TFontStyles FStyle = 0;
    TColor FColor = clWindowText;
    uint8_t FCharset = DEFAULT_CHARSET;
    TFontPitch FPitch = TFontPitch::fpDefault;
    HFONT FHandle = nullptr;
};

class TPen : public TGraphicsObject {
    ZEL_DECLARE_CLASS(TPen)
public:
    TPen() = default;
    ~TPen() override;
    void Assign(const TPen& Source);
    HPEN Handle();
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    int Width() const { return FWidth; }
    void SetWidth(int Value);
    TPenStyle Style() const { return FStyle; }
    void SetStyle(TPenStyle Value);
    int Mode = R2_COPYPEN;

protected:
    void FreeHandle() override;

private:
    TColor FColor = clBlack;
    int FWidth = 1;
    TPenStyle FStyle = TPenStyle::psSolid;
    HPEN FHandle = nullptr;
};

class TBrush : public TGraphicsObject {
    ZEL_DECLARE_CLASS(TBrush)
public:
    TBrush() = default;
    ~TBrush() override;
    void Assign(const TBrush& Source);
    HBRUSH Handle();
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TBrushStyle Style() const { return FStyle; }
    void SetStyle(TBrushStyle Value);

protected:
    void FreeHandle() override;

private:
    TColor FColor = clWhite;
    TBrushStyle FStyle = TBrushStyle::bsSolid;
    HBRUSH FHandle = nullptr;
};

class TGraphic;

// Drawing surface over a device context. The context comes from CreateHandle (overridden by canvases
// that make their own) or from SetHandle; the font, pen and brush are selected on first use.
class TCanvas {
public:
    TCanvas();
    virtual ~TCanvas();
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    HDC Handle();
    void SetHandle(HDC DC);
    bool HandleAllocated() const { return FHandle != nullptr; }

    TFont& Font() { return FFont; }
    TPen& Pen() { return FPen; }
    TBrush& Brush() { return FBrush; }
    POINT PenPos();

    void MoveTo(int X, int Y);
    void LineTo(int X, int Y);
    void Rectangle(int X1, int Y1, int X2, int Y2);
    void Rectangle(const RECT& R) { Rectangle(R.left, R.top, R.right, R.bottom); }
    void Ellipse(int X1, int Y1, int X2, int Y2);
    void Polygon(const POINT* Points, int Count);
    void Polyline(const POINT* Points, int Count);
    void FillRect(const RECT& R);
    void FrameRect(const RECT& R);
    void DrawFocusRect(const RECT& R);
    void TextOut(int X, int Y, const std::string& Text);
    void TextRect(const RECT& R, int X, int Y, const std::string& Text);
    SIZE TextExtent(const std::string& Text);
    int TextWidth(const std::string& Text) { return TextExtent(Text).cx; }
    int TextHeight(const std::string& Text) { return TextExtent(Text).cy; }
    // DrawTextA with the canvas font; returns the height drawn (with DT_CALCRECT, R is updated).
    int DrawText(const std::string& Text, RECT& R, UINT Format);
    void Draw(int X, int Y, TGraphic& Graphic);
    void StretchDraw(const RECT& R, TGraphic& Graphic);
    void CopyRect(const RECT& Dest, TCanvas& Source, const RECT& SourceRect);
    TColor Pixel(int X, int Y);
    void SetPixel(int X, int Y, TColor Color);
    int CopyMode = SRCCOPY;

    // After every drawing operation, once it has reached the context.
    std::function<void(TCanvas*)> OnChange;

protected:
    virtual void CreateHandle() {}
    virtual void Changed();
    // Selects the platform's stock objects back so that ours can be deleted; call before the DC goes.
    void DeselectObjects();
    void RequireState(bool NeedFont, bool NeedPen, bool NeedBrush);

private:
    HDC FHandle = nullptr;
    TFont FFont;
    TPen FPen;
    TBrush FBrush;
    HFONT FSelFont = nullptr;
    HPEN FSelPen = nullptr;
    HBRUSH FSelBrush = nullptr;
};

// Anything that can draw itself onto a canvas.
class TGraphic {
public:
    virtual ~TGraphic() = default;
    virtual void Draw(TCanvas& Canvas, const RECT& Rect) = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual bool Empty() const = 0;
    virtual void LoadFromFile(const std::string& FileName) = 0;
    virtual void SaveToFile(const std::string& FileName) = 0;
};

// A 24-bit device-independent bitmap with a memory-context canvas.
class TBitmap : public TGraphic {
public:
    TBitmap();
    ~TBitmap() override;
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;
    void Assign(const TBitmap& Source);

    void SetSize(int W, int H);
    int Width() const override { return FWidth; }
    int Height() const override { return FHeight; }
    bool Empty() const override { return FHandle == nullptr; }
    HBITMAP Handle() const { return FHandle; }
    // Takes ownership of a platform bitmap (any format; it is copied into a 24-bit section).
    void SetHandle(HBITMAP Bitmap);
    TCanvas& Canvas();
    // Lets go of the canvas's device context. The platform selects a bitmap into one context at a
    // time, so whatever copies the bitmap (drawing it, an image list) needs it free; the canvas
    // makes a new context when it is used again.
    void Dormant();
    // Rows from the top, 3 bytes per pixel (blue, green, red), each row padded to 4 bytes.
    const uint8_t* ScanLine(int Row);
    int RowBytes() const { return ((FWidth * 3) + 3) & ~3; }

    void Draw(TCanvas& Canvas, const RECT& Rect) override;
    void LoadFromFile(const std::string& FileName) override;
    void SaveToFile(const std::string& FileName) override;
    // How the picture is drawn, not part of it: changing these fires no OnChange.
    bool Transparent = false;
    TColor TransparentColor = clNone;

    // Once for every change of the picture: its size, a new image taken over or loaded, or any
    // drawing on its canvas.
    std::function<void(TBitmap*)> OnChange;

private:
    class TBitmapCanvas;
    struct TMasks;
    // The picture split for drawing with a transparent colour: see Draw.
    const TMasks& TransparencyMasks(COLORREF Key);
    void FreeImage();
    // SetSize without the change event, for operations that fire it once when they are done.
    bool Resize(int W, int H);
    void Changed();
    HBITMAP FHandle = nullptr;
    uint8_t* FBits = nullptr;
    int FWidth = 0;
    int FHeight = 0;
    std::unique_ptr<TBitmapCanvas> FCanvas;
    std::unique_ptr<TMasks> FMasks;
};

// An enhanced metafile; draw on it through a TMetafileCanvas.
class TMetafile : public TGraphic {
public:
    TMetafile() = default;
    ~TMetafile() override;
    TMetafile(const TMetafile&) = delete;
    TMetafile& operator=(const TMetafile&) = delete;
    HENHMETAFILE Handle() const { return FHandle; }
    // Takes ownership.
    void SetHandle(HENHMETAFILE Value);
    int Width() const override;
    int Height() const override;
    bool Empty() const override { return FHandle == nullptr; }
    void Draw(TCanvas& Canvas, const RECT& Rect) override;
    void LoadFromFile(const std::string& FileName) override;
    void SaveToFile(const std::string& FileName) override;
    // The platform's records of the metafile, for tests that look at what was drawn.
    std::vector<uint8_t> Bits() const;

private:
    HENHMETAFILE FHandle = nullptr;
};

// Records drawing into a metafile; the metafile receives the picture when the canvas is destroyed
// or Close is called.
class TMetafileCanvas : public TCanvas {
public:
    // Reference: the context whose resolution the metafile uses (nullptr: the screen). Width/Height in pixels
    // of the reference device.
    TMetafileCanvas(TMetafile& Target, HDC Reference, int Width, int Height);
    ~TMetafileCanvas() override;
    void Close();

private:
    TMetafile& FTarget;
    HDC FDC = nullptr;
};

// Told just before TFont deletes one of its platform fonts, so that caches keyed by font handle
// forget it (the platform reuses handles). Returns the hook it replaces.
using TFontHandleFreedHook = void (*)(HFONT Font);
TFontHandleFreedHook SetFontHandleFreedHook(TFontHandleFreedHook Hook);

// Converts points to pixels at the given resolution (and back).
int PointsToPixels(int Points, int PixelsPerInch);
// Read once: the program does not follow changes of the screen's resolution while it runs.
int ScreenPixelsPerInch();

// A device context that measures text as the screen shows it, one per thread, kept for the
// thread's life. Measuring is done often (every font, label and hint); each use of the screen's
// own context costs a round trip to the window system. Callers put back what they select.
HDC ScreenMeasureDC();
