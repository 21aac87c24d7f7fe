#include "framework/core/ObjectText.h"

#include <gtest/gtest.h>

#include <memory>

#include "framework/core/Collection.h"
#include "framework/core/Component.h"
#include "framework/core/Streams.h"
#include "framework/core/Strings.h"
#include "framework/core/SysUtils.h"

// Small stand-ins with the published properties of a colour-style table: a font, a style
// item, and a holder component whose one property P is the table.
namespace {

const TEnumInfo kFontStyles{{"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"}};
const TEnumInfo kFontPitch{{"fpDefault", "fpVariable", "fpFixed"}};
const TEnumInfo kMemoColors{{"mcNone", "mcText", "mcSelection", "mcSearchMatch"}};

class TTestFont : public TPersistent {
    ZEL_DECLARE_CLASS(TTestFont)
public:
    int32_t Charset = 1, Color = 0, Height = -11, Size = 8, Pitch = 0;
    uint32_t Style = 0;
    std::string Name = "MS Sans Serif";
    int32_t GetCharset() const { return Charset; }
    void SetCharset(int32_t v) { Charset = v; }
    int32_t GetColor() const { return Color; }
    void SetColor(int32_t v) { Color = v; }
    int32_t GetHeight() const { return Height; }
    void SetHeight(int32_t v) { Height = v; }
    std::string GetName() const { return Name; }
    void SetName(const std::string& v) { Name = v; }
    int32_t GetPitch() const { return Pitch; }
    void SetPitch(int32_t v) { Pitch = v; }
    int32_t GetSize() const { return Size; }
    void SetSize(int32_t v) { Size = v; }
    uint32_t GetStyle() const { return Style; }
    void SetStyle(uint32_t v) { Style = v; }
};
ZEL_DEFINE_CLASS(
    TTestFont, TPersistent,
    {Prop::Int<TTestFont>("Charset", &TTestFont::GetCharset, &TTestFont::SetCharset, &CharsetIdents()),
     Prop::Int<TTestFont>("Color", &TTestFont::GetColor, &TTestFont::SetColor, &ColorIdents()),
     Prop::Int<TTestFont>("Height", &TTestFont::GetHeight, &TTestFont::SetHeight),
     Prop::String<TTestFont>("Name", &TTestFont::GetName, &TTestFont::SetName),
     Prop::Enum<TTestFont>("Pitch", &kFontPitch, &TTestFont::GetPitch, &TTestFont::SetPitch).WithDefault(0),
     Prop::Int<TTestFont>("Size", &TTestFont::GetSize, &TTestFont::SetSize).NotStored(),
     Prop::Set<TTestFont>("Style", &kFontStyles, &TTestFont::GetStyle, &TTestFont::SetStyle)})

class TTestStyle : public TCollectionItem {
    ZEL_DECLARE_CLASS(TTestStyle)
public:
    TTestStyle() : Font(std::make_unique<TTestFont>()) {}
    std::string Name;
    int32_t Color = static_cast<int32_t>(0x80000005u);
    std::unique_ptr<TTestFont> Font;
    int32_t UpdateMemoColors = 0;
    bool UseMemoColor = true, UseMemoFont = true, UpperCase = false;

    std::string GetName() const { return Name; }
    void SetName(const std::string& v) { Name = v; }
    int32_t GetColor() const { return Color; }
    void SetColor(int32_t v) { Color = v; }
    TTestFont* GetFont() const { return Font.get(); }
    void SetFont(TTestFont* v) { AssignPublishedProperties(v, Font.get()); }
    int32_t GetUpdate() const { return UpdateMemoColors; }
    void SetUpdate(int32_t v) { UpdateMemoColors = v; }
    bool GetUseMemoColor() const { return UseMemoColor; }
    void SetUseMemoColor(bool v) { UseMemoColor = v; }
    bool GetUseMemoFont() const { return UseMemoFont; }
    void SetUseMemoFont(bool v) { UseMemoFont = v; }
    bool GetUpperCase() const { return UpperCase; }
    void SetUpperCase(bool v) { UpperCase = v; }
    void Assign(TPersistent* Source) override { AssignPublishedProperties(Source, this); }
};
ZEL_DEFINE_CLASS(
    TTestStyle, TCollectionItem,
    {Prop::String<TTestStyle>("Name", &TTestStyle::GetName, &TTestStyle::SetName),
     Prop::Int<TTestStyle>("Color", &TTestStyle::GetColor, &TTestStyle::SetColor, &ColorIdents())
         .StoredIf([](TObject* o) { return !static_cast<TTestStyle*>(o)->UseMemoColor; }),
     Prop::Object<TTestStyle>("Font", &TTestStyle::GetFont, &TTestStyle::SetFont).StoredIf([](TObject* o) {
         return !static_cast<TTestStyle*>(o)->UseMemoFont;
     }),
     Prop::Enum<TTestStyle>("UpdateMemoColors", &kMemoColors, &TTestStyle::GetUpdate, &TTestStyle::SetUpdate),
     Prop::Bool<TTestStyle>("UseMemoColor", &TTestStyle::GetUseMemoColor, &TTestStyle::SetUseMemoColor),
     Prop::Bool<TTestStyle>("UseMemoFont", &TTestStyle::GetUseMemoFont, &TTestStyle::SetUseMemoFont),
     Prop::Bool<TTestStyle>("UpperCase", &TTestStyle::GetUpperCase, &TTestStyle::SetUpperCase)
         .WithDefault(0)})

class TPersHolder : public TComponent {
    ZEL_DECLARE_CLASS(TPersHolder)
public:
    explicit TPersHolder(TComponent* AOwner) : TComponent(AOwner) {}
    TPersistent* P = nullptr;
    TPersistent* GetP() const { return P; }
    void SetP(TPersistent* v) { P = v; }
};
ZEL_DEFINE_CLASS(TPersHolder, TComponent,
                 {Prop::Object<TPersHolder>("P", &TPersHolder::GetP, &TPersHolder::SetP)})

// Every value form in one class.
class TSample : public TComponent {
    ZEL_DECLARE_CLASS(TSample)
public:
    explicit TSample(TComponent* AOwner) : TComponent(AOwner), Items(TTestStyle::StaticClass()) {
        Lines.SetText("");
    }
    std::string Caption, Data;
    int32_t Count = 0;
    int64_t Big = 0;
    double Ratio = 0;
    char Letter = 'a';
    bool Enabled = true;
    uint32_t Styles = 0;
    TTestFont Font;
    TStringList Lines;
    TCollection Items;
    TComponent* Buddy = nullptr;

