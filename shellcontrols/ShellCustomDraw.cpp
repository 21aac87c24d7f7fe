#include "shellcontrols/ShellCustomDraw.h"

ZEL_DEFINE_CLASS(TNVCustomDraw, TObject, {})
ZEL_DEFINE_CLASS(TNVTvCustomDraw, TNVCustomDraw, {})
ZEL_DEFINE_CLASS(TNVLvCustomDraw, TNVCustomDraw, {})

TNVCustomDraw::TNVCustomDraw(NMCUSTOMDRAW& Record, LRESULT& Result, const TFont* SourceFont,
                             bool NotifyItemDraw)
    : FSourceFont(SourceFont), FNotifyItemDraw(NotifyItemDraw) {
    // Not virtual calls: the derived parts do not exist yet, and they add nothing here.
    TNVCustomDraw::Reset(Record, Result);
    TNVCustomDraw::CreateBrush();
    TNVCustomDraw::CreateFont();
}

TNVCustomDraw::~TNVCustomDraw() = default;

void TNVCustomDraw::ReleaseCanvas() {
    if (!FCanvas || !FCanvas->HandleAllocated())
        return;
    // The canvas leaves stock objects behind; the control draws on with what it had selected.
    HDC DC = FCanvas->Handle();
    FCanvas->SetHandle(nullptr);
    for (HGDIOBJ Old : FSavedObjects)
        if (Old)
            SelectObject(DC, Old);
}

void TNVCustomDraw::Reset(NMCUSTOMDRAW& Record, LRESULT& Result) {
    ReleaseCanvas();
    FRecord = &Record;
    FResult = &Result;
    FResultSet = false;
    FFont.reset();
    FFontChanged = false;
    FBrush.reset();
    FBrushChanged = false;
}

void TNVCustomDraw::CreateFont() {
    FFont = std::make_unique<TFont>();
    if (FSourceFont)
        FFont->Assign(*FSourceFont);
    if (FRecord->hdc)
        FFont->SetColor(static_cast<TColor>(GetTextColor(FRecord->hdc)));
    FFontChanged = false;
    FFont->OnChange = [this](TGraphicsObject*) { FFontChanged = true; };
}

void TNVCustomDraw::CreateBrush() {
    FBrush = std::make_unique<TBrush>();
    if (FRecord->hdc)
        FBrush->SetColor(static_cast<TColor>(GetBkColor(FRecord->hdc)));
    FBrushChanged = false;
    FBrush->OnChange = [this](TGraphicsObject*) { FBrushChanged = true; };
}

TNVCustomDrawStage TNVCustomDraw::DrawStage() const {
    // The erase stages are reported as unknown: the controls never send them.
    switch (FRecord->dwDrawStage) {
    case CDDS_PREPAINT:
        return TNVCustomDrawStage::nvcdsPrePaint;
    case CDDS_POSTPAINT:
        return TNVCustomDrawStage::nvcdsPostPaint;
    case CDDS_ITEMPREPAINT:
        return TNVCustomDrawStage::nvcdsItemPrePaint;
    case CDDS_ITEMPOSTPAINT:
        return TNVCustomDrawStage::nvcdsItemPostPaint;
    default:
        return TNVCustomDrawStage::nvcdsUnknown;
    }
}

void TNVCustomDraw::SetResult(LRESULT Value) {
    *FResult = Value;
    FResultSet = true;
}

TFont& TNVCustomDraw::Font() {
    if (!FFont)
        CreateFont();
    return *FFont;
}

TBrush& TNVCustomDraw::Brush() {
    if (!FBrush)
        CreateBrush();
    return *FBrush;
}

TCanvas& TNVCustomDraw::Canvas() {
    if (!FCanvas)
        FCanvas = std::make_unique<TCanvas>();
    if (FRecord->hdc && !FCanvas->HandleAllocated()) {
        FSavedObjects[0] = GetCurrentObject(FRecord->hdc, OBJ_FONT);
        FSavedObjects[1] = GetCurrentObject(FRecord->hdc, OBJ_PEN);
        FSavedObjects[2] = GetCurrentObject(FRecord->hdc, OBJ_BRUSH);
        FCanvas->SetHandle(FRecord->hdc);
    }
    return *FCanvas;
}

void TNVCustomDraw::ApplyTo(COLORREF& TextColor, COLORREF& TextBk) {
    ReleaseCanvas();
    if (!FResultSet)
        *FResult = CDRF_DODEFAULT;
    switch (DrawStage()) {
    case TNVCustomDrawStage::nvcdsPrePaint:
        if (!FResultSet && FNotifyItemDraw)
            *FResult |= CDRF_NOTIFYITEMDRAW;
        break;
    case TNVCustomDrawStage::nvcdsItemPrePaint:
        if (SkipDefault) {
            if (!FResultSet)
                *FResult |= CDRF_SKIPDEFAULT;
            break;
        }
        if (FFontChanged && FFont) {
            HFONT Handle = FFont->Handle();
            if (FRecord->hdc && static_cast<HGDIOBJ>(Handle) != GetCurrentObject(FRecord->hdc, OBJ_FONT)) {
                SelectObject(FRecord->hdc, Handle);
                *FResult |= CDRF_NEWFONT;
            }
            TextColor = ColorToRGB(FFont->Color());
        }
        if (FBrushChanged && FBrush)
            TextBk = ColorToRGB(FBrush->Color());
        break;
    default:
        break;
    }
}

void TNVTvCustomDraw::Apply() {
    NMTVCUSTOMDRAW& R = GetMpTvCd();
    ApplyTo(R.clrText, R.clrTextBk);
}

void TNVLvCustomDraw::Apply() {
    NMLVCUSTOMDRAW& R = GetMpLvCd();
    ApplyTo(R.clrText, R.clrTextBk);
}
