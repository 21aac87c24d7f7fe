#pragma once
// The tree's in-place editors: a one-line edit and a multi-line memo laid over a node's text. The
// editor classes also measure and draw node texts for the tree, so that a text looks the same
// in its row and in its editor. Tree and editor talk through the private messages DM_* of HSTree.h.
#include "framework/core/Win.h"

#include <string>

#include "framework/ui/Graphics.h"
#include "framework/ui/StdCtrls.h"

// Multi-line node texts: lines end at CR LF, a lone CR or a lone LF.
int GetMultiLineTextHeight(TCanvas& Canvas, const std::string& Text);
int GetMultiLineTextWidth(TCanvas& Canvas, const std::string& Text);
void DrawMultiLineText(TCanvas& Canvas, const std::string& Text, const RECT& R);

// What the tree hands over with DM_MEASURE and DM_DRAW.
struct TTreeEditorMeasure {
    const char* Text;
    int* Result;
    uint8_t Width; // non-zero: measure the width, else the height
};
struct TTreeEditorDraw {
    const char* Text;
    RECT Cell;
};
struct TTreeEditorShow {
    TFont* Font;
    TColor BrushColor;
    TColor ActiveSelectedColor;
    TColor ActiveSelectedFontColor;
};

class THSCustomTreeSimpleEditor : public TEdit {
    ZEL_DECLARE_CLASS(THSCustomTreeSimpleEditor)
public:
    explicit THSCustomTreeSimpleEditor(TComponent* AOwner);
    void WndProc(TMessage& Message) override;
    virtual int GetEditorHeight();
    virtual int GetEditorWidth();
    RECT GetBaseRect();
    virtual RECT GetEditorBounds();
    void UpdateEditorBounds();
    // Applies the border flag to the live window.
    void RecreateBorder();

protected:
    void CreateParams(TCreateParams& Params) override;
    void Change() override;
    TWinControl* FTree = nullptr;
    TCanvas* FTreeCanvas = nullptr;
    RECT FRect{0, 0, 0, 0};
    bool FBorder = true;
    bool FWidenToText = false;
};

class THSTreeSimpleEditor : public THSCustomTreeSimpleEditor {
    ZEL_DECLARE_CLASS(THSTreeSimpleEditor)
public:
    explicit THSTreeSimpleEditor(TComponent* AOwner);
};

class THSCustomTreeMemoEditor : public TMemo {
    ZEL_DECLARE_CLASS(THSCustomTreeMemoEditor)
public:
    explicit THSCustomTreeMemoEditor(TComponent* AOwner);
    void WndProc(TMessage& Message) override;
    virtual int GetEditorHeight();
    virtual int GetEditorWidth();
    RECT GetBaseRect();
    virtual RECT GetEditorBounds();
    void UpdateEditorBounds();
    // Applies the border flag to the live window.
    void RecreateBorder();

protected:
    void CreateParams(TCreateParams& Params) override;
    void Change() override;
    TWinControl* FTree = nullptr;
    TCanvas* FTreeCanvas = nullptr;
    RECT FRect{0, 0, 0, 0};
    bool FBorder = true;
    bool FWidenToText = false;
};

class THSTreeMemoEditor : public THSCustomTreeMemoEditor {
    ZEL_DECLARE_CLASS(THSTreeMemoEditor)
public:
    explicit THSTreeMemoEditor(TComponent* AOwner);
};
