#pragma once
// Shared set-up of the dialog tests: a throwaway registry key (search options and edit histories
// are stored there), known search options, and ways to drive a form with posted input.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "controls/foundation/InputDialogs.h"
#include "framework/ui/ComCtrls.h"
#include "framework/ui/Dialogs.h"
#include "framework/ui/ExtCtrls.h"
#include "framework/ui/Forms.h"
#include "framework/ui/StdCtrls.h"
#include "TestRegistryKey.h"
#include "UiTestSupport.h"
#include "controls/textmodel/MemoOptions.h"
#include "framework/ui/StdCtrls.h"

class DialogTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        Key = std::make_unique<TTestRegistryKey>();
        TSearchOptions* O = GetSearchOptions();
        TSearchOptions Defaults;
        Defaults.InitValues();
        O->Assign(&Defaults);
    }
    void TearDown() override {
        UiTest::TearDown();
        Key.reset();
    }
    // Replaces the text of a combo box or edit as typing would.
    static void Type(HWND Edit, const std::string& Text) {
        SendMessageA(Edit, EM_SETSEL, 0, -1);
        PostMessageA(Edit, WM_CHAR, VK_BACK, 1);
        PostChars(Edit, Text);
    }
    static void PostClick(TWinControl* Control) { PostMessageA(Control->Handle(), BM_CLICK, 0, 0); }

    std::unique_ptr<TTestRegistryKey> Key;
};
