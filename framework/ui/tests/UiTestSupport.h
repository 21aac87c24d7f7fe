#pragma once
// Shared set-up for the window tests: one application and screen for the run, a message-box seam
// that records instead of showing, and helpers that post real input to real windows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/ui/Dialogs.h"
#include "framework/ui/Forms.h"

// Copies the client area of a shown form, as the screen shows it.
void CaptureClient(TCustomForm& Form, TBitmap& Shot);
// The folder beside the test programs where screenshots for people to look at are kept.
std::string TestOutputFolder(const std::string& Name = "framework_ui");

struct TRecordedBox {
    std::string Text, Caption;
    UINT Flags;
    // The buttons offered, also those the platform box lacks.
    TMsgDlgButtons Buttons = 0;
};

class UiTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Posts a key press (down and up) to Wnd, as the keyboard would.
    static void PostKey(HWND Wnd, WORD Key);
    // Posts typed characters.
    static void PostChars(HWND Wnd, const std::string& Text);
    // Handles queued messages until Done says so or the time runs out (no endless wait).
    static bool PumpUntil(const std::function<bool()>& Done, int Milliseconds = 3000);
    // A folder of its own for files the test writes; removed afterwards unless keep-output is asked.
    std::string OutputDir();

    std::vector<TRecordedBox> Boxes;
    int BoxAnswer = IDOK;

private:
    TMessageRequestFunc FSavedBox;
    std::string FOutputDir;
};
