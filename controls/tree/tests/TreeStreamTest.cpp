// The node stream: exact bytes, round trips and refusal of damaged streams.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "UiTestSupport.h"
#include "controls/tree/HSTree.h"
#include "framework/core/ObjectText.h"

// A node class of a user of the tree, carrying data of its own after its properties.
class TPayloadNode : public THSTreeNode {
    ZEL_DECLARE_CLASS(TPayloadNode)
public:
    explicit TPayloadNode(THSTreeNodes* AOwner = nullptr) : THSTreeNode(AOwner) {}
    int32_t Payload = 0;
    void WriteCustomData(TStream& S) override { S.WriteBuffer(&Payload, 4); }
    void ReadCustomData(TStream& S) override { S.ReadBuffer(&Payload, 4); }
};
ZEL_DEFINE_CLASS(TPayloadNode, THSTreeNode, {})

// A node whose writing fails halfway, as a full disk would.
class TFailingNode : public THSTreeNode {
    ZEL_DECLARE_CLASS(TFailingNode)
public:
    explicit TFailingNode(THSTreeNodes* AOwner = nullptr) : THSTreeNode(AOwner) {}
    void WriteCustomData(TStream&) override { throw EWriteError("Stream write error"); }
};
ZEL_DEFINE_CLASS(TFailingNode, THSTreeNode, {})

namespace {

std::string Bytes(std::initializer_list<int> List) {
    std::string S;
    for (int B : List)
        S += static_cast<char>(B);
    return S;
}

std::string FixturePath(const std::string& Name) {
    const char* Dir = std::getenv("ZEL_TEST_DATA");
    return std::string(Dir ? Dir : ".") + "/data/" + Name;
}

std::string ReadFile(const std::string& Name) {
    std::ifstream F(Name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(F), {});
}

class TreeStream : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        RegisterClass(TPayloadNode::StaticClass());
        RegisterClass(TFailingNode::StaticClass());
        Tree = std::make_unique<THSTree>(nullptr);
    }
    void TearDown() override {
        Tree.reset();
        UiTest::TearDown();
    }
    std::string Save(THSCustomTreeView& T) {
        TStringStream S;
        T.SaveToStream(S);
        return S.DataString();
    }
    std::string Texts(THSCustomTreeView& T) {
        std::string R;
        for (int I = 0; I < T.Items().Count(); ++I)
            R += (I ? " " : "") + T.Items().Item(I)->Text();
        return R;
    }
    // The tree of the fixture file, built by hand.
    void BuildSample(THSCustomTreeView& T) {
        THSTreeNode* Root = T.Items().Add(nullptr, "Root");
        THSTreeNode* C1 = T.Items().AddChild(Root, "Child 1");
        THSTreeNode* C2 = T.Items().AddChild(Root, "Child 2");
        T.Items().Add(nullptr, "a");
        Root->SetImageIndex(2);
        Root->Expand(false);
        T.SetCheckBoxesType(ctCustom);
        C1->SetNodeType(ntCheckBox);
        C1->SetChecked(true);
        C2->Font()->SetName("Arial");
        C2->Font()->SetStyle(fsBold);
        C2->SetColor(clRed);
    }
    std::unique_ptr<THSTree> Tree;
};

TEST_F(TreeStream, SmallCasesHaveTheirExactBytes) {
    EXPECT_EQ(Save(*Tree), Bytes({0x00, 0x01, 0, 0, 0, 0, 0xFE}));
    Tree->Items().Add(nullptr, "a");
    EXPECT_EQ(Save(*Tree),
              Bytes({0x00, 0x01, 1, 0, 0, 0, 0x00, 0, 0, 0, 0, 0x0C, 0x0A, 0x01, 'a', 0xFE, 0xFE}));
    Tree->Items().Clear();
    Tree->Items().Add(nullptr, std::string(300, 'x'));
    std::string S = Save(*Tree);
    EXPECT_EQ(S.substr(11, 7), Bytes({0x0C, 0x0A, 0xFF, 0x2C, 0x01, 0, 0})) << "300 = 0x012C as 32 bits";
    EXPECT_EQ(S.size(), 2u + 4 + 1 + 4 + 2 + 5 + 300 + 1 + 1);
}

