#include "controls/memo/MemoPopupListBox.h"

#include <memory>

#include "controls/memo/MemoPopupList.h"
#include "controls/tree/PopupListBox.h"
#include "framework/core/SysUtils.h"

namespace {

class TMemoPopupListBox : public TMemoPopupList {
public:
    explicit TMemoPopupListBox(const TMemoPopupListRequest& R) {
        auto Select = R.OnSelect;
        FList.reset(PopupListbox(
            R.Parent, *R.Items, R.At.x, R.At.y,
            {R.RightAligned ? TLeftRightAlign::lrRightJustify : TLeftRightAlign::lrLeftJustify}, R.Font,
            [Select](TObject*, int Index) {
                if (Select)
                    Select(Index);
            },
            R.MaxWidth));
        FList->OnKeyDown = R.OnKeyDown;
        FList->OnKeyPress = R.OnKeyPress;
    }
    bool Visible() const override { return FList->Visible(); }
    void Close(bool Accept) override { FList->Close(Accept); }
    int32_t ItemIndex() const override { return FList->ItemIndex(); }
    void SetItemIndex(int32_t Index) override { FList->SetItemIndex(Index); }
    // As the list box's own prefix search from the top (LB_FINDSTRING with -1), on the item texts.
    int32_t FindPrefix(const std::string& Text) const override {
        const std::string Prefix = UpperCase(Text);
        TStrings& Items = FList->Items();
        for (int I = 0; I < Items.Count(); ++I)
            if (UpperCase(Items.Get(I)).compare(0, Prefix.size(), Prefix) == 0)
                return I;
        return -1;
    }

private:
    std::unique_ptr<THSPopupListBox> FList;
};

} // namespace

void InstallMemoPopupListBox() {
    SetMemoPopupListMaker([](const TMemoPopupListRequest& R) -> std::unique_ptr<TMemoPopupList> {
        return std::make_unique<TMemoPopupListBox>(R);
    });
}