    std::string GetCaption() const { return Caption; }
    void SetCaption(const std::string& v) { Caption = v; }
    std::string GetData() const { return Data; }
    void SetData(const std::string& v) { Data = v; }
    int32_t GetCount() const { return Count; }
    void SetCount(int32_t v) { Count = v; }
    int64_t GetBig() const { return Big; }
    void SetBig(int64_t v) { Big = v; }
    double GetRatio() const { return Ratio; }
    void SetRatio(double v) { Ratio = v; }
    char GetLetter() const { return Letter; }
    void SetLetter(char v) { Letter = v; }
    bool GetEnabled() const { return Enabled; }
    void SetEnabled(bool v) { Enabled = v; }
    uint32_t GetStyles() const { return Styles; }
    void SetStyles(uint32_t v) { Styles = v; }
    TTestFont* GetFont() const { return const_cast<TTestFont*>(&Font); }
    TStringList* GetLines() const { return const_cast<TStringList*>(&Lines); }
    void SetLines(TStringList* v) { Lines.Assign(v); }
    TCollection* GetItems() const { return const_cast<TCollection*>(&Items); }
    TComponent* GetBuddy() const { return Buddy; }
    void SetBuddy(TComponent* v) { Buddy = v; }
    int LoadedCalls = 0;
    void Loaded() override {
        TComponent::Loaded();
        ++LoadedCalls;
    }
};
ZEL_DEFINE_CLASS(
    TSample, TComponent,
    {Prop::String<TSample>("Caption", &TSample::GetCaption, &TSample::SetCaption),
     Prop::Binary<TSample>("Data", &TSample::GetData, &TSample::SetData),
     Prop::Int<TSample>("Count", &TSample::GetCount, &TSample::SetCount).WithDefault(0),
     Prop::Int64<TSample>("Big", &TSample::GetBig, &TSample::SetBig).WithDefault(0),
     Prop::Float<TSample>("Ratio", &TSample::GetRatio, &TSample::SetRatio),
     Prop::Char<TSample>("Letter", &TSample::GetLetter, &TSample::SetLetter).WithDefault('a'),
     Prop::Bool<TSample>("Enabled", &TSample::GetEnabled, &TSample::SetEnabled).WithDefault(1),
     Prop::Set<TSample>("Styles", &kFontStyles, &TSample::GetStyles, &TSample::SetStyles).WithDefault(0),
     Prop::Object<TSample>("Font", &TSample::GetFont),
     Prop::Object<TSample>("Lines", &TSample::GetLines, &TSample::SetLines),
     Prop::Object<TSample>("Items", &TSample::GetItems),
     Prop::Object<TSample>("Buddy", &TSample::GetBuddy, &TSample::SetBuddy), Prop::Method("OnClick")})

class ObjectText : public ::testing::Test {
protected:
    void SetUp() override {
        for (TClass c : {TPersHolder::StaticClass(), TSample::StaticClass(), TComponent::StaticClass()})
            RegisterClass(c);
    }
    void TearDown() override {
        for (TClass c : {TPersHolder::StaticClass(), TSample::StaticClass(), TComponent::StaticClass()})
            UnRegisterClass(c);
    }
};

// Lines joined with CR LF, the way the writer ends them.
std::string Crlf(std::initializer_list<const char*> lines) {
    std::string s;
    for (const char* l : lines)
        s += std::string(l) + "\r\n";
    return s;
}

const std::string kColorStyles = Crlf({
    "object TPersHolder",
    "  P = <",
    "    item",
    "      Name = 'Whitespace'",
    "      Font.Charset = DEFAULT_CHARSET",
    "      Font.Color = clBlack",
    "      Font.Height = -13",
    "      Font.Name = 'Courier New'",
    "      Font.Style = []",
    "      UpdateMemoColors = mcNone",
    "      UseMemoColor = True",
    "      UseMemoFont = False",
    "    end",
    "    item",
    "      Name = 'String'",
    "      Font.Charset = DEFAULT_CHARSET",
    "      Font.Color = clMaroon",
    "      Font.Height = -13",
    "      Font.Name = 'Courier New'",
    "      Font.Style = []",
    "      UpdateMemoColors = mcNone",
    "      UseMemoColor = True",
    "      UseMemoFont = False",
    "    end",
    "    item",
    "      Name = 'BreakPoint'",
    "      Color = clRed",
    "      Font.Charset = DEFAULT_CHARSET",
    "      Font.Color = clWindow",
    "      Font.Height = -13",
    "      Font.Name = 'Courier New'",
    "      Font.Style = [fsBold, fsItalic]",
    "      UpdateMemoColors = mcSelection",
    "      UseMemoColor = False",
    "      UseMemoFont = False",
    "      UpperCase = True",
    "    end>",
    "end",
});

} // namespace

