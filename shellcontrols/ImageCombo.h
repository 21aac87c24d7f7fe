#pragma once
// TNVCustomImageCombo: an owner-drawn drop-down list whose items carry an image, an overlay image,
// an indentation level and a caption. The combo owns its items.
#include "framework/core/Win.h"

#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/ui/Controls.h"

class TNVCustomImageCombo;

class TNVImageComboItem : public TObject {
    ZEL_DECLARE_CLASS(TNVImageComboItem)
public:
    explicit TNVImageComboItem(TNVCustomImageCombo* Combo = nullptr) : FCombo(Combo) {}
    int Index() const { return FIndex; }
    int Indent() const { return FIndent; }
    void SetIndent(int Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    int OverlayIndex() const { return FOverlayIndex; }
    void SetOverlayIndex(int Value);
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    // Whatever the owner hangs on the item (owned by it).
    std::unique_ptr<TObject> Data;

private:
    friend class TNVCustomImageCombo;
    void Changed();
    TNVCustomImageCombo* FCombo;
    int FIndex = -1;
    int FIndent = 0;
    int FImageIndex = -1;
    int FOverlayIndex = -1;
    std::string FCaption;
};

using TNVImageComboItemEvent = std::function<void(TObject* Sender, TNVImageComboItem* Item)>;

class TNVCustomImageCombo : public TWinControl {
    ZEL_DECLARE_CLASS(TNVCustomImageCombo)
public:
    explicit TNVCustomImageCombo(TComponent* AOwner);
    ~TNVCustomImageCombo() override;

    TNVImageComboItem* AddItem(const std::string& Caption, int ImageIndex, int Indent);
    TNVImageComboItem* GetImageComboItem(int Index) const;
    int ItemCount() const { return static_cast<int>(FItems.size()); }
    void DeleteItem(int Index);
    void Clear();
    int ItemIndex();
    void SetItemIndex(int Value);
    // A platform image list (not owned).
    HIMAGELIST ImageList() const { return FImageList; }
    void SetImageList(HIMAGELIST Value);
    int IndentPixels() const { return FIndentPixels; }
    void SetIndentPixels(int Value);
    bool AutoSizeHeight() const { return FAutoSizeHeight; }
    void SetAutoSizeHeight(bool Value) { FAutoSizeHeight = Value; }
    int DropDownCount() const { return FDropDownCount; }
    // The number of rows the list shows when it opens; a live window takes it at once.
    void SetDropDownCount(int Value);
    // The height of the drop-down's items.
    int ItemHeight();
    void WndProc(TMessage& Message) override;

    TNVImageComboItemEvent OnDeleteItem;
    TNVImageComboItemEvent OnGetItemData;
    TNotifyEvent OnCloseUp;
    TNotifyEvent OnSelEndOk;
    TNotifyEvent OnSelEndCancel;
    TNotifyEvent OnDropDown;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateHandleDone() override;
    void FontChanged() override;
    virtual void GetItemData(TNVImageComboItem* Item) { DoEvent(OnGetItemData, this, Item); }
    virtual void SelEndOk() { DoEvent(OnSelEndOk, this); }
    virtual void CloseUp() { DoEvent(OnCloseUp, this); }
    virtual void SelEndCancel() { DoEvent(OnSelEndCancel, this); }
    virtual void DropDown() { DoEvent(OnDropDown, this); }
    virtual void DrawItem(int Index, const RECT& Rect, UINT State, HDC DC, bool InList);

private:
    void AutoSize();
    void Renumber();
    std::vector<std::unique_ptr<TNVImageComboItem>> FItems;
    HIMAGELIST FImageList = nullptr;
    int FIndentPixels = 12;
    bool FAutoSizeHeight = true;
    int FDropDownCount = 8;
};

class TNVImageCombo : public TNVCustomImageCombo {
    ZEL_DECLARE_CLASS(TNVImageCombo)
public:
    explicit TNVImageCombo(TComponent* AOwner) : TNVCustomImageCombo(AOwner) {}
};
