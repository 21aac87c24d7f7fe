#include "EngineFixture.h"

#include "engine/EngineContext.h"
#include "engine/EngineLifetime.h"
#include "engine/EngineMessageBox.h"
#include "engine/ValidatorBaseClass.h"
#include "engine/include/ZelValidator.h"
#include "engine/run/MessageCatalogue.h"
#include "engine/run/MsgStore.h"

#include <cstdio>

namespace {

int recordBox(HWND, const char* text, const char* caption, UINT style) {
    recordedBoxes().push_back({text, caption, style});
    return defaultBoxAnswer(style);
}

bool recordProgram(const char* commandLine, int show) {
    startedPrograms().push_back({commandLine ? commandLine : "", show});
    return true;
}

class EngineEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        setEngineMessageBox(recordBox);
        setStartProgram(recordProgram);
        engineLoad(nullptr);
        reportDeferredFault();
        recordedBoxes().clear();
    }
    void TearDown() override {
        engineUnload();
        setEngineMessageBox(nullptr);
        setStartProgram(nullptr);
    }
};

const ::testing::Environment* const environment = ::testing::AddGlobalTestEnvironment(new EngineEnvironment);

void removeTree(const std::string& folder) {
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::string name = data.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string full = folder + "\\" + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                removeTree(full);
            else
                DeleteFileA(full.c_str());
        } while (FindNextFileA(find, &data));
        FindClose(find);
    }
    RemoveDirectoryA(folder.c_str());
}

} // namespace

std::vector<BoxRecord>& recordedBoxes() {
    static std::vector<BoxRecord> boxes;
    return boxes;
}

std::vector<StartedProgram>& startedPrograms() {
    static std::vector<StartedProgram> programs;
    return programs;
}

TempFolder::TempFolder() {
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    static int serial = 0;
    for (;;) {
        folder_ = std::string(base) + "zel_engine_test_" + std::to_string(GetCurrentProcessId()) + "_" +
                  std::to_string(++serial);
        if (CreateDirectoryA(folder_.c_str(), nullptr))
            break;
    }
}

TempFolder::~TempFolder() {
    removeTree(folder_);
}

std::string TempFolder::write(const std::string& name, const std::string& bytes) const {
    std::string full = path(name);
    FILE* f = std::fopen(full.c_str(), "wb");
    if (f) {
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    return full;
}

void EngineTest::SetUp() {
    ZELFreeHandle(0, ZEL_FREE_ALL);
    recordedBoxes().clear();
    startedPrograms().clear();
}

void EngineTest::TearDown() {
    // Every box a test causes is asserted by the test itself.
    EXPECT_TRUE(recordedBoxes().empty()) << "unexpected box: " << recordedBoxes().front().text;
    recordedBoxes().clear();
    // Locked handles would survive a free-all.
    EngineContext& ctx = engineContext();
    for (int32_t i = 0; i < ctx.handles.usableLength(); ++i)
        if (ValidatorBaseClass* object = handleObject(i))
            object->lockCount = 0;
    ZELFreeHandle(0, ZEL_FREE_ALL);
    EXPECT_EQ(ZELGetNumberOfHandles(), 0);
    EXPECT_TRUE(recordedBoxes().empty());
}

BoxRecord EngineTest::onlyBox() {
    EXPECT_EQ(recordedBoxes().size(), 1u);
    BoxRecord box = recordedBoxes().empty() ? BoxRecord{"", "", 0} : recordedBoxes().front();
    recordedBoxes().clear();
    return box;
}

std::vector<std::string> documentLines(const std::string& doc) {
    std::vector<std::string> lines;
    std::stringstream ss(doc);
    std::string line;
    while (std::getline(ss, line))
        lines.push_back(line);
    return lines;
}

std::string shownMessageList(const zel::run::MsgStore& store) {
    std::string s;
    for (size_t i = 0; i < store.shownCount(); ++i) {
        const zel::run::SingleMsgStore* m = store.shown(i);
        if (m->kind == zel::run::KindComment)
            continue;
        if (!s.empty())
            s += ' ';
        s += std::to_string(m->id) + "@" + std::to_string(m->location.line) + ":" +
             std::to_string(m->location.character);
    }
    return s;
}
