#pragma once
// The main window made as start-up makes it, inside the test process, with the settings records
// of a fresh start; shared by the window's test files.
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "UiTestSupport.h"
#include "editor/core/AppState.h"
#include "editor/core/EngineFunctionTable.h"
#include "editor/mainwindow/MainForm.h"
#include "editor/mainwindow/MySource.h"
#include "controls/textmodel/MemoSource.h"

class MainWindowTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        SetMemoSourceFactory(&NewMySource);
        p = new prgclass;
        // The kinds of these tests' files, whatever case the stored lists use.
        p->config->htmlExtensions = "htm,html,HTM,HTML";
        Form = new TZELQEForm(Application);
        Form->FormCreate();
    }
    void TearDown() override {
        delete Form;
        delete p;
        p = nullptr;
        UiTest::TearDown();
    }
    std::string WriteFile(const std::string& Name, const std::string& Text) {
        // A name may hold folders; they are made.
        std::filesystem::path F = (std::filesystem::path(OutputDir()) / Name).make_preferred();
        std::filesystem::create_directories(F.parent_path());
        std::ofstream(F, std::ios::binary) << Text;
        return F.string();
    }
    std::vector<std::string> TabTexts() { return Form->TabControl1->Tabs(); }
    TZELQEForm* Form = nullptr;
};

// An engine that hands out job handle 11, takes every value it is given and frees without fault.
inline int32_t ZELAPI JobHandleOrZero(int32_t Kind) {
    return Kind == ZEL_HANDLE_JOB ? 11 : 0;
}
inline int32_t ZELAPI Accepts3(int32_t, int32_t, int32_t) {
    return 0;
}
inline int32_t ZELAPI Accepts4(int32_t, int32_t, int32_t, int32_t) {
    return 0;
}
inline int32_t ZELAPI AcceptsText(int32_t, int32_t, const char*) {
    return 0;
}
inline int32_t ZELAPI Frees(int32_t, int32_t) {
    return 0;
}
// Binds the engine functions a validation run calls besides running the job and reading results.
inline void FakeJobEngine(EngineFunctionTable& E) {
    E.ZELGetNewHandle = &JobHandleOrZero;
    E.ZELSetInteger = &Accepts3;
    E.ZELSetFlag = &Accepts4;
    E.ZELSetString = &AcceptsText;
    E.ZELFreeHandle = &Frees;
}
// Results without a single record.
inline int32_t ZELAPI NoRecords(int32_t, int32_t) {
    return 0;
}

// The engine's names of the message kinds.
inline const char* ZELAPI FakeString6(int32_t, int32_t Kind) {
    static const char* const Names[] = {"", "Error", "Warning", "Comment", "Message"};
    return Kind >= 1 && Kind <= 4 ? Names[Kind] : "";
}
