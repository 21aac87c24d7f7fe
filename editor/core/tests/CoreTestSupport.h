#pragma once
// Shared set-up of the core's test programs: a box recorder on the framework's seam, a fresh
// application-state record, a temporary folder, and the product's registry keys cleared.

#include "editor/core/AppState.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

struct RecordedBox {
    std::string text, caption;
    UINT style;
};

class CoreTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // A folder of this test's own, removed afterwards.
    const std::string& Folder();
    std::string WriteFile(const std::string& name, const std::string& data);
    static std::string ReadFile(const std::string& path);
    // The folder of the test program (where the engine library and its configuration lie).
    static std::string ProgramFolder();
    // Removes the editor's and the engine's keys of the current user.
    static void ClearProductKeys();

    std::vector<RecordedBox> boxes;
    int boxAnswer = IDOK;

private:
    std::string folder_;
};