TEST_F(ObjectText, ColourStyleFileRoundTripsByteForByte) {
    TCollection styles(TTestStyle::StaticClass());
    styles.Add(); // replaced by the file's styles
    TPersHolder holder(nullptr);
    holder.P = &styles;
    ObjectFromText(kColorStyles, &holder);

    ASSERT_EQ(styles.Count(), 3);
    auto* ws = static_cast<TTestStyle*>(styles.Items(0));
    auto* bp = static_cast<TTestStyle*>(styles.Items(2));
    EXPECT_EQ(ws->Name, "Whitespace");
    EXPECT_EQ(ws->Font->Charset, 1);
    EXPECT_EQ(ws->Font->Height, -13);
    EXPECT_EQ(ws->Font->Name, "Courier New");
    EXPECT_FALSE(ws->UseMemoFont);
    EXPECT_EQ(static_cast<TTestStyle*>(styles.Items(1))->Font->Color, 0x000080);
    EXPECT_EQ(bp->Color, 0x0000FF);
    EXPECT_EQ(bp->Font->Color, static_cast<int32_t>(0x80000005u));
    EXPECT_EQ(bp->Font->Style, 3u);
    EXPECT_EQ(bp->UpdateMemoColors, 2);
    EXPECT_TRUE(bp->UpperCase);

    EXPECT_EQ(ObjectToText(&holder), kColorStyles);

    // Through a stream too, as files are written and read.
    TMemoryStream m;
    WriteObjectText(m, &holder);
    TCollection again(TTestStyle::StaticClass());
    TPersHolder holder2(nullptr);
    holder2.P = &again;
    m.SetPosition(0);
    ReadObjectText(m, &holder2);
    EXPECT_EQ(ObjectToText(&holder2), kColorStyles);
}

TEST_F(ObjectText, ValueFormsReadAndWriteBack) {
    struct Case {
        const char* line;    // as read
        const char* written; // as written back; nullptr: the same as read
    } cases[] = {
        {"Caption = 'plain'", nullptr},
        {"Caption = 'it''s'", nullptr},
        {"Caption = 'a'#13#10'b'", nullptr},
        {"Caption = #9'tab'", nullptr},
        {"Caption = 'caf'#233", nullptr}, // characters above 126 as codes
        {"Caption = 'x' +\r\n    'y'", "Caption = 'xy'"},
        {"Caption = ''''", nullptr},
        {"Count = -2147483648", nullptr},
        {"Count = $FF", "Count = 255"},
        {"Big = 9000000000", nullptr},
        {"Ratio = 1.5", nullptr},
        {"Ratio = -2.5E-10", "Ratio = -2.5e-10"},
        {"Ratio = 3", "Ratio = 3.0"},
        {"Letter = 'z'", nullptr},
        {"Letter = #0", nullptr},
        {"Enabled = False", nullptr},
        {"Styles = [fsBold, fsStrikeOut]", nullptr},
        {"Styles = [fsUnderline]", nullptr},
        {"Font.Color = clWindow", nullptr},
        {"Font.Color = 12345", nullptr},
        {"Font.Color = clAqua", nullptr},
        {"Font.Pitch = fpFixed", nullptr},
        {"Data = {\r\n    00FF10}", nullptr},
        {"Data = {00 ff 10}", "Data = {\r\n    00FF10}"},
        {"Lines.Strings = (\r\n    'one'\r\n    'two')", nullptr},
        {"Items = <\r\n    item\r\n      Name = 'a'\r\n      UpdateMemoColors = mcNone\r\n      UseMemoColor "
         "= True\r\n"
         "      UseMemoFont = True\r\n    end>",
         nullptr},
    };
    // Every property that the sample writes even at its defaults.
    const std::string fixed =
        "  Font.Charset = DEFAULT_CHARSET\r\n  Font.Color = clBlack\r\n  Font.Height = -11\r\n"
        "  Font.Name = 'MS Sans Serif'\r\n  Font.Style = []\r\n  Items = <>\r\n";
    for (const auto& c : cases) {
        TSample s(nullptr);
        std::string text = std::string("object S1: TSample\r\n  ") + c.line + "\r\nend\r\n";
        ASSERT_NO_THROW(ObjectFromText(text, &s)) << c.line;
        std::string out = ObjectToText(&s);
        std::string expected = c.written ? c.written : c.line;
        EXPECT_NE(out.find("\r\n  " + expected + "\r\n"), std::string::npos) << c.line << "\n" << out;
        // Reading the output again gives the same output, in both forms.
        TSample s2(nullptr);
        ObjectFromText(out, &s2);
        EXPECT_EQ(ObjectToText(&s2), out) << c.line;
        TSample s3(nullptr);
        ObjectFromBinary(ObjectToBinary(&s), &s3);
        EXPECT_EQ(ObjectToText(&s3), out) << c.line;
    }
    TSample s(nullptr);
    EXPECT_EQ(ObjectToText(&s), "object TSample\r\n" + fixed + "end\r\n");
}

