#include "controls/foundation/CompFiler.h"

#include <gtest/gtest.h>

#include <memory>

#include "TestFolder.h"
#include "controls/foundation/FoundationErrors.h"
#include "controls/foundation/PropStore.h"
#include "framework/core/ObjectText.h"
#include "framework/core/ScopeGuard.h"
#include "framework/core/Streams.h"

namespace {

// What a form's component may refer to.
class TTable : public TComponent {
    ZEL_DECLARE_CLASS(TTable)
public:
    explicit TTable(TComponent* AOwner = nullptr) : TComponent(AOwner) {}
};
ZEL_DEFINE_CLASS(TTable, TComponent, {})

// A component with a text, a reference and two events, as a form or a control has them.
class TFiled : public TComponent {
    ZEL_DECLARE_CLASS(TFiled)
public:
    explicit TFiled(TComponent* AOwner = nullptr) : TComponent(AOwner) {}
    std::string Caption;
    TTable* Table = nullptr;
    std::string GetCaption() const { return Caption; }
    void SetCaption(const std::string& V) { Caption = V; }
    TTable* GetTable() const { return Table; }
    void SetTable(TTable* V) { Table = V; }
};
ZEL_DEFINE_CLASS(TFiled, TComponent,
                 {Prop::String<TFiled>("Caption", &TFiled::GetCaption, &TFiled::SetCaption),
                  Prop::Object<TFiled>("Table", &TFiled::GetTable, &TFiled::SetTable),
                  Prop::Method("OnChange"), Prop::Method("OnClick")})

// A class of its own, as a designer makes one for a form.
class TFiledForm : public TFiled {
    ZEL_DECLARE_CLASS(TFiledForm)
public:
    explicit TFiledForm(TComponent* AOwner = nullptr) : TFiled(AOwner) {}
};
ZEL_DEFINE_CLASS(TFiledForm, TFiled, {})

class CompFiler : public ::testing::Test {
protected:
    void SetUp() override { RegisterClass(TFiled::StaticClass()); }
    void TearDown() override {
        UnRegisterClass(TFiled::StaticClass());
        ReaderErrorHandler = nullptr;
    }

