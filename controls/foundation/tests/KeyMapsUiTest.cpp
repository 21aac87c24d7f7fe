#include <gtest/gtest.h>

#include "UiTestSupport.h"
#include "controls/foundation/ClassRegistry.h"
#include "controls/foundation/HSCommon.h"
#include "controls/foundation/KeyMaps.h"

namespace {

TEST(KeyListTest, LookupFollowsStatesOrderAndTheRememberedBinding) {
    TKeyList L;
    int Hits[4] = {};
    L.AddKey('K', ssCtrl, nullptr, 0, 1); // prefix
    L.AddKey(
        'B', 0, [&] { ++Hits[0]; }, 1, 0); // second key of the chord
    L.AddAllKey(VK_F1, 0, [&] { ++Hits[1]; });
    L.AddSimpleKey(VK_HOME, 0, [&] { ++Hits[2]; });
    struct Case {
        const char* Name;
        uint16_t Key;
        TShiftState Shift;
        uint8_t State;
        bool Found;
    };
    const Case Cases[] = {
        {"prefix in state 0", 'K', ssCtrl, 0, true},
        {"second key in state 1", 'B', 0, 1, true},
        {"second key alone in state 0", 'B', 0, 0, false},
        {"all-states key in state 0", VK_F1, 0, 0, true},
        {"all-states key in state 7", VK_F1, 0, 7, true},
        {"simple key outside state 0", VK_HOME, 0, 1, false},
        {"shift state must match", VK_HOME, ssShift, 0, false},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        EXPECT_EQ(L.FindKeyData(C.Key, C.Shift, C.State) != nullptr, C.Found);
    }
    // A later binding for the same keystroke wins, also right after a lookup remembered the older one.
    TKeyData* Old = L.FindKeyData(VK_HOME, 0, 0);
    TKeyData* New = L.AddSimpleKey(VK_HOME, 0, [&] { ++Hits[3]; });
    EXPECT_EQ(L.FindKeyData(VK_HOME, 0, 0), New);
    EXPECT_NE(Old, New);
    // Deleting the remembered binding is safe.
    L.Delete(New->Index());
    EXPECT_EQ(L.FindKeyData(VK_HOME, 0, 0), Old);
    TKeyData Copy;
    Copy.Assign(Old);
    EXPECT_EQ(Copy.Key, VK_HOME);
    EXPECT_EQ(Copy.State, 0);
}

class TChordControl;
void BuildChordMap(TObject* Obj);

class TChordControl : public THSCustomControl {
    ZEL_DECLARE_CLASS(TChordControl)
public:
    explicit TChordControl(TComponent* AOwner) : THSCustomControl(AOwner) {}
    std::vector<std::string> Commands;
    std::string Typed;

protected:
    bool InsertChar(char Ch) override {
        Typed += Ch;
        return true;
    }
};
ZEL_DEFINE_CLASS(TChordControl, THSCustomControl, {})

class TDerivedChordControl : public TChordControl {
    ZEL_DECLARE_CLASS(TDerivedChordControl)
public:
    explicit TDerivedChordControl(TComponent* AOwner) : TChordControl(AOwner) {}
};
ZEL_DEFINE_CLASS(TDerivedChordControl, TChordControl, {})

void BuildChordMap(TObject* Obj) {
    auto* C = static_cast<TChordControl*>(Obj);
    TKeyList& L = C->KeyList();
    L.AddKey('K', ssCtrl, nullptr, 0, 1);
    L.AddKey(
        'B', 0, [C] { C->Commands.push_back("BlockBegin"); }, 1, 0);
    L.AddKey(
        'K', 0, [C] { C->Commands.push_back("BlockEnd"); }, 1, 0);
    L.AddSimpleKey(VK_HOME, 0, [C] { C->Commands.push_back("Home"); });
    // A command that swaps the whole map while its own binding is being dispatched.
    L.AddSimpleKey(VK_F5, 0, [C] {
        C->Commands.push_back("Rebuild");
        C->UpdateKeyMapping();
    });
}

class KeyDispatchTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        RegisterKeyboardInitProc(TChordControl::StaticClass(), "ChordTest", &BuildChordMap);
    }
    void TearDown() override {
        UnRegisterClassExt(TChordControl::StaticClass());
        UiTest::TearDown();
    }
    static void WithCtrl(bool Down) {
        BYTE Keys[256];
        GetKeyboardState(Keys);
        Keys[VK_CONTROL] = Down ? 0x80 : 0;
        SetKeyboardState(Keys);
    }
    // Posts a real key press with its character, as the keyboard would, and lets the loop run.
    static void Press(HWND Wnd, WORD Key, bool Ctrl = false) {
        WithCtrl(Ctrl);
        PostKey(Wnd, Key);
        Application->ProcessMessages();
        WithCtrl(false);
    }
};