TEST_F(ObjectText, ChildComponentsAndReferences) {
    std::string text = Crlf({
        "object Form1: TSample",
        "  Caption = 'Main'",
        "  Buddy = Other",
        "  object Other: TSample",
        "    Count = 5",
        "  end",
        "  object Plain: TComponent",
        "    Tag = 7",
        "  end",
        "end",
    });
    TSample form(nullptr);
    ObjectFromText(text, &form);
    EXPECT_EQ(form.Name(), "Form1");
    ASSERT_EQ(form.ComponentCount(), 2);
    auto* other = dynamic_cast<TSample*>(form.FindComponent("Other"));
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(other->Count, 5);
    EXPECT_EQ(other->LoadedCalls, 1);
    EXPECT_EQ(form.LoadedCalls, 1);
    EXPECT_EQ(form.Buddy, other);
    EXPECT_EQ(form.FindComponent("Plain")->Tag(), 7);
    EXPECT_FALSE(form.HasState(csLoading | csReading));

    std::unique_ptr<TPersistent> made(CreateObjectFromText(ObjectToText(&form), nullptr));
    auto* copy = dynamic_cast<TSample*>(made.get());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->Caption, "Main");
    EXPECT_EQ(copy->Buddy, copy->FindComponent("Other"));
    EXPECT_EQ(ObjectToText(copy), ObjectToText(&form));
}

TEST_F(ObjectText, BadTextChangesNothing) {
    struct Case {
        const char* text;
        const char* message;
    } cases[] = {
        {"object TSample\r\n  Count = 1\r\n  Nope = 2\r\nend\r\n", "Property Nope does not exist on line 3"},
        {"object TSample\r\n  Count = 1\r\n  Font.Nope = 2\r\nend\r\n",
         "Property Font.Nope does not exist on line 3"},
        {"object TSample\r\n  Count = 1\r\n  Enabled = Maybe\r\nend\r\n", "Invalid property value on line 3"},
        {"object TSample\r\n  Count = 1\r\n  Styles = [fsBold, fsNone]\r\nend\r\n",
         "Invalid property value on line 3"},
        {"object TSample\r\n  Count = 1\r\n  Caption = 5\r\nend\r\n", "String expected on line 3"},
        {"object TSample\r\n  Count = 1\r\n  Items = <\r\n    item\r\n      Bad = 1\r\n    end>\r\nend\r\n",
         "Property Bad does not exist on line 5"},
        {"object TSample\r\n  Count = 1\r\n  Count = 99999999999\r\nend\r\n",
         "Invalid property value on line 3"},
        {"object TSample\r\n  Count = 1\r\n  Buddy = Nobody\r\nend\r\n", "Invalid property value on line 3"},
        {"object TSample\r\n  Count = 1\r\n  Name = 'not a name'\r\nend\r\n",
         "'not a name' is not a valid component name on line 3"},
        {"object TSample\r\n  Count = 1\r\n  object X: TUnknownThing\r\n  end\r\nend\r\n",
         "Class TUnknownThing not found on line 3"},
    };
    for (const auto& c : cases) {
        TSample s(nullptr);
        s.Items.Add();
        try {
            ObjectFromText(c.text, &s);
            ADD_FAILURE() << c.text;
        } catch (const EReadError& e) {
            EXPECT_EQ(e.Message(), c.message);
        }
        EXPECT_EQ(s.Count, 0) << c.text;
        EXPECT_EQ(s.Items.Count(), 1) << c.text;
        EXPECT_EQ(s.ComponentCount(), 0) << c.text;
    }
    struct Syntax {
        std::string text;
        const char* message;
    } syntax[] = {
        {"object TSample\r\n  Caption = 'open\r\nend\r\n", "Invalid string constant on line 2"},
        {"object TSample\r\n  Count = 1\r\n", "''e'' expected on line 3"},
        {"object TSample\r\n  Data = {0G}\r\nend\r\n", "Invalid binary value on line 2"},
        {"object TSample\r\n  Data = {0}\r\nend\r\n", "Invalid binary value on line 2"},
        {"object TSample\r\n  Caption = #300\r\nend\r\n", "Invalid string constant on line 2"},
        {"object TSample\r\nend\r\nextra", "End of text expected on line 3"},
        {"", "''o'' expected on line 1"},
        {"object TSample\r\n  Lines.Strings = " + std::string(100, '(') + "\r\nend\r\n",
         "Nesting too deep on line 2"},
    };
    for (const auto& c : syntax) {
        TSample s(nullptr);
        try {
            ObjectFromText(c.text, &s);
            ADD_FAILURE() << c.text;
        } catch (const EParserError& e) {
            EXPECT_EQ(e.Message(), c.message);
        }
    }
    TPersHolder holder(nullptr);
    EXPECT_THROW(ObjectFromText("object TSample\r\nend\r\n", &holder), EReadError); // another class
}

