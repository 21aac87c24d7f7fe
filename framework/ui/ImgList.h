#pragma once
// A list of same-sized images drawn by index (the platform's image list).
#include "framework/core/Component.h"
#include "framework/ui/Graphics.h"

#include <commctrl.h>

class TImageList : public TComponent {
    ZEL_DECLARE_CLASS(TImageList)
public:
    explicit TImageList(TComponent* AOwner);
    ~TImageList() override;
    int Width() const { return FWidth; }
    void SetWidth(int Value);
    int Height() const { return FHeight; }
    void SetHeight(int Value);
    HIMAGELIST Handle();
    int Count() const;
    // Adds Image (its width a multiple of Width: several images side by side); returns the first index.
    int Add(TBitmap& Image, TBitmap* Mask = nullptr);
    // Adds with the pixels of MaskColor transparent.
    int AddMasked(TBitmap& Image, TColor MaskColor);
    int AddIcon(HICON Icon);
    void Delete(int Index);
    void Clear();
    void Draw(TCanvas& Canvas, int X, int Y, int Index, bool Enabled = true);
    // Copies image Index into Image (resized to the list's size).
    void GetBitmap(int Index, TBitmap& Image);

private:
    void Recreate();
    int FWidth = 16, FHeight = 16;
    HIMAGELIST FHandle = nullptr;
};
