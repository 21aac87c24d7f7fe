#include "framework/ui/Graphics.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <stdexcept>

COLORREF ColorToRGB(TColor Color) {
    if (Color < 0)
        return GetSysColor(Color & 0xFF);
    if (Color == clNone || Color == clDefault)
        return 0;
    return static_cast<COLORREF>(Color);
}

namespace {

double RelativeLuminance(COLORREF C) {
    auto Linear = [](int Channel) {
        const double V = Channel / 255.0;
        return V <= 0.03928 ? V / 12.92 : std::pow((V + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * Linear(GetRValue(C)) + 0.7152 * Linear(GetGValue(C)) + 0.0722 * Linear(GetBValue(C));
}

} // namespace

double ContrastRatio(TColor A, TColor B) {
    const double LA = RelativeLuminance(ColorToRGB(A)), LB = RelativeLuminance(ColorToRGB(B));
    return (std::max(LA, LB) + 0.05) / (std::min(LA, LB) + 0.05);
}

TColor ReadableOn(TColor Text, TColor Back, TColor Toward) {
    // Enough for normal text to be read with ease.
    constexpr double Enough = 4.5;
    if (ContrastRatio(Text, Back) >= Enough)
        return Text;
    const COLORREF From = ColorToRGB(Text), To = ColorToRGB(Toward);
    constexpr int Steps = 8;
    for (int Step = 1; Step < Steps; ++Step) {
        auto Mix = [&](int A, int B) { return A + (B - A) * Step / Steps; };
        const TColor C =
            static_cast<TColor>(RGB(Mix(GetRValue(From), GetRValue(To)), Mix(GetGValue(From), GetGValue(To)),
                                    Mix(GetBValue(From), GetBValue(To))));
        if (ContrastRatio(C, Back) >= Enough)
            return C;
    }
    return Toward;
}

int ScreenPixelsPerInch() {
    static const int Result = [] {
        int PixelsPerInch = GetDeviceCaps(ScreenMeasureDC(), LOGPIXELSY);
        return PixelsPerInch > 0 ? PixelsPerInch : 96;
    }();
    return Result;
}

HDC ScreenMeasureDC() {
    struct TMeasureDC {
        HDC DC = CreateCompatibleDC(nullptr);
        ~TMeasureDC() {
            if (DC)
                DeleteDC(DC);
        }
    };
    thread_local TMeasureDC Measure;
    return Measure.DC;
}

int PointsToPixels(int Points, int PixelsPerInch) {
    return MulDiv(Points, PixelsPerInch, 72);
}

namespace {
const TEnumInfo FontStyleInfo{{"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"}};
const TEnumInfo FontPitchInfo{{"fpDefault", "fpVariable", "fpFixed"}};
} // namespace

ZEL_DEFINE_CLASS(TGraphicsObject, TPersistent, {})
ZEL_DEFINE_CLASS(
    TFont, TGraphicsObject,
    {Prop::Int<TFont>("Charset", &TFont::Charset, &TFont::SetCharset, &CharsetIdents())
         .WithDefault(DEFAULT_CHARSET),
     Prop::Int<TFont>("Color", &TFont::Color, &TFont::SetColor, &ColorIdents()).WithDefault(clWindowText),
     Prop::Int<TFont>("Height", &TFont::Height, &TFont::SetHeight),
     Prop::String<TFont>("Name", &TFont::GetName, &TFont::SetName),
     Prop::Enum<TFont>("Pitch", &FontPitchInfo, &TFont::Pitch, &TFont::SetPitch).WithDefault(0),
     Prop::Int<TFont>("Size", &TFont::Size, &TFont::SetSize).NotStored(),
     Prop::Set<TFont>("Style", &FontStyleInfo, &TFont::Style, &TFont::SetStyle).WithDefault(0)})
namespace {
const TEnumInfo PenStyleInfo{
    {"psSolid", "psDash", "psDot", "psDashDot", "psDashDotDot", "psClear", "psInsideFrame"}};
const TEnumInfo BrushStyleInfo{{"bsSolid", "bsClear", "bsHorizontal", "bsVertical", "bsFDiagonal",
                                "bsBDiagonal", "bsCross", "bsDiagCross"}};
} // namespace

ZEL_DEFINE_CLASS(
    TPen, TGraphicsObject,
    {Prop::Int<TPen>("Color", &TPen::Color, &TPen::SetColor, &ColorIdents()).WithDefault(clBlack),
     Prop::Enum<TPen>("Style", &PenStyleInfo, &TPen::Style, &TPen::SetStyle).WithDefault(0),
     Prop::Int<TPen>("Width", &TPen::Width, &TPen::SetWidth).WithDefault(1)})
ZEL_DEFINE_CLASS(
    TBrush, TGraphicsObject,
    {Prop::Int<TBrush>("Color", &TBrush::Color, &TBrush::SetColor, &ColorIdents()).WithDefault(clWhite),
     Prop::Enum<TBrush>("Style", &BrushStyleInfo, &TBrush::Style, &TBrush::SetStyle).WithDefault(0)})

// --- TGraphicsObject -------------------------------------------------------------------------

TGraphicsObject::~TGraphicsObject() = default;

void TGraphicsObject::Changed() {
    FreeHandle();
    if (OnChange)
        OnChange(this);
}

// --- TFont ------------------------------------------------------------------------------------

TFont::TFont() : PixelsPerInch(ScreenPixelsPerInch()) {
    FHeight = -MulDiv(8, PixelsPerInch, 72);
}
TFont::~TFont() {
    FreeHandle();
}

namespace {
TFontHandleFreedHook FontFreedHook = nullptr;
}

TFontHandleFreedHook SetFontHandleFreedHook(TFontHandleFreedHook Hook) {
    TFontHandleFreedHook Old = FontFreedHook;
    FontFreedHook = Hook;
    return Old;
}

void TFont::FreeHandle() {
    if (FHandle && FontFreedHook)
        FontFreedHook(FHandle);
    if (FHandle)
        DeleteObject(FHandle);
    FHandle = nullptr;
}

void TFont::Assign(const TFont& Source) {
    if (&Source == this)
        return;
    FName = Source.FName;
    FHeight = Source.FHeight;
    if (Source.PixelsPerInch != PixelsPerInch)
        FHeight = MulDiv(FHeight, PixelsPerInch, Source.PixelsPerInch);
    FStyle = Source.FStyle;
    FColor = Source.FColor;
    FCharset = Source.FCharset;
    FPitch = Source.FPitch;
    Changed();
}

void TFont::Assign(TPersistent* Source) {
    if (auto* F = dynamic_cast<TFont*>(Source))
        Assign(*F);
    else
        TGraphicsObject::Assign(Source);
}

HFONT TFont::Handle() {
    if (!FHandle) {
        LOGFONTA LF{};
        LF.lfHeight = FHeight;
        LF.lfWeight = (FStyle & fsBold) ? FW_BOLD : FW_NORMAL;
        LF.lfItalic = (FStyle & fsItalic) ? 1 : 0;
        LF.lfUnderline = (FStyle & fsUnderline) ? 1 : 0;
        LF.lfStrikeOut = (FStyle & fsStrikeOut) ? 1 : 0;
        LF.lfCharSet = FCharset;
        LF.lfOutPrecision = OUT_DEFAULT_PRECIS;
        LF.lfClipPrecision = CLIP_DEFAULT_PRECIS;
        LF.lfQuality = DEFAULT_QUALITY;
        LF.lfPitchAndFamily = FPitch == TFontPitch::fpFixed      ? FIXED_PITCH
                              : FPitch == TFontPitch::fpVariable ? VARIABLE_PITCH
                                                                 : DEFAULT_PITCH;
        lstrcpynA(LF.lfFaceName, FName.c_str(), LF_FACESIZE);
        FHandle = CreateFontIndirectA(&LF);
    }
    return FHandle;
}

void TFont::SetHandle(HFONT Font) {
    LOGFONTA LF{};
    if (!Font || !GetObjectA(Font, sizeof(LF), &LF))
        return;
    FName = LF.lfFaceName;
    FHeight = LF.lfHeight;
    FStyle =
        static_cast<TFontStyles>((LF.lfWeight >= FW_BOLD ? fsBold : 0) | (LF.lfItalic ? fsItalic : 0) |
                                 (LF.lfUnderline ? fsUnderline : 0) | (LF.lfStrikeOut ? fsStrikeOut : 0));
    FCharset = LF.lfCharSet;
    int Pitch = LF.lfPitchAndFamily & 3;
    FPitch = Pitch == FIXED_PITCH      ? TFontPitch::fpFixed
             : Pitch == VARIABLE_PITCH ? TFontPitch::fpVariable
                                       : TFontPitch::fpDefault;
    Changed();
}

void TFont::SetName(const std::string& Value) {
    if (Value != FName && !Value.empty()) {
        FName = Value;
        Changed();
    }
}
int TFont::Size() const {
    return -MulDiv(FHeight, 72, PixelsPerInch);
}
void TFont::SetSize(int Value) {
    SetHeight(-MulDiv(Value, PixelsPerInch, 72));
}
void TFont::SetHeight(int Value) {
    if (Value != FHeight) {
        FHeight = Value;
        Changed();
    }
}
void TFont::SetStyle(TFontStyles Value) {
    if (Value != FStyle) {
        FStyle = Value;
        Changed();
    }
}
void TFont::SetColor(TColor Value) {
    // The colour is not part of the platform font: no new handle is needed.
    if (Value != FColor) {
        FColor = Value;
        if (OnChange)
            OnChange(this);
    }
}
void TFont::SetCharset(uint8_t Value) {
    if (Value != FCharset) {
        FCharset = Value;
        Changed();
    }
}
void TFont::SetPitch(TFontPitch Value) {
    if (Value != FPitch) {
        FPitch = Value;
        Changed();
    }
}

// --- TPen ---------------------------------------------------------------------------------------

TPen::~TPen() {
    FreeHandle();
}
void TPen::FreeHandle() {
    if (FHandle)
        DeleteObject(FHandle);
    FHandle = nullptr;
}
void TPen::Assign(const TPen& Source) {
    if (&Source == this)
        return;
    FColor = Source.FColor;
    FWidth = Source.FWidth;
    FStyle = Source.FStyle;
    Mode = Source.Mode;
    Changed();
}
HPEN TPen::Handle() {
    if (!FHandle) {
        static const int Styles[] = {PS_SOLID,      PS_DASH, PS_DOT,        PS_DASHDOT,
                                     PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
        FHandle = CreatePen(Styles[static_cast<int>(FStyle)], FWidth, ColorToRGB(FColor));
    }
    return FHandle;
}
void TPen::SetColor(TColor Value) {
    if (Value != FColor) {
        FColor = Value;
        Changed();
    }
}
void TPen::SetWidth(int Value) {
    if (Value != FWidth && Value >= 0) {
        FWidth = Value;
        Changed();
    }
}
void TPen::SetStyle(TPenStyle Value) {
    if (Value != FStyle) {
        FStyle = Value;
        Changed();
    }
}

// --- TBrush -------------------------------------------------------------------------------------

TBrush::~TBrush() {
    FreeHandle();
}
void TBrush::FreeHandle() {
    if (FHandle)
        DeleteObject(FHandle);
    FHandle = nullptr;
}
void TBrush::Assign(const TBrush& Source) {
    if (&Source == this)
        return;
    FColor = Source.FColor;
    FStyle = Source.FStyle;
    Changed();
}
HBRUSH TBrush::Handle() {
    if (!FHandle) {
        LOGBRUSH LB{};
        LB.lbColor = ColorToRGB(FColor);
        switch (FStyle) {
        case TBrushStyle::bsSolid:
            LB.lbStyle = BS_SOLID;
            break;
        case TBrushStyle::bsClear:
            LB.lbStyle = BS_HOLLOW;
            break;
        default:
            LB.lbStyle = BS_HATCHED;
            LB.lbHatch = static_cast<int>(FStyle) - static_cast<int>(TBrushStyle::bsHorizontal);
            break;
        }
        FHandle = CreateBrushIndirect(&LB);
    }
    return FHandle;
}
void TBrush::SetColor(TColor Value) {
    if (Value != FColor) {
        FColor = Value;
        if (FStyle == TBrushStyle::bsClear)
            FStyle = TBrushStyle::bsSolid;
        Changed();
    }
}
void TBrush::SetStyle(TBrushStyle Value) {
    if (Value != FStyle) {
        FStyle = Value;
        Changed();
    }
}

// --- TCanvas ------------------------------------------------------------------------------------

TCanvas::TCanvas() {
    // A change of a tool must reach the context the next time it is used.
    FFont.OnChange = [this](TGraphicsObject*) { FSelFont = nullptr; };
    FPen.OnChange = [this](TGraphicsObject*) { FSelPen = nullptr; };
    FBrush.OnChange = [this](TGraphicsObject*) { FSelBrush = nullptr; };
}

TCanvas::~TCanvas() {
    DeselectObjects();
}

HDC TCanvas::Handle() {
    if (!FHandle)
        CreateHandle();
    return FHandle;
}

void TCanvas::SetHandle(HDC DC) {
    if (DC == FHandle)
        return;
    DeselectObjects();
    FHandle = DC;
}

void TCanvas::DeselectObjects() {
    if (FHandle) {
        SelectObject(FHandle, GetStockObject(SYSTEM_FONT));
        SelectObject(FHandle, GetStockObject(BLACK_PEN));
        SelectObject(FHandle, GetStockObject(WHITE_BRUSH));
    }
    FSelFont = nullptr;
    FSelPen = nullptr;
    FSelBrush = nullptr;
}

void TCanvas::RequireState(bool NeedFont, bool NeedPen, bool NeedBrush) {
    HDC DC = Handle();
    if (!DC)
        throw std::runtime_error("Canvas does not allow drawing");
    if (NeedFont) {
        HFONT F = FFont.Handle();
        if (F != FSelFont) {
            SelectObject(DC, F);
            FSelFont = F;
        }
        SetTextColor(DC, ColorToRGB(FFont.Color()));
    }
    if (NeedPen) {
        HPEN P = FPen.Handle();
        if (P != FSelPen) {
            SelectObject(DC, P);
            FSelPen = P;
        }
        SetROP2(DC, FPen.Mode);
    }
    if (NeedBrush) {
        HBRUSH B = FBrush.Handle();
        if (B != FSelBrush) {
            SelectObject(DC, B);
            FSelBrush = B;
        }
        SetBkColor(DC, ColorToRGB(FBrush.Color()));
        SetBkMode(DC, FBrush.Style() == TBrushStyle::bsSolid ? OPAQUE : TRANSPARENT);
    }
}

void TCanvas::Changed() {
    DoEvent(OnChange, this);
}

POINT TCanvas::PenPos() {
    POINT P{};
    GetCurrentPositionEx(Handle(), &P);
    return P;
}
void TCanvas::MoveTo(int X, int Y) {
    RequireState(false, true, false);
    MoveToEx(Handle(), X, Y, nullptr);
}
void TCanvas::LineTo(int X, int Y) {
    RequireState(false, true, true);
    ::LineTo(Handle(), X, Y);
    Changed();
}
void TCanvas::Rectangle(int X1, int Y1, int X2, int Y2) {
    RequireState(false, true, true);
    ::Rectangle(Handle(), X1, Y1, X2, Y2);
    Changed();
}
void TCanvas::Ellipse(int X1, int Y1, int X2, int Y2) {
    RequireState(false, true, true);
    ::Ellipse(Handle(), X1, Y1, X2, Y2);
    Changed();
}
void TCanvas::Polygon(const POINT* Points, int Count) {
    RequireState(false, true, true);
    ::Polygon(Handle(), Points, Count);
    Changed();
}
void TCanvas::Polyline(const POINT* Points, int Count) {
    RequireState(false, true, true);
    ::Polyline(Handle(), Points, Count);
    Changed();
}
void TCanvas::FillRect(const RECT& R) {
    RequireState(false, false, true);
    ::FillRect(Handle(), &R, FBrush.Handle());
    Changed();
}
void TCanvas::FrameRect(const RECT& R) {
    RequireState(false, false, true);
    ::FrameRect(Handle(), &R, FBrush.Handle());
    Changed();
}
void TCanvas::DrawFocusRect(const RECT& R) {
    RequireState(false, false, true);
    ::DrawFocusRect(Handle(), &R);
    Changed();
}
void TCanvas::TextOut(int X, int Y, const std::string& Text) {
    RequireState(true, false, true);
    ::TextOutA(Handle(), X, Y, Text.data(), static_cast<int>(Text.size()));
    Changed();
}
void TCanvas::TextRect(const RECT& R, int X, int Y, const std::string& Text) {
    RequireState(true, false, true);
    UINT Options = ETO_CLIPPED | (FBrush.Style() != TBrushStyle::bsClear ? ETO_OPAQUE : 0);
    ::ExtTextOutA(Handle(), X, Y, Options, &R, Text.data(), static_cast<UINT>(Text.size()), nullptr);
    Changed();
}
SIZE TCanvas::TextExtent(const std::string& Text) {
    RequireState(true, false, false);
    SIZE S{};
    ::GetTextExtentPoint32A(Handle(), Text.data(), static_cast<int>(Text.size()), &S);
    return S;
}
int TCanvas::DrawText(const std::string& Text, RECT& R, UINT Format) {
    RequireState(true, false, true);
    const int Height = ::DrawTextA(Handle(), Text.data(), static_cast<int>(Text.size()), &R, Format);
    if (!(Format & DT_CALCRECT))
        Changed();
    return Height;
}
void TCanvas::Draw(int X, int Y, TGraphic& Graphic) {
    if (Graphic.Empty())
        return;
    RECT R{X, Y, X + Graphic.Width(), Y + Graphic.Height()};
    Graphic.Draw(*this, R);
    Changed();
}
void TCanvas::StretchDraw(const RECT& R, TGraphic& Graphic) {
    if (Graphic.Empty())
        return;
    Graphic.Draw(*this, R);
    Changed();
}
void TCanvas::CopyRect(const RECT& Dest, TCanvas& Source, const RECT& SourceRect) {
    RequireState(false, false, true);
    ::StretchBlt(Handle(), Dest.left, Dest.top, Dest.right - Dest.left, Dest.bottom - Dest.top,
                 Source.Handle(), SourceRect.left, SourceRect.top, SourceRect.right - SourceRect.left,
                 SourceRect.bottom - SourceRect.top, CopyMode);
    Changed();
}
TColor TCanvas::Pixel(int X, int Y) {
    return static_cast<TColor>(::GetPixel(Handle(), X, Y));
}
void TCanvas::SetPixel(int X, int Y, TColor Color) {
    ::SetPixel(Handle(), X, Y, ColorToRGB(Color));
    Changed();
}

// --- TBitmap ------------------------------------------------------------------------------------

class TBitmap::TBitmapCanvas : public TCanvas {
public:
    explicit TBitmapCanvas(TBitmap& Owner) : FOwner(Owner) {}
    ~TBitmapCanvas() override { Release(); }
    void Release() {
        if (FDC) {
            DeselectObjects();
            SelectObject(FDC, FOldBitmap);
            SetHandle(nullptr);
            DeleteDC(FDC);
            FDC = nullptr;
        }
    }

protected:
    void CreateHandle() override {
        if (!FOwner.FHandle)
            FOwner.SetSize(1, 1);
        FDC = CreateCompatibleDC(nullptr);
        FOldBitmap = static_cast<HBITMAP>(SelectObject(FDC, FOwner.FHandle));
        SetHandle(FDC);
    }
    void Changed() override {
        TCanvas::Changed();
        FOwner.Changed();
    }

private:
    TBitmap& FOwner;
    HDC FDC = nullptr;
    HBITMAP FOldBitmap = nullptr;
};

// A transparent picture is drawn as a mask (white where the transparent colour is, black elsewhere)
// ANDed onto the target, then the picture with black for that colour ORed onto it. Under Wine a
// transparent blit onto a window asks the server twice for the display's set-up, every time; two
// plain blits from pictures of our own ask nothing, and a tool bar draws dozens of them.
struct TBitmap::TMasks {
    std::vector<uint8_t> Source; // the pixels the two pictures were made from
    COLORREF Key = 0;
    HBITMAP Mask = nullptr;
    HBITMAP Image = nullptr;
    ~TMasks() {
        if (Mask)
            DeleteObject(Mask);
        if (Image)
            DeleteObject(Image);
    }
};

TBitmap::TBitmap() = default;
TBitmap::~TBitmap() {
    FCanvas.reset();
    FreeImage();
}

const TBitmap::TMasks& TBitmap::TransparencyMasks(COLORREF Key) {
    GdiFlush();
    const size_t Size = static_cast<size_t>(RowBytes()) * static_cast<size_t>(FHeight);
    // Compared with the pixels themselves: whoever draws on the canvas's context directly changes
    // the picture without telling.
    if (FMasks && FMasks->Key == Key && FMasks->Source.size() == Size &&
        std::memcmp(FMasks->Source.data(), FBits, Size) == 0)
        return *FMasks;
    auto M = std::make_unique<TMasks>();
    M->Key = Key;
    M->Source.assign(FBits, FBits + Size);
    BITMAPINFO BI{};
    BI.bmiHeader.biSize = sizeof(BI.bmiHeader);
    BI.bmiHeader.biWidth = FWidth;
    BI.bmiHeader.biHeight = -FHeight;
    BI.bmiHeader.biPlanes = 1;
    BI.bmiHeader.biBitCount = 24;
    BI.bmiHeader.biCompression = BI_RGB;
    void* MaskBits = nullptr;
    void* ImageBits = nullptr;
    M->Mask = CreateDIBSection(nullptr, &BI, DIB_RGB_COLORS, &MaskBits, nullptr, 0);
    M->Image = CreateDIBSection(nullptr, &BI, DIB_RGB_COLORS, &ImageBits, nullptr, 0);
    if (!M->Mask || !M->Image)
        throw std::runtime_error("Out of system resources");
    auto* MaskOut = static_cast<uint8_t*>(MaskBits);
    auto* ImageOut = static_cast<uint8_t*>(ImageBits);
    for (int Y = 0; Y < FHeight; ++Y) {
        const size_t Row = static_cast<size_t>(Y) * static_cast<size_t>(RowBytes());
        for (int X = 0; X < FWidth; ++X) {
            const size_t At = Row + static_cast<size_t>(X) * 3;
            const bool Clear = RGB(FBits[At + 2], FBits[At + 1], FBits[At]) == Key;
            for (size_t C = 0; C < 3; ++C) {
                MaskOut[At + C] = Clear ? 0xFF : 0x00;
                ImageOut[At + C] = Clear ? 0x00 : FBits[At + C];
            }
        }
    }
    FMasks = std::move(M);
    return *FMasks;
}

void TBitmap::FreeImage() {
    FMasks.reset();
    if (FCanvas)
        FCanvas->Release();
    if (FHandle)
        DeleteObject(FHandle);
    FHandle = nullptr;
    FBits = nullptr;
    FWidth = FHeight = 0;
}

void TBitmap::Changed() {
    DoEvent(OnChange, this);
}

void TBitmap::SetSize(int W, int H) {
    if (Resize(W, H))
        Changed();
}

bool TBitmap::Resize(int W, int H) {
    if (W < 0 || H < 0)
        throw std::invalid_argument("Invalid bitmap size");
    if (W == 0 || H == 0) {
        const bool HadImage = FHandle != nullptr;
        FreeImage();
        return HadImage;
    }
    if (W == FWidth && H == FHeight && FHandle)
        return false;
    FreeImage();
    BITMAPINFO BI{};
    BI.bmiHeader.biSize = sizeof(BI.bmiHeader);
    BI.bmiHeader.biWidth = W;
    BI.bmiHeader.biHeight = -H; // top-down rows
    BI.bmiHeader.biPlanes = 1;
    BI.bmiHeader.biBitCount = 24;
    BI.bmiHeader.biCompression = BI_RGB;
    void* Bits = nullptr;
    FHandle = CreateDIBSection(nullptr, &BI, DIB_RGB_COLORS, &Bits, nullptr, 0);
    if (!FHandle)
        throw std::runtime_error("Out of system resources");
    FBits = static_cast<uint8_t*>(Bits);
    FWidth = W;
    FHeight = H;
    std::memset(FBits, 0xFF, static_cast<size_t>(RowBytes()) * static_cast<size_t>(H));
    return true;
}

void TBitmap::SetHandle(HBITMAP Bitmap) {
    BITMAP BM{};
    if (!Bitmap || !GetObjectA(Bitmap, sizeof(BM), &BM)) {
        const bool WasEmpty = !FHandle;
        FreeImage();
        if (!WasEmpty)
            Changed();
        return;
    }
    Resize(BM.bmWidth, BM.bmHeight);
    HDC Src = CreateCompatibleDC(nullptr);
    HGDIOBJ Old = SelectObject(Src, Bitmap);
    BitBlt(Canvas().Handle(), 0, 0, FWidth, FHeight, Src, 0, 0, SRCCOPY);
    SelectObject(Src, Old);
    DeleteDC(Src);
    DeleteObject(Bitmap);
    Changed();
}

void TBitmap::Assign(const TBitmap& Source) {
    if (&Source == this)
        return;
    Resize(Source.FWidth, Source.FHeight);
    if (FBits && Source.FBits) {
        GdiFlush();
        std::memcpy(FBits, Source.FBits, static_cast<size_t>(RowBytes()) * static_cast<size_t>(FHeight));
    }
    Transparent = Source.Transparent;
    TransparentColor = Source.TransparentColor;
    Changed();
}

TCanvas& TBitmap::Canvas() {
    if (!FCanvas)
        FCanvas = std::make_unique<TBitmapCanvas>(*this);
    return *FCanvas;
}

void TBitmap::Dormant() {
    if (FCanvas)
        FCanvas->Release();
}

const uint8_t* TBitmap::ScanLine(int Row) {
    if (!FBits || Row < 0 || Row >= FHeight)
        throw std::out_of_range("Scan line index out of range");
    GdiFlush();
    return FBits + static_cast<size_t>(Row) * static_cast<size_t>(RowBytes());
}

void TBitmap::Draw(TCanvas& Target, const RECT& R) {
    if (!FHandle)
        return;
    Dormant();
    HDC Src = CreateCompatibleDC(nullptr);
    HGDIOBJ Old = SelectObject(Src, FHandle);
    int W = R.right - R.left, H = R.bottom - R.top;
    if (Transparent) {
        COLORREF Key = TransparentColor == clNone ? (GdiFlush(), RGB(FBits[2], FBits[1], FBits[0]))
                                                  : ColorToRGB(TransparentColor);
        const TMasks& M = TransparencyMasks(Key);
        // Stretched, neither picture may blend its pixels: the mask must stay black and white.
        const int OldMode = SetStretchBltMode(Target.Handle(), COLORONCOLOR);
        SelectObject(Src, M.Mask);
        StretchBlt(Target.Handle(), R.left, R.top, W, H, Src, 0, 0, FWidth, FHeight, SRCAND);
        SelectObject(Src, M.Image);
        StretchBlt(Target.Handle(), R.left, R.top, W, H, Src, 0, 0, FWidth, FHeight, SRCPAINT);
        if (OldMode)
            SetStretchBltMode(Target.Handle(), OldMode);
    } else {
        SetStretchBltMode(Target.Handle(), COLORONCOLOR);
        StretchBlt(Target.Handle(), R.left, R.top, W, H, Src, 0, 0, FWidth, FHeight, Target.CopyMode);
    }
    SelectObject(Src, Old);
    DeleteDC(Src);
}

void TBitmap::LoadFromFile(const std::string& FileName) {
    HANDLE H =
        LoadImageA(nullptr, FileName.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    if (!H)
        throw std::runtime_error("Cannot load bitmap " + FileName);
    SetHandle(static_cast<HBITMAP>(H));
}

void TBitmap::SaveToFile(const std::string& FileName) {
    if (!FHandle)
        throw std::runtime_error("Cannot save an empty bitmap");
    GdiFlush();
    uint32_t ImageSize = static_cast<uint32_t>(RowBytes()) * static_cast<uint32_t>(FHeight);
    BITMAPFILEHEADER FH{};
    BITMAPINFOHEADER IH{};
    FH.bfType = 0x4D42;
    FH.bfOffBits = sizeof(FH) + sizeof(IH);
    FH.bfSize = FH.bfOffBits + ImageSize;
    IH.biSize = sizeof(IH);
    IH.biWidth = FWidth;
    IH.biHeight = FHeight; // bottom-up rows: what every reader takes
    IH.biPlanes = 1;
    IH.biBitCount = 24;
    IH.biCompression = BI_RGB;
    IH.biSizeImage = ImageSize;
    std::ofstream Out(FileName, std::ios::binary | std::ios::trunc);
    Out.write(reinterpret_cast<const char*>(&FH), sizeof(FH));
    Out.write(reinterpret_cast<const char*>(&IH), sizeof(IH));
    for (int Row = FHeight - 1; Row >= 0; --Row)
        Out.write(reinterpret_cast<const char*>(FBits) +
                      static_cast<size_t>(Row) * static_cast<size_t>(RowBytes()),
                  RowBytes());
    if (!Out)
        throw std::runtime_error("Cannot write " + FileName);
}

// --- TMetafile ----------------------------------------------------------------------------------

TMetafile::~TMetafile() {
    SetHandle(nullptr);
}

void TMetafile::SetHandle(HENHMETAFILE Value) {
    if (FHandle && FHandle != Value)
        DeleteEnhMetaFile(FHandle);
    FHandle = Value;
}

int TMetafile::Width() const {
    ENHMETAHEADER H{};
    if (!FHandle || !GetEnhMetaFileHeader(FHandle, sizeof(H), &H))
        return 0;
    return H.rclBounds.right - H.rclBounds.left + 1;
}
int TMetafile::Height() const {
    ENHMETAHEADER H{};
    if (!FHandle || !GetEnhMetaFileHeader(FHandle, sizeof(H), &H))
        return 0;
    return H.rclBounds.bottom - H.rclBounds.top + 1;
}
void TMetafile::Draw(TCanvas& Canvas, const RECT& Rect) {
    if (FHandle)
        PlayEnhMetaFile(Canvas.Handle(), FHandle, &Rect);
}
void TMetafile::LoadFromFile(const std::string& FileName) {
    HENHMETAFILE H = GetEnhMetaFileA(FileName.c_str());
    if (!H)
        throw std::runtime_error("Cannot load metafile " + FileName);
    SetHandle(H);
}
void TMetafile::SaveToFile(const std::string& FileName) {
    if (!FHandle)
        throw std::runtime_error("Cannot save an empty metafile");
    HENHMETAFILE Copy = CopyEnhMetaFileA(FHandle, FileName.c_str());
    if (!Copy)
        throw std::runtime_error("Cannot write " + FileName);
    DeleteEnhMetaFile(Copy);
}
std::vector<uint8_t> TMetafile::Bits() const {
    std::vector<uint8_t> Result;
    if (!FHandle)
        return Result;
    UINT Size = GetEnhMetaFileBits(FHandle, 0, nullptr);
    Result.resize(Size);
    if (Size)
        GetEnhMetaFileBits(FHandle, Size, Result.data());
    return Result;
}

TMetafileCanvas::TMetafileCanvas(TMetafile& Target, HDC Reference, int Width, int Height) : FTarget(Target) {
    HDC Ref = Reference ? Reference : GetDC(nullptr);
    // The frame is in 0.01 mm.
    int HS = GetDeviceCaps(Ref, HORZSIZE), VS = GetDeviceCaps(Ref, VERTSIZE);
    int HR = GetDeviceCaps(Ref, HORZRES), VR = GetDeviceCaps(Ref, VERTRES);
    RECT Frame{0, 0, HR ? MulDiv(Width, HS * 100, HR) : 0, VR ? MulDiv(Height, VS * 100, VR) : 0};
    FDC = CreateEnhMetaFileA(Ref, nullptr, Width > 0 && Height > 0 ? &Frame : nullptr, nullptr);
    if (!Reference)
        ReleaseDC(nullptr, Ref);
    if (!FDC)
        throw std::runtime_error("Cannot create metafile");
    SetHandle(FDC);
}
TMetafileCanvas::~TMetafileCanvas() {
    Close();
}
void TMetafileCanvas::Close() {
    if (!FDC)
        return;
    DeselectObjects();
    SetHandle(nullptr);
    FTarget.SetHandle(CloseEnhMetaFile(FDC));
    FDC = nullptr;
}
