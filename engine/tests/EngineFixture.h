#pragma once
// Test fixture of the engine core: the engine is started once per program, every message box is
// recorded instead of shown, and every test starts and ends with an empty handle table.

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace zel::run {
class MsgStore;
}

struct BoxRecord {
    std::string text;
    std::string caption;
    unsigned style;
};

std::vector<BoxRecord>& recordedBoxes();

// Programs the engine asked to start (the viewer): recorded, never started.
struct StartedProgram {
    std::string commandLine;
    int show;
};
std::vector<StartedProgram>& startedPrograms();

// A test document as the editor hands it over: one string per line, without line ends.
std::vector<std::string> documentLines(const std::string& doc);

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    std::string path(const std::string& name) const { return folder_ + "\\" + name; }
    std::string write(const std::string& name, const std::string& bytes) const;

private:
    std::string folder_;
};

// "id@line:char" of every shown message but comments, blank-separated.
std::string shownMessageList(const zel::run::MsgStore& store);

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // The single recorded box; fails the test when there is not exactly one.
    BoxRecord onlyBox();
};
