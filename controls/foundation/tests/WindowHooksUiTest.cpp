#include <gtest/gtest.h>

#include <fstream>

#include "UiTestSupport.h"
#include "controls/foundation/ControlUpdate.h"
#include "controls/foundation/WindowHooks.h"
#include "framework/ui/ExtCtrls.h"
#include "framework/ui/StdCtrls.h"

namespace {

class WindowHookTest : public UiTest {};

TEST_F(WindowHookTest, WatchersSeeSentMessagesInOrderUntilOneAnswers) {
    TForm Form(nullptr);
    HWND Wnd = Form.Handle();
    TObject A, B;
    std::vector<std::string> Seen;
    bool AAnswers = false;
    AddWndHook(&A, [&](TMessage& M) {
        auto* C = reinterpret_cast<CWPSTRUCT*>(M.WParam);
        if (C->hwnd == Wnd && C->message == WM_USER + 7) {
            Seen.push_back("A");
            if (AAnswers)
                M.Result = 1;
        }
    });
    AddWndHook(&B, [&](TMessage& M) {
        auto* C = reinterpret_cast<CWPSTRUCT*>(M.WParam);
        if (C->hwnd == Wnd && C->message == WM_USER + 7) {
            Seen.push_back("B");
            RemoveWndHook(&B); // leaving during the walk is safe
        }
    });
    EXPECT_EQ(WndHookCount(), 2);
    SendMessageA(Wnd, WM_USER + 7, 0, 0);
    EXPECT_EQ(Seen, (std::vector<std::string>{"A", "B"}));
    AAnswers = true;
    AddWndHook(&B, [&](TMessage&) { Seen.push_back("B again"); });
    SendMessageA(Wnd, WM_USER + 7, 0, 0);
    EXPECT_EQ(Seen.back(), "A"); // A's answer hid the call from B
    RemoveWndHook(&A);
    RemoveWndHook(&B);
    EXPECT_EQ(WndHookCount(), 0);
}

TEST_F(WindowHookTest, ActiveNotifiersHearOfFocusChanges) {
    TForm Form(nullptr);
    auto* E1 = new TEdit(&Form);
    E1->SetParent(&Form);
    auto* E2 = new TEdit(&Form);
    E2->SetParent(&Form);
    E2->SetTop(30);
    Form.Show();
    TCustomActiveNotifier N(nullptr);
    int Heard = 0;
    N.OnActivate = [&](TObject* Sender) {
        EXPECT_EQ(Sender, &N);
        ++Heard;
    };
    E2->SetFocus();
    int AfterFirst = Heard;
    EXPECT_GE(AfterFirst, 1);
    E1->SetFocus();
    EXPECT_GT(Heard, AfterFirst);
    Form.Hide();
}

TEST_F(WindowHookTest, ControlUpdateBracketsNeitherNestNorCreateWindows) {
    TForm Form(nullptr);
    auto* E = new TPanel(&Form);
    E->SetParent(&Form);
    BeginControlUpdate(E);
    FinishControlUpdate(E);
    EXPECT_FALSE(E->HandleAllocated());
    Form.Show();
    BeginControlUpdate(E);
    BeginControlUpdate(E);
    EXPECT_FALSE(IsWindowVisible(E->Handle())); // redrawing off hides the window's visible bit
    FinishControlUpdate(E);
    EXPECT_TRUE(IsWindowVisible(E->Handle()));
    Form.Hide();
    // A window not shown yet stays hidden: turning drawing on must not mark it shown, or showing
    // it later would not paint what is inside it.
    FinishControlUpdate(&Form);
    EXPECT_FALSE(GetWindowLongA(Form.Handle(), GWL_STYLE) & WS_VISIBLE);
    EXPECT_FALSE(IsWindowVisible(E->Handle()));
}

TEST_F(WindowHookTest, FreePropEditorsFreesEveryGroupFromMinusOne) {
    std::vector<int> Freed;
    FreeEditorGroupProc = [&](int G) { Freed.push_back(G); };
    while (CurrentEditorGroup() < 2)
        NewEditorGroup();
    FreePropEditors();
    FreeEditorGroupProc = nullptr;
    EXPECT_EQ(Freed, (std::vector<int>{-1, 0, 1, 2}));
}

TEST_F(WindowHookTest, DirectoryExistsTellsFoldersFromFiles) {
    std::string Dir = OutputDir();
    std::string File = Dir + "\\file.txt";
    std::ofstream(File) << "x";
    EXPECT_TRUE(Hsgen::DirectoryExists(Dir));
    EXPECT_TRUE(Hsgen::DirectoryExists(Dir + "\\"));
    EXPECT_FALSE(Hsgen::DirectoryExists(File));
    EXPECT_FALSE(Hsgen::DirectoryExists(Dir + "\\missing"));
    EXPECT_FALSE(Hsgen::DirectoryExists(""));
}

} // namespace
