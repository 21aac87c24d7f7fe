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

// Makes the editor's Tools settings key a registry link to nowhere, so that it exists but cannot
// be opened or created through; removes the link (not what it points to) when it goes.
struct UnopenableSettingsKey {
    UnopenableSettingsKey();
    ~UnopenableSettingsKey();
    UnopenableSettingsKey(const UnopenableSettingsKey&) = delete;
    UnopenableSettingsKey& operator=(const UnopenableSettingsKey&) = delete;
    bool made = false; // false where the registry has no links
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
