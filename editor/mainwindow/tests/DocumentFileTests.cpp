// Documents and their files, as the main window handles them: saves that fail say why, read-only
// files are not overwritten, Unicode pages show their characters, and a file gone from disk is told
// once.
#include <filesystem>
#include <fstream>

#include "UiTestSupport.h"
#include "editor/mainwindow/tests/MainWindowFixture.h"
#include "controls/memo/Memo.h"
#include "controls/textmodel/MemoSource.h"
#include "editor/core/AppState.h"
#include "editor/core/FileInfo.h"
#include "editor/mainwindow/MainForm.h"
#include "editor/mainwindow/MySource.h"
#include "framework/ui/MessageBox.h"

namespace fs = std::filesystem;

namespace {

class DocumentFileTest : public MainWindowTest {
protected:
    static std::string ReadFile(const std::string& Name) {
        std::ifstream In(Name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(In), {});
    }
};

// A save that fails keeps the document changed and its file as it was, and the box names the cause
// after the usual words.
TEST_F(DocumentFileTest, FailedSaveNamesTheCauseAndKeepsTheDocumentChanged) {
    struct Case {
        const char* name;
        std::function<void(const std::string& File)> spoil;
        const char* cause;
    } cases[] = {
        {"ro.html", [](const std::string& F) { SetFileAttributesA(F.c_str(), FILE_ATTRIBUTE_READONLY); },
         "\": the file is read-only."},
        {"gone/page.html", [](const std::string& F) { fs::remove_all(fs::path(F).parent_path()); },
         "Cannot make a temporary file beside \""},
    };
    for (const auto& c : cases) {
        const std::string File = WriteFile(c.name, "<p>old</p>\r\n");
        ASSERT_EQ(Form->AddNewFileTab(nullptr, File.c_str(), 0), 0);
        Form->ActiveEditorSource()->InsertText("new ");
        c.spoil(File);
        Boxes.clear();
        EXPECT_EQ(Form->SaveFileTab(nullptr, -1, 4), -6) << c.name;
        ASSERT_EQ(Boxes.size(), 1u) << c.name;
        const std::string Part = fs::path(File).filename().string();
        EXPECT_EQ(Boxes[0].Text.rfind("Error saving \"" + Part +
                                          "\". Check the path, filename, and disk access rights. Cannot ",
                                      0),
                  0u)
            << Boxes[0].Text;
        EXPECT_NE(Boxes[0].Text.find(c.cause), std::string::npos) << Boxes[0].Text;
        EXPECT_EQ(Boxes[0].Text.back(), '.');
        EXPECT_TRUE(Form->ActiveEditorSource()->Modified()) << c.name;
        if (fs::exists(File)) {
            EXPECT_EQ(ReadFile(File), "<p>old</p>\r\n");
            SetFileAttributesA(File.c_str(), FILE_ATTRIBUTE_NORMAL);
        }
        Form->CloseFileTab(Form->TabControl1, -1, 2);
    }
}

// A UTF-8 or UTF-16 page shows its characters; a page with characters outside the code page keeps
// its bytes and the status line says so.
TEST_F(DocumentFileTest, UnicodePagesShowTheirTextAndTheStatusTellsWhatCannotBeShown) {
    struct Case {
        const char* name;
        std::string bytes;
        const char* line;
        bool note;
    } cases[] = {
        {"utf8.html", "<p>Caf\xC3\xA9</p>\n", "<p>Caf\xE9</p>", false},
        {"utf16.html", std::string("\xFF\xFE<\0p\0>\0\xE9\0", 10), "<p>\xE9", false},
        {"arrow.html", "<p>\xE2\x86\x92</p>\n", "<p>\xE2\x86\x92</p>", true},
    };
    for (const auto& c : cases) {
        const std::string File = WriteFile(c.name, c.bytes);
        ASSERT_EQ(Form->AddNewFileTab(nullptr, File.c_str(), 0), 0);
        TCustomMemoSource* S = Form->ActiveEditorSource();
        EXPECT_EQ(S->Strings().GetRaw(0), c.line) << c.name;
        EXPECT_EQ(Form->StatusText().find("cannot show") != std::string::npos, c.note) << Form->StatusText();
        if (c.note) {
            EXPECT_EQ(Form->StatusText(),
                      "\"arrow.html\" holds characters this editor cannot show; they are kept "
                      "as they are. What you type in it is saved as UTF-8.");
        }
        S->SetModified(true);
        EXPECT_EQ(Form->SaveFileTab(nullptr, -1, 4), 0);
        EXPECT_EQ(ReadFile(File), c.bytes) << c.name;
    }
}

// The folder of open documents is deleted. The box about the current one comes once, also when the
// window is activated again while it shows, and each other document is told once when it is shown.
TEST_F(DocumentFileTest, FilesGoneFromDiskAreToldOncePerDocument) {
    std::vector<std::string> Files;
    for (const char* N : {"a.html", "b.html", "c.html"})
        Files.push_back(WriteFile(std::string("site/") + N, std::string("<p>") + N + "</p>"));
    for (const auto& F : Files)
        ASSERT_EQ(Form->AddNewFileTab(nullptr, F.c_str(), 0), 0);
    fs::remove_all(fs::path(Files[0]).parent_path());
    std::vector<std::string> Told;
    TMessageRequestFunc Saved = SetMessageRequestFunc([&](const TMessageBoxRequest& R) {
        Told.push_back(R.Text);
        // The box hands the window its activation back, as the platform's box does.
        if (Told.size() < 10) {
            Form->CheckChangedOnDisk(0);
            if (Form->OnActivate)
                Form->OnActivate(Form);
        }
        return IDOK;
    });
    Form->CheckChangedOnDisk(0);
    ASSERT_EQ(Told.size(), 1u);
    EXPECT_NE(Told[0].find("\"" + Files[2] + "\" no longer exists on disk"), std::string::npos) << Told[0];
    Form->CheckChangedOnDisk(0);
    EXPECT_EQ(Told.size(), 1u) << "asked once";
    for (int Round = 0; Round < 2; ++Round) {
        for (int I = 0; I < 3; ++I) {
            Form->SelectTab(Form->TabControl1, I, 0);
            auto* Doc = static_cast<fileinfoclass*>(p->vol->documents.at(I));
            EXPECT_EQ(Form->HSMemo->GetSource(), Doc->memoSource);
            EXPECT_EQ(
                Doc->memoSource->Strings().GetRaw(0).find(fs::path(Files[size_t(I)]).filename().string()), 3u)
                << "the tab shows its own document";
        }
    }
    SetMessageRequestFunc(Saved);
    EXPECT_EQ(Told.size(), 3u);
    EXPECT_EQ(TabTexts(), (std::vector<std::string>{"a.html**", "b.html**", "c.html**"}));
}

} // namespace