    // Form1 with a button; the form's OnChange and the button's OnClick are bound.
    std::unique_ptr<TFiled> MakeForm(TCompFiler& Filer) {
        auto Form = std::make_unique<TFiled>();
        Form->SetName("Form1");
        Form->Caption = "Main";
        auto* Button = new TFiled(Form.get());
        Button->SetName("Button1");
        Button->Caption = "OK";
        Filer.SetEvent(Form.get(), "OnChange", "Form1Change");
        Filer.SetEvent(Button, "onclick", "Button1Click");
        return Form;
    }
};

TEST_F(CompFiler, HandlerNamesBecomeIdentifiers) {
    TCompFiler F;
    EXPECT_EQ(F.AddEvent("Form1Change"), 1);
    EXPECT_EQ(F.AddEvent("Button1Click"), 2);
    EXPECT_EQ(F.AddEvent("form1change"), 1);
    EXPECT_EQ(F.AddEvent(""), 0);
    EXPECT_EQ(F.EventNameByID(2), "Button1Click");
    EXPECT_EQ(F.EventNameByID(3), "");
    EXPECT_EQ(F.EventNameByID(0), "");

    TFiled C;
    EXPECT_THROW(F.SetEvent(&C, "Caption", "X"), EHSError); // not an event
    EXPECT_THROW(F.SetEvent(&C, "OnNothing", "X"), EHSError);
    EXPECT_THROW(F.SetEvent(&C, "OnClick", "not a name"), EHSError);
    F.SetEvent(&C, "OnClick", "Form1Change");
    EXPECT_EQ(F.GetEventID(&C, "OnClick"), 1);
    F.SetEvent(&C, "OnClick", "");
    EXPECT_EQ(F.GetEventID(&C, "OnClick"), 0);
}

TEST_F(CompFiler, SavesAsADesignerAndReadsBackInEveryForm) {
    TCompFiler Saver;
    auto Form = MakeForm(Saver);

    TMemoryStream Res;
    Saver.SaveToStream(Res, Form.get());
    const std::string Bytes(Res.Memory(), static_cast<size_t>(Res.Size()));
    // A component resource named after the form, then the binary form of class TForm1.
    EXPECT_EQ(Bytes.substr(0, 9), std::string("\xFF\x0A\x00"
                                              "Form1\x00",
                                              9));
    EXPECT_EQ(Bytes.substr(15, 11), "TPF0\x06TForm1");
    EXPECT_EQ(static_cast<size_t>(static_cast<uint8_t>(Bytes[11])), Bytes.size() - 15);

    for (TCompFormat Format : {cfResource, cfBinary, cfText}) {
        SCOPED_TRACE(Format);
        TMemoryStream S;
        S.WriteString("lead");
        Saver.SaveToStream(S, Form.get(), Format);
        S.SetPosition(4);
        EXPECT_EQ(TCompFiler::FormatOfStream(S), Format);
        EXPECT_EQ(S.Position(), 4);
        if (Format == cfText) {
            const std::string Text(S.Memory() + 4, static_cast<size_t>(S.Size() - 4));
            EXPECT_EQ(Text.rfind("object Form1: TForm1\r\n", 0), 0u) << Text;
            EXPECT_NE(Text.find("\r\n  OnChange = Form1Change\r\n"), std::string::npos) << Text;
            EXPECT_NE(Text.find("\r\n    OnClick = Button1Click\r\n"), std::string::npos) << Text;
        }

        // Another filer reads it: every handler gets an identifier of its own list.
        TCompFiler Loader;
        Loader.AddEvent("Earlier");
        std::unique_ptr<TComponent> Made(Loader.CreateFromStream(S, nullptr, TFiled::StaticClass()));
        auto* Back = dynamic_cast<TFiled*>(Made.get());
        ASSERT_NE(Back, nullptr);
        EXPECT_EQ(Back->ClassType(), TFiled::StaticClass()) << "TForm1 is no class here";
        EXPECT_EQ(Back->Name(), "Form1");
        EXPECT_EQ(Back->Caption, "Main");
        auto* Button = Back->FindComponent("Button1");
        ASSERT_NE(Button, nullptr);
        EXPECT_EQ(Loader.GetEvent(Back, "OnChange"), "Form1Change");
        EXPECT_EQ(Loader.GetEventID(Back, "OnChange"), 2);
        EXPECT_EQ(Loader.GetEvent(Button, "OnClick"), "Button1Click");
        EXPECT_EQ(Loader.GetEventID(Back, "OnClick"), 0);

        // Written again it is the same.
        TMemoryStream Again;
        Loader.SaveToStream(Again, Back, Format);
        S.SetPosition(4);
        EXPECT_EQ(std::string(Again.Memory(), static_cast<size_t>(Again.Size())), S.ReadRemaining());
    }

    // A class registered under the stored name, and derived from the base, is the one made.
    RegisterClass(TFiledForm::StaticClass());
    TScopeGuard Unregister([] { UnRegisterClass(TFiledForm::StaticClass()); });
    Form->SetName("FiledForm");
    TMemoryStream S;
    Saver.SaveToStream(S, Form.get());
    S.SetPosition(0);
    TCompFiler Loader;
    std::unique_ptr<TComponent> Made(Loader.CreateFromStream(S, nullptr, TFiled::StaticClass()));
    EXPECT_EQ(Made->ClassType(), TFiledForm::StaticClass());
}

TEST_F(CompFiler, FilesAreWrittenWholeAndReadBack) {
    TTestFolder Dir;
    TCompFiler Saver;
    auto Form = MakeForm(Saver);
    Saver.SaveToFile(Dir / "Form1.dfm", Form.get(), cfText);
    TCompFiler Loader;
    TFiled Back;
    Loader.LoadFromFile(Dir / "Form1.dfm", &Back);
    EXPECT_EQ(Back.Caption, "Main");
    EXPECT_EQ(Loader.GetEvent(&Back, "OnChange"), "Form1Change");
    EXPECT_THROW(Loader.LoadFromFile(Dir / "missing.dfm", &Back), EFOpenError);
}

TEST_F(CompFiler, ReaderErrorsGoToTheHandler) {
    const std::string Text = "object Form1: TForm1\r\n"
                             "  Caption = 'kept'\r\n"
                             "  Colour = 5\r\n"
                             "  OnChange = Form1Change\r\n"
                             "  object Gone: TNoSuchControl\r\n"
                             "  end\r\n"
                             "end\r\n";
    {
        // Without a handler the component is refused and the stream left where it was.
        TStringStream S(Text);
        TCompFiler F;
        TFiled C;
        EXPECT_THROW(F.LoadFromStream(S, &C), EReadError);
        EXPECT_EQ(C.Caption, "");
        EXPECT_EQ(F.EventCount(), 0);
        EXPECT_EQ(S.Position(), 0);
    }
    struct Case {
        const char* name;
        std::vector<int> answers; // per question: 1 ignore, 2 cancel, 5 ignore all
        int asked;
        bool read;
    } Cases[] = {
        {"ignore each", {1, 1}, 2, true},
        {"ignore all", {5}, 1, true},
        {"cancel the second", {1, 2}, 2, false},
    };
    for (const Case& K : Cases) {
        SCOPED_TRACE(K.name);
        std::vector<std::string> Messages;
        ReaderErrorHandler = [&](const std::string& M, bool& Handled, bool& IgnoreAll) {
            const int A = K.answers[Messages.size()];
            Messages.push_back(M);
            Handled = A != 2;
            IgnoreAll = A == 5;
        };
        TStringStream S(Text);
        TCompFiler F;
        TFiled C;
        if (K.read) {
            F.LoadFromStream(S, &C);
            EXPECT_EQ(C.Caption, "kept");
            EXPECT_EQ(C.ComponentCount(), 0);
            EXPECT_EQ(F.GetEvent(&C, "OnChange"), "Form1Change");
        } else {
            EXPECT_THROW(F.LoadFromStream(S, &C), EReadError);
            EXPECT_EQ(C.Caption, "");
        }
        ASSERT_EQ(static_cast<int>(Messages.size()), K.asked);
        EXPECT_EQ(Messages[0], "Property Colour does not exist on line 3");
    }
}

TEST_F(CompFiler, ReferencesToOtherFormsWaitForTheirFixup) {
    TFiled Form2;
    Form2.SetName("Form2");
    auto* Table = new TTable(&Form2);
    Table->SetName("Table1");
    TFiled Form1;
    Form1.SetName("Form1");
    Form1.Table = Table;
    auto* Edit = new TFiled(&Form1);
    Edit->SetName("Edit1");
    Edit->Table = Table;

    TCompFiler F;
    TMemoryStream S;
    F.SaveToStream(S, &Form1, cfText);
    S.SetPosition(0);
    TFiled Back;
    F.LoadFromStream(S, &Back);
    EXPECT_EQ(Back.Table, nullptr);
    EXPECT_EQ(F.PendingReferences(&Back), (std::vector<std::string>{"Form2.Table1", "Form2.Table1"}));

    // Not found, or of a class the property cannot hold: unset and still waiting.
    TComponent Plain(nullptr);
    auto Wrong = [&](const std::string&) -> TComponent* { return &Plain; };
    EXPECT_EQ(F.FixupReferences(&Back, Wrong), (std::vector<std::string>{"Form2.Table1", "Form2.Table1"}));
    EXPECT_EQ(F.FixupReferences(&Back, nullptr).size(), 2u);
    EXPECT_EQ(Back.Table, nullptr);
    auto Right = [&](const std::string& N) -> TComponent* { return N == "Form2.Table1" ? Table : nullptr; };
    EXPECT_EQ(F.FixupReferences(&Back, Right), std::vector<std::string>{});
    EXPECT_EQ(Back.Table, Table);
    EXPECT_EQ(static_cast<TFiled*>(Back.FindComponent("Edit1"))->Table, Table);
    EXPECT_TRUE(F.PendingReferences(&Back).empty());

    // A root that goes away takes its waiting references with it.
    TMemoryStream S2;
    F.SaveToStream(S2, &Form1);
    S2.SetPosition(0);
    auto Gone = std::make_unique<TFiled>();
    F.LoadFromStream(S2, Gone.get());
    EXPECT_EQ(F.PendingReferences(Gone.get()).size(), 2u);
    Gone.reset();
    EXPECT_EQ(F.FixupReferences(nullptr,
                                [](const std::string&) -> TComponent* {
                                    ADD_FAILURE() << "a reference of a freed form was offered";
                                    return nullptr;
                                }),
              std::vector<std::string>{});
}

} // namespace