TEST_F(TreeStream, FixtureRoundTripsByteForByte) {
    std::string Fixture = ReadFile(FixturePath("sample.tree"));
    ASSERT_EQ(Fixture.size(), 153u);
    BuildSample(*Tree);
    EXPECT_EQ(Save(*Tree), Fixture) << "the writer makes the fixture's bytes";

    THSTree Second(nullptr);
    Second.LoadFromFile(FixturePath("sample.tree"));
    EXPECT_EQ(Save(Second), Fixture) << "loading and saving again changes nothing";
    EXPECT_EQ(Texts(Second), "Root Child 1 Child 2 a");
    THSTreeNode* Root = Second.Items().GetFirstNode();
    THSTreeNode* C1 = Root->GetFirstChild();
    THSTreeNode* C2 = C1->GetNextSibling();
    EXPECT_TRUE(Root->Expanded());
    EXPECT_EQ(Root->ImageIndex(), 2);
    EXPECT_EQ(C1->NodeType(), ntCheckBox);
    EXPECT_TRUE(C1->Checked());
    EXPECT_FALSE(C2->ParentFont());
    EXPECT_EQ(C2->Font()->Name(), "Arial");
    EXPECT_EQ(C2->Font()->Style(), fsBold);
    EXPECT_EQ(C2->Color(), clRed);
    EXPECT_FALSE(C2->ParentColor());
    EXPECT_TRUE(C1->ParentFont());
    EXPECT_EQ(Second.Items().VisibleCount(), 4);
}

TEST_F(TreeStream, EmptyStreamLeavesTheNodes) {
    Tree->Items().Add(nullptr, "keep");
    TStringStream Empty;
    Tree->LoadFromStream(Empty);
    EXPECT_EQ(Texts(*Tree), "keep");
}

TEST_F(TreeStream, TruncatedStreamsAreRefusedWithTheTreeIntact) {
    std::string Fixture = ReadFile(FixturePath("sample.tree"));
    ASSERT_FALSE(Fixture.empty());
    Tree->Items().Add(nullptr, "old one");
    Tree->Items().Add(nullptr, "old two");
    for (size_t Len = 1; Len < Fixture.size(); ++Len) {
        TStringStream S(Fixture.substr(0, Len));
        EXPECT_THROW(Tree->LoadFromStream(S), EStreamError) << "cut at " << Len;
        ASSERT_EQ(Texts(*Tree), "old one old two") << "cut at " << Len;
    }
}

TEST_F(TreeStream, CorruptedStreamsAreRefusedWithClearErrors) {
    auto One = [](const std::string& Props, const std::string& ClassName = "") {
        return Bytes({0x00, 0x01, 1, 0, 0, 0}) + static_cast<char>(ClassName.size()) + ClassName +
               Bytes({0, 0, 0, 0}) + Props + Bytes({0xFE, 0xFE});
    };
    struct Case {
        const char* Name;
        std::string Data;
        const char* Message;
    };
    const std::vector<Case> Cases{
        {"header", Bytes({0x02, 0x01, 0, 0, 0, 0, 0xFE}), "Invalid tree stream header (0x0102)"},
        {"unknown enumeration value", One(Bytes({0x05, 0x03, 7}) + "ntBogus"),
         "Invalid value ntBogus for property NodeType"},
        {"unknown kind code", One(Bytes({0x04, 0x09, 1, 2, 3, 4})), "Invalid property type"},
        {"kind not fitting the property", One(Bytes({0x0C, 0x01, 1, 2, 3, 4})),
         "Invalid property type for Text"},
        {"unknown class", One("", "TNoSuchNode"), "Class TNoSuchNode not found"},
        {"class that makes no nodes", One("", "TFont"), "Class TFont is not a tree node class"},
        {"negative child count", Bytes({0x00, 0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE}),
         "Invalid node count -1 in tree stream"},
        {"huge child count", Bytes({0x00, 0x01, 0xFF, 0xFF, 0xFF, 0x7F, 0xFE}),
         "Invalid node count 2147483647 in tree stream"},
        {"string longer than the stream", One(Bytes({0x0C, 0x0A, 0xFF, 0x00, 0x00, 0x00, 0x40})),
         "Stream read error"},
        {"missing end mark", Bytes({0x00, 0x01, 0, 0, 0, 0, 0x00}), "Invalid tree stream end"},
    };
    Tree->Items().Add(nullptr, "kept");
    for (const Case& C : Cases) {
        TStringStream S(C.Data);
        try {
            Tree->LoadFromStream(S);
            ADD_FAILURE() << C.Name << ": no error";
        } catch (const EStreamError& E) {
            EXPECT_EQ(E.Message(), C.Message) << C.Name;
        }
        EXPECT_EQ(Texts(*Tree), "kept") << C.Name;
    }
    // Names a node class lacks, and number 13, are skipped; unknown set members are ignored.
    TStringStream Fine(One(Bytes({0x0D, 0xFF, 0x01, 0x0C, 0x0A, 0x02}) + "ok"));
    Tree->LoadFromStream(Fine);
    EXPECT_EQ(Texts(*Tree), "ok");
}

