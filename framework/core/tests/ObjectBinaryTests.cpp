#include "framework/core/ObjectText.h"

#include <gtest/gtest.h>

#include "framework/core/Component.h"
#include "framework/core/Streams.h"
#include "framework/core/Strings.h"

// The binary component stream against images assembled byte by byte, so that a change of the
// stored layout shows here before stored settings stop loading.
namespace {

const TEnumInfo kBinKinds{{"bkFirst", "bkSecond", "bkThird"}};
const TEnumInfo kBinStyles{{"bsA", "bsB", "bsC"}};

class TBinSample : public TComponent {
    ZEL_DECLARE_CLASS(TBinSample)
public:
    explicit TBinSample(TComponent* AOwner = nullptr) : TComponent(AOwner) {}
    int32_t Count = 0;
    std::string Caption, Data;
    bool Enabled = true;
    int32_t Kind = 0;
    uint32_t Styles = 0;
    double Ratio = 0;
    int64_t Big = 0;
    TStringList Lines;

    int32_t GetCount() const { return Count; }
    void SetCount(int32_t v) { Count = v; }
    std::string GetCaption() const { return Caption; }
    void SetCaption(const std::string& v) { Caption = v; }
    bool GetEnabled() const { return Enabled; }
    void SetEnabled(bool v) { Enabled = v; }
    int32_t GetKind() const { return Kind; }
    void SetKind(int32_t v) { Kind = v; }
    uint32_t GetStyles() const { return Styles; }
    void SetStyles(uint32_t v) { Styles = v; }
    double GetRatio() const { return Ratio; }
    void SetRatio(double v) { Ratio = v; }
    std::string GetData() const { return Data; }
    void SetData(const std::string& v) { Data = v; }
    int64_t GetBig() const { return Big; }
    void SetBig(int64_t v) { Big = v; }
    TStringList* GetLines() const { return const_cast<TStringList*>(&Lines); }
    void SetLines(TStringList* v) { Lines.Assign(v); }
};
ZEL_DEFINE_CLASS(
    TBinSample, TComponent,
    {Prop::Int<TBinSample>("Count", &TBinSample::GetCount, &TBinSample::SetCount).WithDefault(0),
     Prop::String<TBinSample>("Caption", &TBinSample::GetCaption, &TBinSample::SetCaption),
     Prop::Bool<TBinSample>("Enabled", &TBinSample::GetEnabled, &TBinSample::SetEnabled).WithDefault(1),
     Prop::Enum<TBinSample>("Kind", &kBinKinds, &TBinSample::GetKind, &TBinSample::SetKind).WithDefault(0),
     Prop::Set<TBinSample>("Styles", &kBinStyles, &TBinSample::GetStyles, &TBinSample::SetStyles)
         .WithDefault(0),
     Prop::Float<TBinSample>("Ratio", &TBinSample::GetRatio, &TBinSample::SetRatio),
     Prop::Binary<TBinSample>("Data", &TBinSample::GetData, &TBinSample::SetData),
     Prop::Int64<TBinSample>("Big", &TBinSample::GetBig, &TBinSample::SetBig).WithDefault(0),
     Prop::Object<TBinSample>("Lines", &TBinSample::GetLines, &TBinSample::SetLines)})

// A short string: its length byte, then its characters.
std::string S(const std::string& s) {
    return std::string(1, static_cast<char>(s.size())) + s;
}
std::string B(std::initializer_list<int> bytes) {
    std::string out;
    for (int b : bytes)
        out += static_cast<char>(b);
    return out;
}

// Every value tag the writer uses, one owned component, and the closing zeros.
const std::string kFullImage = "TPF0" + S("TBinSample") + S("Top") +                         //
                               S("Count") + B({0x03, 0x2C, 0x01}) +                          // 300 in 16 bits
                               S("Caption") + B({0x06}) + S("Hi") +                          //
                               S("Enabled") + B({0x08}) +                                    // False
                               S("Kind") + B({0x07}) + S("bkThird") +                        //
                               S("Styles") + B({0x0B}) + S("bsA") + S("bsC") + B({0}) +      //
                               S("Ratio") + B({0x14, 0, 0, 0, 0, 0, 0, 0xE0, 0x3F}) +        // 0.5
                               S("Data") + B({0x0A, 2, 0, 0, 0, 0x01, 0xFF}) +               //
                               S("Big") + B({0x13, 0x00, 0xF2, 0x05, 0x2A, 0x01, 0, 0, 0}) + //
                               S("Lines.Strings") + B({0x01, 0x06}) + S("a") + B({0x00}) +   //
                               B({0}) + // end of properties
                               S("TBinSample") + S("Kid") + S("Count") + B({0x02, 0xFF}) + B({0, 0}) +
                               B({0}); // end of owned components

class ObjectBinary : public ::testing::Test {
protected:
    void SetUp() override { RegisterClass(TBinSample::StaticClass()); }
    void TearDown() override { UnRegisterClass(TBinSample::StaticClass()); }

