#include "controls/foundation/TreeSource.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "controls/foundation/DesignerServices.h"
#include "controls/foundation/NotifierListEx.h"
#include "framework/core/ScopeGuard.h"
#include "framework/ui/ExtCtrls.h"

namespace {

class TShownThing : public TComponent {
    ZEL_DECLARE_CLASS(TShownThing)
public:
    using TComponent::TComponent;
};
ZEL_DEFINE_CLASS(TShownThing, TComponent, {})

// A flat source: every item is a root item; it counts its update brackets.
class TFlatSource : public TTreeSource {
    ZEL_DECLARE_CLASS(TFlatSource)
public:
    using TTreeSource::TTreeSource;
    std::vector<TNodeRec> Items;
    int Updating = 0, Brackets = 0;

    void SetSelectedObject(TPersistent* Value) override { Selected = Value; }
    TPersistent* GetSelectedObject() override { return Selected; }
    void SetTreeLink(TComponent* Value) override { Link = Value; }
    TComponent* GetTreeLink() override { return Link; }
    void ObjectInserted(TPersistent*) override {}
    TImageList* GetLargeImages() override { return nullptr; }
    TImageList* GetSmallImages() override { return nullptr; }
    TImageList* GetStateImages() override { return nullptr; }
    void SetLargeImages(TImageList*) override {}
    void SetSmallImages(TImageList*) override {}
    void SetStateImages(TImageList*) override {}
    void GetItems(const std::function<void(const TNodeRec&)>& Proc) override {
        for (const TNodeRec& N : Items)
            Proc(N);
    }
    void SetCaption(int32_t Id, const std::string& Caption) override {
        Items[static_cast<size_t>(Id)].Caption = Caption;
    }
    int32_t Add(int32_t, TSourceAttachMode) override {
        TNodeRec N;
        N.Id = static_cast<int32_t>(Items.size());
        Items.push_back(N);
        return N.Id;
    }
    void Clear() override { Items.clear(); }
    void Delete(int32_t) override {}
    bool CanMove(int32_t, int32_t, TSourceAttachMode) override { return false; }
    void MoveTo(int32_t, int32_t, TSourceAttachMode) override {}
    void BeginUpdate() override { ++Updating; }
    void EndUpdate() override {
        --Updating;
        ++Brackets;
    }
    TControl* GetInspectorControl() override { return nullptr; }
    bool ActionAllowed(int32_t, int32_t) override { return false; }
    std::string GetDisplayName(int32_t Id) override { return Items[static_cast<size_t>(Id)].Caption; }
    int32_t GetAttrCount() override { return 0; }
    std::string GetAttrName(int32_t) override { return ""; }
    std::string GetAttrValue(int32_t, int32_t) override { return ""; }
    std::string GetStatusLine(int32_t) override { return ""; }
    bool ValidSource() override { return Selected != nullptr; }
    void Edit(int32_t) override {}
    int32_t GetSortType() override { return 0; }
    bool HasChild(int32_t) override { return false; }
    int32_t GetParentId(int32_t) override { return -1; }

private:
    TPersistent* Selected = nullptr;
    TComponent* Link = nullptr;
};
ZEL_DEFINE_CLASS(TFlatSource, TTreeSource, {})

TEST(TreeSource, ARegisteredSourceIsMadeByClassAndWorkedThroughTheBase) {
    EXPECT_EQ(TTreeSource::StaticClass()->Create(nullptr), nullptr); // the base is abstract
    RegisterTreeSource(TShownThing::StaticClass(), TFlatSource::StaticClass(), "");
    TClass SourceClass = GetRegisteredTreeSource(TShownThing::StaticClass(), "");
    ASSERT_EQ(SourceClass, TFlatSource::StaticClass());
    std::unique_ptr<TTreeSource> Source(dynamic_cast<TTreeSource*>(SourceClass->Create(nullptr)));
    ASSERT_NE(Source, nullptr);

    TShownThing Thing(nullptr);
    EXPECT_FALSE(Source->ValidSource());
    Source->SetSelectedObject(&Thing);
    EXPECT_TRUE(Source->ValidSource());
    {
        auto Bracket = UpdateBracket(*Source);
        Source->SetCaption(Source->Add(-1, TSourceAttachMode::saAdd), "first");
        Source->SetCaption(Source->Add(0, TSourceAttachMode::saAdd), "second");
    }
    auto* Flat = static_cast<TFlatSource*>(Source.get());
    EXPECT_EQ(Flat->Updating, 0);
    EXPECT_EQ(Flat->Brackets, 1);
    std::vector<std::string> Captions;
    Source->GetItems([&](const TNodeRec& N) { Captions.push_back(N.Caption); });
    EXPECT_EQ(Captions, (std::vector<std::string>{"first", "second"}));
}

// A windowed listener.
class TListeningPanel : public TPanel {
public:
    using TPanel::TPanel;
    void Changed(TObject*, int32_t, int32_t) {}
};
// A listener without a window.
class TPlainListener : public TObject {
public:
    void Changed(TObject*, int32_t, int32_t) {}
};

TEST(TreeSource, NotifiersAreReachedByPostedMessagesLastFirst) {
    constexpr UINT Msg = WM_APP + 77;
    TListeningPanel First(nullptr), Second(nullptr), NoWindow(nullptr);
    First.HandleNeeded();
    Second.HandleNeeded();
    TPlainListener Plain;
    TNotifierListEx& List = *GetTreeNotifiers();
    EXPECT_EQ(&List, GetTreeNotifiers());
    const THSNotifyEvent Methods[] = {{&First, &TListeningPanel::Changed},
                                      {&Plain, &TPlainListener::Changed},
                                      {&NoWindow, &TListeningPanel::Changed},
                                      {&Second, &TListeningPanel::Changed}};
    for (const THSNotifyEvent& M : Methods)
        List.AddMethod(M);
    TScopeGuard Remove([&] {
        for (const THSNotifyEvent& M : Methods)
            List.DeleteMethod(M);
    });

    List.PostMessage(Msg, 7, 9);
    std::vector<HWND> Order;
    MSG M;
    while (PeekMessageA(&M, nullptr, Msg, Msg, PM_REMOVE)) {
        EXPECT_EQ(M.wParam, 7u);
        EXPECT_EQ(M.lParam, 9);
        Order.push_back(M.hwnd);
    }
    EXPECT_EQ(Order, (std::vector<HWND>{Second.Handle(), First.Handle()}));
    EXPECT_FALSE(NoWindow.HandleAllocated());
}

} // namespace