TEST_F(KeyDispatchTest, TwoKeyChordRunsExactlyOneCommand) {
    TForm Form(nullptr);
    auto* C = new TChordControl(&Form);
    C->SetParent(&Form);
    C->SetBounds(0, 0, 100, 100);
    C->SetKeyMapping("chordtest"); // names compare ignoring case
    Form.Show();
    C->SetFocus();
    Press(C->Handle(), 'K', true);
    EXPECT_EQ(C->KeyState(), 1);
    Press(C->Handle(), 'B');
    EXPECT_EQ(C->KeyState(), 0);
    ASSERT_EQ(C->Commands.size(), 1u);
    EXPECT_EQ(C->Commands[0], "BlockBegin");
    EXPECT_EQ(C->Typed, ""); // neither keystroke typed text
    // A key that is not in the second state's table ends the sequence and is looked up afresh.
    Press(C->Handle(), 'K', true);
    Press(C->Handle(), VK_HOME);
    EXPECT_EQ(C->KeyState(), 0);
    EXPECT_EQ(C->Commands.back(), "Home");
    // Plain typing reaches InsertChar.
    Press(C->Handle(), 'X');
    EXPECT_EQ(C->Typed, "x");
    Form.Hide();
}

TEST_F(KeyDispatchTest, CommandThatRebuildsTheMapDuringDispatchIsSafe) {
    TForm Form(nullptr);
    auto* C = new TChordControl(&Form);
    C->SetParent(&Form);
    C->SetKeyMapping("ChordTest");
    WORD Key = VK_F5;
    C->Perform(WM_KEYDOWN, Key, 0);
    ASSERT_EQ(C->Commands.size(), 1u);
    EXPECT_EQ(C->Commands[0], "Rebuild");
    EXPECT_TRUE(C->KeyHandled());
    EXPECT_EQ(C->KeyState(), 0);
    EXPECT_EQ(C->KeyList().Count(), 5);
}

TEST_F(KeyDispatchTest, ReturnAndTabGoToTheDialogUnlessWantedOrWithCtrl) {
    TForm Form(nullptr);
    auto* C = new TChordControl(&Form);
    C->SetParent(&Form);
    C->SetKeyMapping("ChordTest");
    C->KeyList().AddSimpleKey(VK_RETURN, 0, [C] { C->Commands.push_back("Enter"); });
    C->SetWantReturns(false);
    WORD Key = VK_RETURN;
    C->Perform(WM_KEYDOWN, Key, 0);
    EXPECT_TRUE(C->Commands.empty());
    EXPECT_EQ(C->Perform(WM_GETDLGCODE) & DLGC_WANTALLKEYS, 0);
    WithCtrl(true);
    C->Perform(WM_KEYDOWN, Key, 0); // Ctrl+Return is dispatched as Return
    WithCtrl(false);
    ASSERT_EQ(C->Commands.size(), 1u);
    EXPECT_EQ(C->Commands[0], "Enter");
}

TEST_F(KeyDispatchTest, BuilderOfAnAncestorServesSubclassesAndUnknownNamesFallBack) {
    EXPECT_EQ(GetKeyboardInitProc(TDerivedChordControl::StaticClass(), "CHORDTEST"), &BuildChordMap);
    EXPECT_EQ(GetKeyboardInitProc(THSCustomControl::StaticClass(), "ChordTest"), nullptr);
    EXPECT_EQ(GetKeyboardInitProc(TChordControl::StaticClass(), "Other"), nullptr);
    TDerivedChordControl D(nullptr);
    D.SetKeyMapping("ChordTest");
    EXPECT_EQ(D.KeyList().Count(), 5);
    // Without a builder the base control has no map of its own.
    EXPECT_THROW(D.SetKeyMapping("Other"), EAbstractError);
}

} // namespace
