#include "controls/foundation/SimpleScripter.h"

#include <gtest/gtest.h>

#include <memory>

#include <string>
#include <vector>

namespace {

// Keeps one line per handler.
class TLineScripter : public THSSimpleScripter {
    ZEL_DECLARE_CLASS(TLineScripter)
public:
    using THSSimpleScripter::THSSimpleScripter;
    std::vector<std::string> Lines;
    bool Designing = false;
    void BeginDesign() override { Designing = true; }
    void EndDesign() override { Designing = false; }
    void CreateEvent(TComponent* Component, const std::string& EventName,
                     const std::string& HandlerName) override {
        Lines.push_back(HandlerName + " " + Component->Name() + "." + EventName);
    }
    void RenameEvent(const std::string& OldName, const std::string& NewName) override {
        for (std::string& L : Lines)
            if (L.rfind(OldName + " ", 0) == 0)
                L = NewName + L.substr(OldName.size());
    }
    void EventDeleted(const std::string& HandlerName) override {
        std::erase_if(Lines, [&](const std::string& L) { return L.rfind(HandlerName + " ", 0) == 0; });
    }
};
ZEL_DEFINE_CLASS(TLineScripter, THSSimpleScripter, {})

TEST(SimpleScripter, TheBaseIsAbstractAndScriptersAreDrivenThroughIt) {
    RegisterClass(TLineScripter::StaticClass());
    EXPECT_EQ(THSSimpleScripter::StaticClass()->Create(nullptr), nullptr);
    EXPECT_TRUE(TLineScripter::StaticClass()->InheritsFrom(THSSimpleScripter::StaticClass()));
    std::unique_ptr<TObject> Made(FindClass("TLineScripter")->Create(nullptr));
    auto* Scripter = dynamic_cast<THSSimpleScripter*>(Made.get());
    ASSERT_NE(Scripter, nullptr);

    TComponent Button(nullptr);
    Button.SetName("Button1");
    Scripter->BeginDesign();
    Scripter->CreateEvent(&Button, "OnClick", "Button1Click");
    Scripter->CreateEvent(&Button, "OnEnter", "Button1Enter");
    Scripter->RenameEvent("Button1Click", "OkClick");
    Scripter->EventDeleted("Button1Enter");
    Scripter->EndDesign();
    auto* Lines = static_cast<TLineScripter*>(Scripter);
    EXPECT_FALSE(Lines->Designing);
    EXPECT_EQ(Lines->Lines, std::vector<std::string>{"OkClick Button1.OnClick"});
}

} // namespace
