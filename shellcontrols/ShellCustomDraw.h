#pragma once
// One custom-draw notification (NM_CUSTOMDRAW) of the shell tree or list, held while it is
// handled: a handler reads the stage, the rectangle and the device context, changes the font or
// the brush or asks the control to skip its own drawing, and Apply writes those choices back
// into the notification and its result. The object lives until the control's next notification,
// so a font it selected into the device context stays valid while the control draws with it.
#include "framework/core/Win.h"

#include <commctrl.h>

#include <memory>

#include "framework/core/Object.h"
#include "framework/ui/Graphics.h"

enum class TNVCustomDrawStage {
    nvcdsUnknown,
    nvcdsPrePaint,
    nvcdsPostPaint,
    nvcdsPreErase,
    nvcdsItemPrePaint,
    nvcdsItemPostPaint,
    nvcdsItemPreErase,
    nvcdsItemPostErase
};

class TNVCustomDraw : public TObject {
    ZEL_DECLARE_CLASS(TNVCustomDraw)
public:
    // Record and Result must outlive the object's handling of the notification; SourceFont is the
    // control's font (not owned) that the handler's font starts from.
    TNVCustomDraw(NMCUSTOMDRAW& Record, LRESULT& Result, const TFont* SourceFont, bool NotifyItemDraw);
    ~TNVCustomDraw() override;
    TNVCustomDraw(const TNVCustomDraw&) = delete;
    TNVCustomDraw& operator=(const TNVCustomDraw&) = delete;

    // Binds the object to another notification: the result is no longer set, font and brush go.
    virtual void Reset(NMCUSTOMDRAW& Record, LRESULT& Result);
    virtual void CreateFont();
    virtual void CreateBrush();
    // Writes the handler's choices into the notification and the result.
    virtual void Apply() = 0;

    DWORD RawDrawStage() const { return FRecord->dwDrawStage; }
    TNVCustomDrawStage DrawStage() const;
    RECT Rect() const { return FRecord->rc; }
    HDC Handle() const { return FRecord->hdc; }
    bool IsItem() const { return (FRecord->dwDrawStage & CDDS_ITEM) != 0; }
    DWORD_PTR ItemSpec() const { return FRecord->dwItemSpec; }
    LRESULT Result() const { return *FResult; }
    void SetResult(LRESULT Value);
    bool ResultSet() const { return FResultSet; }

    TFont& Font();
    void SetFont(const TFont& Value) { Font().Assign(Value); }
    TBrush& Brush();
    void SetBrush(const TBrush& Value) { Brush().Assign(Value); }
    // A canvas over the notification's device context, made on first use; Apply lets go of it
    // and gives the context back the font, pen and brush it had.
    TCanvas& Canvas();
    // The handler asks the control not to draw the item itself (at the item pre-paint stage).
    bool SkipDefault = false;

protected:
    NMCUSTOMDRAW& Record() { return *FRecord; }
    // The common part of Apply; TextColor and TextBk are the record's colour fields.
    void ApplyTo(COLORREF& TextColor, COLORREF& TextBk);

private:
    void ReleaseCanvas();
    const TFont* FSourceFont;
    std::unique_ptr<TFont> FFont;
    bool FFontChanged = false;
    std::unique_ptr<TBrush> FBrush;
    bool FBrushChanged = false;
    bool FNotifyItemDraw;
    NMCUSTOMDRAW* FRecord = nullptr;
    LRESULT* FResult = nullptr;
    bool FResultSet = false;
    std::unique_ptr<TCanvas> FCanvas;
    HGDIOBJ FSavedObjects[3] = {};
};

// The tree's form (NMTVCUSTOMDRAW); asks for item notifications at the pre-paint stage.
class TNVTvCustomDraw : public TNVCustomDraw {
    ZEL_DECLARE_CLASS(TNVTvCustomDraw)
public:
    TNVTvCustomDraw(NMTVCUSTOMDRAW& Record, LRESULT& Result, const TFont* SourceFont)
        : TNVCustomDraw(Record.nmcd, Result, SourceFont, true) {}
    NMTVCUSTOMDRAW& GetMpTvCd() { return reinterpret_cast<NMTVCUSTOMDRAW&>(Record()); }
    void Apply() override;
};

// The list's form (NMLVCUSTOMDRAW).
class TNVLvCustomDraw : public TNVCustomDraw {
    ZEL_DECLARE_CLASS(TNVLvCustomDraw)
public:
    TNVLvCustomDraw(NMLVCUSTOMDRAW& Record, LRESULT& Result, const TFont* SourceFont)
        : TNVCustomDraw(Record.nmcd, Result, SourceFont, false) {}
    NMLVCUSTOMDRAW& GetMpLvCd() { return reinterpret_cast<NMLVCUSTOMDRAW&>(Record()); }
    void Apply() override;
};
