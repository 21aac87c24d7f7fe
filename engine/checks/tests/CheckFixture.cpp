#include "engine/checks/tests/CheckFixture.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "engine/config/CfgSource.h"
#include "engine/config/CfgStore.h"

using namespace zel::run;

namespace {

std::string testDataFolder() {
    const char* data = std::getenv("ZEL_TEST_DATA");
    return data ? data : ".";
}

} // namespace

std::string readTestFile(const std::string& relative) {
    std::ifstream in(testDataFolder() + "/" + relative, std::ios::binary);
    EXPECT_TRUE(in) << "missing test file " << relative;
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

std::string shippedConfigurationSource() {
    return readTestFile("../../../data/config/orvalenlite30.txt");
}

CfgStore* compileConfiguration(const std::string& source) {
    auto* store = new CfgStore();
    std::string error;
    EXPECT_TRUE(compileCfgSource(source, *store, error)) << error;
    return store;
}

void CheckTest::TearDown() {
    args.reset();
    store.reset();
    config.reset();
    EngineTest::TearDown();
}

void CheckTest::configure(const std::string& source) {
    args.reset();
    config = std::make_unique<ConfigClass>();
    config->cfgStore = compileConfiguration(source);
}

int CheckTest::run(const std::string& doc, const std::function<void(RunOptions&)>& before) {
    RunOptions o = options;
    o.loggingFlags &= ~lf::EnableLogging;
    if (before)
        before(o);
    args = std::make_unique<ValidateArgsClass>();
    store = std::make_unique<MsgStore>();
    out = LineBuffer();
    args->options = config.get();
    EXPECT_EQ(args->initialize(1, store.get(), o), 0);
    args->input.lines = documentLines(doc);
    args->input.inputName = "test." + extension;
    args->input.extension = extension;
    args->input.byteSize = documentByteSize(args->input.lines);
    args->output1 = &out;
    return validate(*args);
}

std::string CheckTest::messages() const {
    return shownMessageList(*store);
}

std::string CheckTest::hints() const {
    std::string s;
    for (size_t i = 0; i < store->shownCount(); ++i) {
        const SingleMsgStore* m = store->shown(i);
        if (m->kind != KindComment || m->id == 226)
            continue;
        if (!s.empty())
            s += ' ';
        s += std::to_string(m->id);
    }
    return s;
}

std::string CheckTest::textOf(int32_t id) const {
    for (size_t i = 0; i < store->shownCount(); ++i)
        if (store->shown(i)->id == id)
            return store->shown(i)->text();
    return "(no message " + std::to_string(id) + ")";
}
