// The launchers of the engine's dialogs, the drop window's tool dialog, help pages and the log
// file check, with stand-ins for the engine's two dialog exports and for the window layer.
#include "editor/core/EngineDialogs.h"

#include "editor/core/EditorLink.h"
#include "editor/core/EngineCalls.h"
#include "framework/ui/Dialogs.h"
#include "framework/ui/ShellExec.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

HWND seenOwner = reinterpret_cast<HWND>(-1);
int32_t seenFlags = -1;
int32_t engineAnswer = 1;

int32_t ZELAPI StubOptions(HWND owner, int32_t, int32_t flags) {
    seenOwner = owner;
    seenFlags = flags;
    return engineAnswer;
}

class EngineDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        savedOptions = Engine.ZELOpenValidatorOptions;
        savedEditor = Engine.ZELOpenConfigurationEditor;
        Engine.ZELOpenValidatorOptions = StubOptions;
        Engine.ZELOpenConfigurationEditor = StubOptions;
        savedLink = EditorLink();
        mainForm = CreateWindowA("STATIC", "main", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        dropForm = CreateWindowA("STATIC", "drop", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        EditorLink().MainFormHandle = [this] { return mainForm; };
        savedBox = SetMessageBoxFunc([this](const std::string& text, const std::string& caption, UINT) {
            boxes.push_back(caption + "|" + text);
            return IDOK;
        });
        savedShell = SetShellExecuteFunc([this](const std::string& verb, const std::string& file,
                                                const std::string&, const std::string&, int) {
            opened.push_back(verb + " " + file);
            return true;
        });
        seenOwner = reinterpret_cast<HWND>(-1);
        engineAnswer = 1;
    }
    void TearDown() override {
        Engine.ZELOpenValidatorOptions = savedOptions;
        Engine.ZELOpenConfigurationEditor = savedEditor;
        EditorLink() = savedLink;
        SetMessageBoxFunc(savedBox);
        SetShellExecuteFunc(savedShell);
        DestroyWindow(mainForm);
        DestroyWindow(dropForm);
    }

    decltype(Engine.ZELOpenValidatorOptions) savedOptions;
    decltype(Engine.ZELOpenConfigurationEditor) savedEditor;
    TEditorLink savedLink;
    HWND mainForm = nullptr, dropForm = nullptr;
    TMessageBoxFunc savedBox;
    TShellExecuteFunc savedShell;
    std::vector<std::string> boxes, opened;
};

TEST_F(EngineDialogTest, OwnerFollowsTheFlags) {
    struct {
        bool dropExists;
        int32_t flags;
        char expected; // 'm' main form, 'd' drop window, '-' none
    } cases[] = {{true, 0, 'm'}, {true, 2, 'd'}, {false, 2, '-'},
                 {true, 1, '-'}, {true, 3, '-'}, {true, 4, '-'}};
    for (const auto& c : cases) {
        EditorLink().DragDropFormHandle = [this, c] { return c.dropExists ? dropForm : HWND(nullptr); };
        EXPECT_EQ(OpenValidatorOptions(0, 1, c.flags), 1);
        const HWND expected = c.expected == 'm' ? mainForm : c.expected == 'd' ? dropForm : nullptr;
        EXPECT_EQ(seenOwner, expected) << c.flags << " " << c.dropExists;
        EXPECT_EQ(seenFlags, 1);
    }
    EditorLink().DragDropFormHandle = nullptr;
    EXPECT_EQ(ChooseDialogOwner(2), nullptr) << "no drop window layer at all";
    engineAnswer = 0;
    EXPECT_EQ(OpenValidatorOptions(0, 1, 0), 0);
    Engine.ZELOpenValidatorOptions = nullptr;
    EXPECT_EQ(OpenValidatorOptions(0, 1, 0), 0);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(EngineDialogTest, RefusedConfigurationEditorIsReported) {
    engineAnswer = -3;
    EXPECT_EQ(OpenConfigurationEditor(0, 0, 1), -3);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find("The Configuration Editor could not be opened."), std::string::npos);
    engineAnswer = 1;
    EXPECT_EQ(OpenConfigurationEditor(0, 0, 0), 1);
    EXPECT_EQ(seenOwner, mainForm);
    EXPECT_EQ(boxes.size(), 1u);
}

TEST_F(EngineDialogTest, ToolDialogThroughTheWindowLayer) {
    EXPECT_EQ(ShowDragDropToolDialog(0, 0, 0), -1) << "no window layer";
    HWND given = nullptr;
    EditorLink().DragDropFormHandle = [this] { return dropForm; };
    EditorLink().ShowDragDropToolDialog = [&](HWND owner) {
        given = owner;
        return 1;
    };
    EXPECT_EQ(ShowDragDropToolDialog(0, 0, 2), 1);
    EXPECT_EQ(given, dropForm);
}

TEST_F(EngineDialogTest, HelpPagesAndLogFile) {
    EXPECT_EQ(ShowHelpPage(nullptr, "index.html", "C:\\ZEL\\Documentation", 0), 1);
    EXPECT_EQ(ShowHelpPage(nullptr, "index.html", "", 0), 1);
    EXPECT_EQ(opened,
              (std::vector<std::string>{"open C:\\ZEL\\Documentation\\index.html", "open index.html"}));

    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string log = std::string(temp) + "zel-core2-test.log";
    DeleteFileA(log.c_str());
    EXPECT_EQ(CheckLogFileExists(nullptr, log), 0);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "Orvalent: No Log File On Disk|There is currently no log file on disk.");
    int32_t linkFlags = 0;
    EditorLink().ShowMessageBox = [&](const std::string&, const std::string&, int32_t flags) {
        linkFlags = flags;
        return 1;
    };
    EXPECT_EQ(CheckLogFileExists(nullptr, log), 0);
    EXPECT_EQ(linkFlags, 2) << "the main window's box with its information flag";
    FILE* f = std::fopen(log.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    EXPECT_EQ(CheckLogFileExists(nullptr, log), 1);
    DeleteFileA(log.c_str());
    EXPECT_EQ(opened.size(), 2u) << "the log check opens nothing";
}

} // namespace