    static void Fill(TBinSample& top) {
        top.SetName("Top");
        top.Count = 300;
        top.Caption = "Hi";
        top.Enabled = false;
        top.Kind = 2;
        top.Styles = 1u | 4u;
        top.Ratio = 0.5;
        top.Data = std::string("\x01\xFF", 2);
        top.Big = 5000000000LL;
        top.Lines.Add("a");
        auto* kid = new TBinSample(&top);
        kid->SetName("Kid");
        kid->Count = -1;
    }
};

TEST_F(ObjectBinary, WritesTheImageAssembledByHand) {
    TBinSample top;
    Fill(top);
    EXPECT_EQ(ObjectToBinary(&top), kFullImage);

    // An object at its defaults stores nothing but its class, name and the closing zeros.
    TBinSample plain;
    EXPECT_EQ(ObjectToBinary(&plain), "TPF0" + S("TBinSample") + B({0, 0, 0}));
}

TEST_F(ObjectBinary, ReadsTheImageAndWritesItBackByteForByte) {
    TBinSample top;
    ObjectFromBinary(kFullImage, &top);
    EXPECT_EQ(top.Name(), "Top");
    EXPECT_EQ(top.Count, 300);
    EXPECT_EQ(top.Caption, "Hi");
    EXPECT_FALSE(top.Enabled);
    EXPECT_EQ(top.Kind, 2);
    EXPECT_EQ(top.Styles, 5u);
    EXPECT_EQ(top.Ratio, 0.5);
    EXPECT_EQ(top.Data, std::string("\x01\xFF", 2));
    EXPECT_EQ(top.Big, 5000000000LL);
    EXPECT_EQ(top.Lines.Text(), "a\r\n");
    ASSERT_EQ(top.ComponentCount(), 1);
    EXPECT_EQ(static_cast<TBinSample*>(top.Components(0))->Count, -1);
    EXPECT_EQ(ObjectToBinary(&top), kFullImage);
    // Through the text form and back gives the same bytes.
    EXPECT_EQ(ObjectTextToBinary(ObjectBinaryToText(kFullImage)), kFullImage);
}

TEST_F(ObjectBinary, ReadsWiderIntegersThanTheWriterChooses) {
    // Another writer may store a small number in 32 bits; the reader takes any width.
    const std::string wide =
        "TPF0" + S("TBinSample") + S("") + S("Count") + B({0x04, 0x2C, 0x01, 0, 0}) + B({0, 0});
    TBinSample s;
    ObjectFromBinary(wide, &s);
    EXPECT_EQ(s.Count, 300);
}

TEST_F(ObjectBinary, EitherFormLoadsAndBadImagesChangeNothing) {
    TBinSample source;
    Fill(source);
    const std::string text = ObjectToText(&source);
    for (const std::string& form : {kFullImage, text}) {
        TBinSample s;
        TStringStream stream(form);
        ReadObjectAnyForm(stream, &s);
        EXPECT_EQ(s.Count, 300);
        EXPECT_EQ(s.Caption, "Hi");
    }
    EXPECT_TRUE(IsObjectBinary(kFullImage));
    EXPECT_FALSE(IsObjectBinary(text));

    struct Case {
        const char* what;
        std::string data;
    } cases[] = {
        {"signature only", "TPF0"},
        {"length past the end", "TPF0" + B({0x40}) + "TBin"},
        {"long string past the end",
         "TPF0" + S("TBinSample") + S("") + S("Caption") + B({0x0C, 0xFF, 0xFF, 0xFF, 0x7F}) + "x"},
        {"binary length past the end",
         "TPF0" + S("TBinSample") + S("") + S("Data") + B({0x0A, 0, 0, 0, 0x80})},
        {"unknown tag", "TPF0" + S("TBinSample") + S("") + S("Count") + B({0x63, 0, 0})},
        {"empty class name", "TPF0" + S("") + S("") + B({0, 0})},
        {"set never closed", "TPF0" + S("TBinSample") + S("") + S("Styles") + B({0x0B}) + S("bsA")},
        {"lists nested without end",
         "TPF0" + S("TBinSample") + S("") + S("Lines.Strings") + std::string(200, '\x01')},
    };
    for (const Case& c : cases) {
        TBinSample s;
        s.Count = 7;
        TStringStream stream(c.data);
        try {
            ReadObjectAnyForm(stream, &s);
            ADD_FAILURE() << c.what;
        } catch (const EReadError& e) {
            EXPECT_EQ(e.Message(), "Invalid stream format") << c.what;
        }
        EXPECT_EQ(s.Count, 7) << c.what;
        EXPECT_EQ(s.Caption, "") << c.what;
    }
}

// Names that the text form cannot hold are refused, so that whatever the reader takes can be
// written as text and read back (the stream fuzzer found the first two).
TEST_F(ObjectBinary, RefusesNamesTheTextFormCannotHold) {
    auto withProp = [](const std::string& name, const std::string& value) {
        return "TPF0" + S("TBinSample") + S("") + S(name) + value + B({0, 0});
    };
    const std::string count1 = B({0x02, 0x01});
    struct Case {
        const char* what;
        std::string data;
    } cases[] = {
        {"class name with a high byte", "TPF0" + S("TSynt\xD3x") + S("") + B({0, 0})},
        {"property name with a control byte", withProp("Co\x02unt", count1)},
        {"object name with a blank", "TPF0" + S("TBinSample") + S("my top") + B({0, 0})},
        {"property name that starts with a digit", withProp("1Count", count1)},
        {"empty part of a dotted name", withProp("Lines..Strings", count1)},
        {"property named like the end of an object", withProp("end", count1)},
        {"property named like a child object", withProp("object", count1)},
        {"identifier value with a quote", withProp("Kind", B({0x07}) + S("bk'x"))},
        {"set element that is neither a name nor a small number",
         withProp("Styles", B({0x0B}) + S("b s") + B({0}))},
    };
    for (const Case& c : cases) {
        TBinSample s;
        EXPECT_THROW(ObjectFromBinary(c.data, &s), EReadError) << c.what;
        EXPECT_THROW(ObjectBinaryToText(c.data), EReadError) << c.what;
    }
    // Elements without a name are stored by number, and that is still read.
    TBinSample s;
    ObjectFromBinary(withProp("Styles", B({0x0B}) + S("bsA") + S("5") + B({0})), &s);
    EXPECT_EQ(s.Styles, 1u | 32u);
}

TEST_F(ObjectBinary, SubsetHoldsOnlyTheNamedProperties) {
    TBinSample top;
    Fill(top);
    const std::string image = ObjectSubsetToBinary(&top, {"caption", "Lines"});
    EXPECT_EQ(image, "TPF0" + S("TBinSample") + S("Top") + S("Caption") + B({0x06}) + S("Hi") +
                         S("Lines.Strings") + B({0x01, 0x06}) + S("a") + B({0x00}) + B({0, 0}));
    EXPECT_EQ(ObjectSubsetToBinary(&top, {}), "TPF0" + S("TBinSample") + S("Top") + B({0, 0}));

    // Reading a full image through a subset applies only the named properties.
    TBinSample other;
    ObjectSubsetFromBinary(kFullImage, &other, {"Count", "Big"});
    EXPECT_EQ(other.Count, 300);
    EXPECT_EQ(other.Big, 5000000000LL);
    EXPECT_EQ(other.Caption, "");
    EXPECT_TRUE(other.Enabled);
    EXPECT_EQ(other.ComponentCount(), 0);
}

} // namespace