TEST_F(ObjectText, BinaryFormRoundTripsAndConverts) {
    std::string binary = ObjectTextToBinary(kColorStyles);
    EXPECT_EQ(binary.substr(0, 16), "TPF0\x0BTPersHolder"); // signature and class name
    EXPECT_EQ(ObjectBinaryToText(binary), kColorStyles);

    TCollection styles(TTestStyle::StaticClass());
    TPersHolder holder(nullptr);
    holder.P = &styles;
    TMemoryStream m;
    m.WriteString("head");
    WriteObjectBinary(m, &holder); // an empty table
    ObjectFromBinary(binary, &holder);
    EXPECT_EQ(styles.Count(), 3);
    m.WriteString("tail");
    m.SetPosition(4);
    EXPECT_EQ(ReadBinaryClassName(m), "TPersHolder");
    EXPECT_EQ(m.Position(), 4);
    ReadObjectBinary(m, &holder);
    EXPECT_EQ(styles.Count(), 0);
    EXPECT_EQ(m.ReadRemaining(), "tail"); // left just after the object

    // Long strings, big integers and floats survive the binary form.
    TSample s(nullptr);
    s.Caption = std::string(300, 'x') + "'";
    s.Big = -5000000000LL;
    s.Ratio = 0.1;
    s.Count = -129;
    TSample back(nullptr);
    ObjectFromBinary(ObjectToBinary(&s), &back);
    EXPECT_EQ(back.Caption, s.Caption);
    EXPECT_EQ(back.Big, s.Big);
    EXPECT_EQ(back.Ratio, 0.1);
    EXPECT_EQ(back.Count, -129);
    TStringStream notBinary("object X");
    EXPECT_EQ(ReadBinaryClassName(notBinary), "");
}

TEST_F(ObjectText, TruncatedOrCorruptBinaryChangesNothing) {
    TSample src(nullptr);
    src.Caption = "text";
    src.Count = 1000;
    src.Data = "\x01\x02";
    src.Lines.Add("line");
    src.Items.Add();
    std::string binary = ObjectToBinary(&src);
    for (size_t n = 0; n < binary.size(); ++n) {
        TSample s(nullptr);
        EXPECT_THROW(ObjectFromBinary(binary.substr(0, n), &s), EReadError) << n;
        EXPECT_EQ(s.Count, 0) << n;
        EXPECT_EQ(s.Items.Count(), 0) << n;
    }
    std::string corrupt = binary;
    corrupt[corrupt.find("Count") + 5] = 99; // an unknown value tag
    TSample s(nullptr);
    try {
        ObjectFromBinary(corrupt, &s);
        ADD_FAILURE();
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message(), "Invalid stream format");
    }
    std::string unknownProp = ObjectTextToBinary("object TSample\r\n  Nope = 1\r\nend\r\n");
    try {
        ObjectFromBinary(unknownProp, &s);
        ADD_FAILURE();
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message(), "Property Nope does not exist");
    }
}