TEST_F(TreeStream, DerivedNodeClassesKeepTheirDataAndTheDefaultClassStays) {
    Tree->SetDefaultNodeClass(TPayloadNode::StaticClass());
    auto* P = static_cast<TPayloadNode*>(Tree->Items().Add(nullptr, "p"));
    P->Payload = 0x12345678;
    Tree->SetDefaultNodeClass(THSTreeNode::StaticClass());
    Tree->Items().Add(nullptr, "plain");
    std::string Data = Save(*Tree);
    EXPECT_NE(Data.find("TPayloadNode"), std::string::npos);

    THSTree Second(nullptr);
    TStringStream S(Data);
    Second.LoadFromStream(S);
    ASSERT_EQ(Texts(Second), "p plain");
    auto* Loaded = dynamic_cast<TPayloadNode*>(Second.Items().GetFirstNode());
    ASSERT_NE(Loaded, nullptr);
    EXPECT_EQ(Loaded->Payload, 0x12345678);
    EXPECT_EQ(Second.DefaultNodeClass(), THSTreeNode::StaticClass())
        << "loading leaves the class for new nodes as it was";
    EXPECT_EQ(Save(Second), Data);
}

TEST_F(TreeStream, SaveToFileReplacesTheOldFileOnlyOnSuccess) {
    std::string Name = OutputDir() + "/nodes.tree";
    {
        std::ofstream F(Name, std::ios::binary);
        F << "old contents";
    }
    Tree->SetDefaultNodeClass(TFailingNode::StaticClass());
    Tree->Items().Add(nullptr, "bad");
    EXPECT_THROW(Tree->SaveToFile(Name), EWriteError);
    EXPECT_EQ(ReadFile(Name), "old contents");
    EXPECT_FALSE(std::filesystem::exists(Name + ".~tmp")) << "no temporary file is left behind";

    Tree->Items().Clear();
    Tree->SetDefaultNodeClass(THSTreeNode::StaticClass());
    BuildSample(*Tree);
    Tree->SaveToFile(Name);
    EXPECT_EQ(ReadFile(Name), ReadFile(FixturePath("sample.tree")));
}

} // namespace

namespace {

class TreeFormText : public TreeStream {};

TEST_F(TreeFormText, TheNodesTravelInTheFormAsDataAndOldFormsStillLoad) {
    BuildSample(*Tree);
    Tree->SetChangeDelay(0);
    const std::string Text = ObjectToText(Tree.get());
    EXPECT_NE(Text.find("Data = {"), std::string::npos) << Text;
    for (const char* Legacy : {"CheckBoxes", "DrawData", "SelectDelay"})
        EXPECT_EQ(Text.find(std::string(Legacy) + " ="), std::string::npos) << Legacy << " is never written";

    THSTree Copy(nullptr);
    ObjectFromText(Text, &Copy);
    EXPECT_EQ(Save(*Tree), Save(Copy));
    EXPECT_EQ(ctCustom, Copy.CheckBoxesType());

    // A form of an older build: check boxes as a Boolean, the delay under its old name, and
    // paint data that is skipped.
    struct Case {
        const char* Lines;
        THSCheckBoxesType Boxes;
        int Delay;
    } Cases[] = {
        {"  CheckBoxes = True\n  SelectDelay = 250\n  DrawData = {\n    0102030405}\n", ctAll, 250},
        {"  CheckBoxes = False\n", ctNone, 0},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Lines);
        THSTree Old(nullptr);
        Old.SetCheckBoxesType(ctCustom);
        ObjectFromText(std::string("object THSTree\n") + C.Lines + "end\n", &Old);
        EXPECT_EQ(C.Boxes, Old.CheckBoxesType());
        EXPECT_EQ(C.Delay, Old.ChangeDelay());
    }
}

TEST_F(TreeFormText, CorruptNodeDataInAFormKeepsTheTree) {
    Tree->Items().Add(nullptr, "keep");
    EXPECT_ANY_THROW(ObjectFromText("object THSTree\n  Data = {\n    0001FFFFFF7F}\nend\n", Tree.get()));
    EXPECT_EQ(Texts(*Tree), "keep");
}

} // namespace