// What a filer adds: events by handler name, the root's designer class, references to another
// root, and reading on past what cannot be read.
TEST_F(ObjectText, FilerWritesAndBindsEventsByName) {
    TSample form(nullptr);
    form.SetName("Form1");
    form.Caption = "Main";
    auto* other = new TSample(&form);
    other->SetName("Other");
    TFilerHooks out;
    out.RootClassName = "TForm1";
    out.EventName = [](TComponent* c, const TPropInfo& e) {
        return c->Name() == "Other" ? std::string() : c->Name() + e.Name.substr(2);
    };
    const std::string text = ObjectToText(&form, out);
    EXPECT_EQ(text.rfind("object Form1: TForm1\r\n", 0), 0u) << text;
    EXPECT_NE(text.find("\r\n  OnClick = Form1Click\r\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("OnClick", text.find("object Other")), std::string::npos) << text;
    // The plain forms leave events out.
    EXPECT_EQ(ObjectToText(&form).find("OnClick"), std::string::npos);

    for (const std::string& data : {text, ObjectToBinary(&form, out)}) {
        SCOPED_TRACE(IsObjectBinary(data) ? "binary" : "text");
        std::vector<std::string> bound;
        TFilerHooks in;
        in.AnyRootClass = true;
        in.BindEvent = [&](TComponent* c, const TPropInfo& e, const std::string& h) {
            bound.push_back(c->Name() + "." + e.Name + "=" + h);
        };
        TSample back(nullptr);
        ObjectFromAnyForm(data, &back, in);
        EXPECT_EQ(back.Caption, "Main");
        EXPECT_EQ(bound, std::vector<std::string>{"Form1.OnClick=Form1Click"});
        // A reader without the filer's hooks skips the event; the designer's class it refuses.
        TSample plain(nullptr);
        EXPECT_THROW(ObjectFromAnyForm(data, &plain), EReadError);
    }
    TSample plain(nullptr);
    ObjectFromText("object TSample\r\n  OnClick = Anything\r\n  Count = 2\r\nend\r\n", &plain);
    EXPECT_EQ(plain.Count, 2);
    EXPECT_THROW(ObjectFromText("object TSample\r\n  OnClick = 'text'\r\nend\r\n", &plain), EReadError);
}

TEST_F(ObjectText, FilerReferencesOutsideTheRoot) {
    TSample form2(nullptr);
    form2.SetName("Form2");
    auto* edit = new TSample(&form2);
    edit->SetName("Edit1");
    TSample form1(nullptr);
    form1.Buddy = edit;
    const std::string text = ObjectToText(&form1);
    EXPECT_NE(text.find("  Buddy = Form2.Edit1\r\n"), std::string::npos) << text;

    TSample back(nullptr);
    EXPECT_THROW(ObjectFromText(text, &back), EReadError); // nobody to resolve it
    std::vector<std::string> outer;
    TFilerHooks in;
    in.OuterReference = [&](TObject* o, const TPropInfo& p, const std::string& n) {
        EXPECT_EQ(o, &back);
        outer.push_back(p.Name + "=" + n);
    };
    ObjectFromAnyForm(ObjectToBinary(&form1), &back, in);
    EXPECT_EQ(outer, std::vector<std::string>{"Buddy=Form2.Edit1"});
    EXPECT_EQ(back.Buddy, nullptr);
}

TEST_F(ObjectText, FilerReadsOnPastWhatItCannotRead) {
    const std::string text = Crlf({
        "object TSample",
        "  Count = 3",
        "  Nope = 1",
        "  Enabled = Maybe",
        "  Buddy = Nobody",
        "  Caption = 'kept'",
        "  object X: TUnknownThing",
        "    Count = 1",
        "  end",
        "  object Y: TSample",
        "    Nope = 2",
        "    Count = 4",
        "  end",
        "end",
    });
    std::vector<std::string> messages;
    TFilerHooks in;
    in.SkipError = [&](const std::string& m) {
        messages.push_back(m);
        return true;
    };
    TSample s(nullptr);
    ObjectFromAnyForm(text, &s, in);
    EXPECT_EQ(messages, (std::vector<std::string>{
                            "Property Nope does not exist on line 3", "Invalid property value on line 4",
                            "Class TUnknownThing not found on line 7",
                            "Property Nope does not exist on line 11", "Invalid property value on line 5"}));
    EXPECT_EQ(s.Count, 3);
    EXPECT_EQ(s.Caption, "kept");
    EXPECT_TRUE(s.Enabled);
    ASSERT_EQ(s.ComponentCount(), 1);
    EXPECT_EQ(static_cast<TSample*>(s.FindComponent("Y"))->Count, 4);

    // Refused once: the whole form is refused and nothing changes.
    int asked = 0;
    in.SkipError = [&](const std::string&) { return ++asked < 2; };
    TSample t(nullptr);
    EXPECT_THROW(ObjectFromAnyForm(text, &t, in), EReadError);
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(t.Count, 0);
    EXPECT_EQ(t.ComponentCount(), 0);
}

// A class whose published property holds its own class: describing it must not wait on itself.
class TLinkedNode : public TComponent {
    ZEL_DECLARE_CLASS(TLinkedNode)
public:
    explicit TLinkedNode(TComponent* AOwner) : TComponent(AOwner) {}
    TLinkedNode* Next = nullptr;
    TLinkedNode* GetNext() const { return Next; }
    void SetNext(TLinkedNode* v) { Next = v; }
};
ZEL_DEFINE_CLASS(TLinkedNode, TComponent,
                 {Prop::Object<TLinkedNode>("Next", &TLinkedNode::GetNext, &TLinkedNode::SetNext)})

TEST(Properties, PropertyOfItsOwnClassIsDescribedAndRead) {
    TClass Cls = TLinkedNode::StaticClass();
    TLinkedNode Root(nullptr);
    const TPropInfo* Next = GetPropInfo(&Root, "Next");
    ASSERT_NE(Next, nullptr);
    EXPECT_EQ(static_cast<TClass>(Next->PropClass), Cls);

    RegisterClass(Cls);
    ObjectFromText(Crlf({"object Root: TLinkedNode", "  Next = First", "  object First: TLinkedNode",
                         "    Next = Second", "  end", "  object Second: TLinkedNode", "    Next = First",
                         "  end", "end"}),
                   &Root);
    UnRegisterClass(Cls);
    auto* First = dynamic_cast<TLinkedNode*>(Root.FindComponent("First"));
    auto* Second = dynamic_cast<TLinkedNode*>(Root.FindComponent("Second"));
    ASSERT_NE(First, nullptr);
    ASSERT_NE(Second, nullptr);
    EXPECT_EQ(Root.Next, First);
    EXPECT_EQ(First->Next, Second);
    EXPECT_EQ(Second->Next, First);
}

TEST(Properties, ReflectionAccessAndCopy) {
    TSample a(nullptr), b(nullptr);
    a.Caption = "x";
    a.Count = 3;
    a.Ratio = 0.5;
    a.Styles = 5;
    a.Font.Name = "Arial";
    EXPECT_EQ(a.ClassType()->Properties().front()->Name, "Name"); // ancestors first
    const TPropInfo* count = GetPropInfo(&a, "COUNT");
    ASSERT_NE(count, nullptr);
    EXPECT_EQ(count->Kind, tkInteger);
    EXPECT_EQ(GetPropValueText(&a, GetPropInfo(&a, "Styles")), "[fsBold,fsUnderline]");
    SetPropValueText(&b, GetPropInfo(&b, "Styles"), "[fsItalic]");
    EXPECT_EQ(b.Styles, 2u);
    SetPropValueText(&b, GetPropInfo(&b, "Enabled"), "false");
    EXPECT_FALSE(b.Enabled);
    EXPECT_THROW(SetPropValueText(&b, count, "abc"), EPropertyError);
    EXPECT_THROW(SetObjectProp(&b, GetPropInfo(&b, "Font"), nullptr), EPropertyError); // read-only
    EXPECT_FALSE(IsPublishedProp(&a, "Missing"));
    EXPECT_EQ(GetPropInfo(&a, "OnClick")->Kind, tkMethod);

    AssignPublishedProperties(&a, &b);
    EXPECT_EQ(b.Caption, "x");
    EXPECT_EQ(b.Count, 3);
    EXPECT_EQ(b.Ratio, 0.5);
    EXPECT_EQ(b.Styles, 5u);
    EXPECT_EQ(b.Font.Name, "MS Sans Serif"); // read-only object properties are not copied
    AssignPublishedProperties(&a, &a);
    AssignPublishedProperties(nullptr, &a);
    EXPECT_EQ(a.Count, 3);
}

namespace {
// An item whose constructor takes its collection, and which sees it there at once.
class TSeenItem : public TCollectionItem {
    ZEL_DECLARE_CLASS(TSeenItem)
public:
    explicit TSeenItem(TCollection* c) : TCollectionItem(c), SeenAtConstruction(Collection()) {}
    TCollection* SeenAtConstruction;
};
ZEL_DEFINE_CLASS(TSeenItem, TCollectionItem, {})

class TCountingCollection : public TCollection {
public:
    TCountingCollection() : TCollection(TSeenItem::StaticClass()) {}
    int Updates = 0, Added = 0, Removed = 0;

protected:
    void Update(TCollectionItem*) override { ++Updates; }
    void Notify(TCollectionItem*, bool added) override { ++(added ? Added : Removed); }
};
} // namespace

TEST(Collection, ItemsAreMadeInsideTheirCollectionAndReportChanges) {
    TCountingCollection c;
    auto* item = static_cast<TSeenItem*>(c.Add());
    EXPECT_EQ(item->SeenAtConstruction, &c);
    EXPECT_EQ(c.Count(), 1);
    EXPECT_EQ(c.Added, 1);
    int before = c.Updates;
    c.BeginUpdate();
    c.Add();
    c.Add();
    EXPECT_EQ(c.Updates, before);
    c.EndUpdate();
    EXPECT_EQ(c.Updates, before + 1);
    delete item;
    EXPECT_EQ(c.Removed, 1);
    EXPECT_EQ(c.Count(), 2);
}

TEST(Collection, ItemsOrderAssignAndUpdate) {
    TCollection c(TTestStyle::StaticClass());
    auto* first = static_cast<TTestStyle*>(c.Add());
    auto* second = static_cast<TTestStyle*>(c.Add());
    first->Name = "one";
    second->Name = "two";
    EXPECT_EQ(second->Index(), 1);
    EXPECT_EQ(second->Collection(), &c);
    second->SetIndex(0);
    EXPECT_EQ(static_cast<TTestStyle*>(c.Items(0))->Name, "two");
    auto* inserted = static_cast<TTestStyle*>(c.Insert(1));
    EXPECT_EQ(inserted->Index(), 1);
    EXPECT_EQ(c.FindItemID(first->ID()), first);
    delete inserted;
    EXPECT_EQ(c.Count(), 2);

    TCollection copy(TTestStyle::StaticClass());
    copy.Assign(&c);
    ASSERT_EQ(copy.Count(), 2);
    EXPECT_EQ(static_cast<TTestStyle*>(copy.Items(1))->Name, "one");
    EXPECT_THROW(c.Items(2), EListError);
    c.Delete(0);
    EXPECT_EQ(c.Count(), 1);
    c.Clear();
    EXPECT_EQ(c.Count(), 0);
    TCollection wrong(TComponent::StaticClass()); // not an item class
    EXPECT_THROW(wrong.Add(), EInvalidCast);
}

namespace {
// A collection inside a collection item: a section with its own list of entries.
class TEntryItem : public TCollectionItem {
    ZEL_DECLARE_CLASS(TEntryItem)
public:
    explicit TEntryItem(TCollection* c = nullptr) : TCollectionItem(c) {}
    std::string Key;
    std::string GetKey() const { return Key; }
    void SetKey(const std::string& v) { Key = v; }
};
ZEL_DEFINE_CLASS(TEntryItem, TCollectionItem,
                 {Prop::String<TEntryItem>("Key", &TEntryItem::GetKey, &TEntryItem::SetKey)})

class TSectionItem : public TCollectionItem {
    ZEL_DECLARE_CLASS(TSectionItem)
public:
    explicit TSectionItem(TCollection* c = nullptr)
        : TCollectionItem(c), Entries(TEntryItem::StaticClass()) {}
    std::string Title;
    TCollection Entries;
    std::string GetTitle() const { return Title; }
    void SetTitle(const std::string& v) { Title = v; }
    TCollection* GetEntries() const { return const_cast<TCollection*>(&Entries); }
};
ZEL_DEFINE_CLASS(TSectionItem, TCollectionItem,
                 {Prop::String<TSectionItem>("Title", &TSectionItem::GetTitle, &TSectionItem::SetTitle),
                  Prop::Object<TSectionItem>("Entries", &TSectionItem::GetEntries)})

class TSectionHolder : public TComponent {
    ZEL_DECLARE_CLASS(TSectionHolder)
public:
    explicit TSectionHolder(TComponent* AOwner) : TComponent(AOwner), Sections(TSectionItem::StaticClass()) {}
    TCollection Sections;
    TCollection* GetSections() const { return const_cast<TCollection*>(&Sections); }
};
ZEL_DEFINE_CLASS(TSectionHolder, TComponent,
                 {Prop::Object<TSectionHolder>("Sections", &TSectionHolder::GetSections)})

TSectionItem& Section(TSectionHolder& h, int i) {
    return *static_cast<TSectionItem*>(h.Sections.Items(i));
}
TEntryItem& Entry(TSectionItem& s, int i) {
    return *static_cast<TEntryItem*>(s.Entries.Items(i));
}

const char* const kNestedText = "object TSectionHolder\r\n"
                                "  Sections = <\r\n"
                                "    item\r\n"
                                "      Title = 'first'\r\n"
                                "      Entries = <\r\n"
                                "        item\r\n"
                                "          Key = 'a'\r\n"
                                "        end\r\n"
                                "        item\r\n"
                                "          Key = 'b'\r\n"
                                "        end>\r\n"
                                "    end\r\n"
                                "    item\r\n"
                                "      Title = 'empty'\r\n"
                                "      Entries = <>\r\n"
                                "    end>\r\n"
                                "end\r\n";
} // namespace

TEST(ObjectTextNested, CollectionInsideACollectionItemReadsAndRoundTrips) {
    TSectionHolder h(nullptr);
    ObjectFromText(kNestedText, &h);
    ASSERT_EQ(h.Sections.Count(), 2);
    EXPECT_EQ(Section(h, 0).Title, "first");
    ASSERT_EQ(Section(h, 0).Entries.Count(), 2);
    EXPECT_EQ(Entry(Section(h, 0), 0).Key, "a");
    EXPECT_EQ(Entry(Section(h, 0), 1).Key, "b");
    EXPECT_EQ(Section(h, 1).Title, "empty");
    EXPECT_EQ(Section(h, 1).Entries.Count(), 0);

    EXPECT_EQ(ObjectToText(&h), kNestedText);
    for (bool binary : {false, true}) {
        SCOPED_TRACE(binary ? "binary" : "text");
        TSectionHolder again(nullptr);
        if (binary)
            ObjectFromBinary(ObjectToBinary(&h), &again);
        else
            ObjectFromText(ObjectToText(&h), &again);
        EXPECT_EQ(ObjectToText(&again), kNestedText);
    }
    EXPECT_EQ(ObjectBinaryToText(ObjectTextToBinary(kNestedText)), kNestedText);
}

TEST(ObjectTextNested, BadNestedItemChangesNothing) {
    struct Case {
        const char* text;
        const char* message;
    } cases[] = {
        {"object TSectionHolder\r\n  Sections = <\r\n    item\r\n      Title = 'x'\r\n      Entries = <\r\n"
         "        item\r\n          Nope = 'a'\r\n        end>\r\n    end>\r\nend\r\n",
         "Property Nope does not exist on line 7"},
        {"object TSectionHolder\r\n  Sections = <\r\n    item\r\n      Title = 'x'\r\n      Entries = <\r\n"
         "        item\r\n          Key = 5\r\n        end>\r\n    end>\r\nend\r\n",
         "String expected on line 7"},
        {"object TSectionHolder\r\n  Sections = <\r\n    item\r\n      Title = <\r\n        item\r\n"
         "        end>\r\n    end>\r\nend\r\n",
         "String expected on line 4"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        TSectionHolder h(nullptr);
        ObjectFromText(kNestedText, &h);
        try {
            ObjectFromText(c.text, &h);
            ADD_FAILURE() << "read without error";
        } catch (const EReadError& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
        EXPECT_EQ(ObjectToText(&h), kNestedText);
    }
}

TEST(ObjectTextNested, ComponentMadeByTheTextGetsItsNestedItems) {
    RegisterClass(TSectionHolder::StaticClass());
    RegisterClass(TComponent::StaticClass());
    const std::string Good = "object TComponent\r\n"
                             "  object H: TSectionHolder\r\n"
                             "    Sections = <\r\n"
                             "      item\r\n"
                             "        Title = 'x'\r\n"
                             "        Entries = <\r\n"
                             "          item\r\n"
                             "            Key = 'k'\r\n"
                             "          end>\r\n"
                             "      end>\r\n"
                             "  end\r\n"
                             "end\r\n";
    TComponent Root(nullptr);
    ObjectFromText(Good, &Root);
    auto* H = dynamic_cast<TSectionHolder*>(Root.FindComponent("H"));
    ASSERT_NE(H, nullptr);
    ASSERT_EQ(H->Sections.Count(), 1);
    ASSERT_EQ(Section(*H, 0).Entries.Count(), 1);
    EXPECT_EQ(Entry(Section(*H, 0), 0).Key, "k");

    // A fault deep inside leaves the root without a half-made child.
    std::string Bad = Good;
    Bad.replace(Bad.find("Key = 'k'"), 9, "Nope = 'k'");
    TComponent Other(nullptr);
    EXPECT_THROW(ObjectFromText(Bad, &Other), EReadError);
    EXPECT_EQ(Other.ComponentCount(), 0);
    UnRegisterClass(TComponent::StaticClass());
    UnRegisterClass(TSectionHolder::StaticClass());
}
