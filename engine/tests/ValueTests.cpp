#include "EngineFixture.h"

#include "engine/ConfigClass.h"
#include "engine/EngineContext.h"
#include "engine/JobClass.h"
#include "engine/OptionBits.h"
#include "engine/ResultClass.h"
#include "engine/include/ZelValidator.h"

#include <string>

namespace {

const std::string kErrorPrefix = "ZEL Orvalent Lite DLL error in function or function call for ";

class Values : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        options = ZELGetNewHandle(ZEL_HANDLE_OPTIONS);
        job = ZELGetNewHandle(ZEL_HANDLE_JOB);
        results = ZELGetNewHandle(ZEL_HANDLE_RESULTS);
    }
    // Expects exactly one box for export `function` with the given reason text.
    void expectBox(const std::string& function, const std::string& reason) {
        BoxRecord box = onlyBox();
        EXPECT_EQ(box.text, kErrorPrefix + function + "(): " + reason);
    }
    int32_t options = -1, job = -1, results = -1;
};

TEST_F(Values, GlobalValues) {
    int32_t v = 0;
    EXPECT_EQ(ZELGetInteger3(ZELID_VERSION, &v), 0);
    EXPECT_EQ(v, 30000);
    EXPECT_EQ(ZELGetInteger3EZ(ZELID_VERSION), 30000);
    EXPECT_STREQ(ZELGetString3(ZELID_VERSIONTEXT), "3.0000");
    EXPECT_STREQ(ZELGetString3(ZELID_VERSIONTEXTSHORT), "3.00");
    const char* names[] = {"Error", "Warning", "Comment", "Message"};
    for (int32_t k = 1; k <= 4; ++k)
        EXPECT_STREQ(ZELGetString6(ZELID_MSGTYPESTRING, k), names[k - 1]);
    EXPECT_STREQ(ZELGetString6(ZELID_MSGSTYLESTRING, 0), "");
    EXPECT_STREQ(ZELGetString6(ZELID_MSGSTYLESTRING, 3), "[CSS]");
    EXPECT_EQ(ZELSetFlag2(ZELID_GLOBAL_FLAGS, 0x30, 1), 0);
    EXPECT_EQ(ZELGetFlag2(ZELID_GLOBAL_FLAGS, 0x10), 1);
    EXPECT_EQ(ZELSetFlag2(ZELID_GLOBAL_FLAGS, 0x10, 0), 0);
    EXPECT_EQ(ZELGetFlag2(ZELID_GLOBAL_FLAGS, 0x10), 0);
    EXPECT_EQ(ZELGetFlag2(ZELID_GLOBAL_FLAGS, 0x20), 1);
    engineContext().globalFlags = 0;
    EXPECT_EQ(ZELSetInteger3(ZELID_HIDEPROGRESS, 1), 0);
    EXPECT_TRUE(recordedBoxes().empty());

    EXPECT_EQ(ZELGetString6(ZELID_MSGTYPESTRING, 5), nullptr);
    expectBox("ZELGetString6", "bad arg (message type) for ZELMSGTYPESTRING");
    EXPECT_EQ(ZELGetString3(17002), nullptr);
    expectBox("ZELGetString3", "bad value identifier parameter passed to function");
    EXPECT_EQ(ZELGetInteger3(16000, nullptr), -4);
    expectBox("ZELGetInteger3", "value pointer is NULL");
}

TEST_F(Values, OptionWordsAndSwitches) {
    struct Case {
        int32_t bitId, wordId;
    } words[] = {{1000, 1008}, {1001, 1009}, {1002, 1010}, {1003, 1011},
                 {1004, 1012}, {1005, 1013}, {1006, 1014}};
    for (const Case& c : words) {
        EXPECT_EQ(ZELSetFlag(options, c.wordId, 0, 0x1234), 0);
        EXPECT_EQ(ZELGetFlag(options, c.wordId, 0), 0x1234);
        EXPECT_EQ(ZELGetFlag(options, c.bitId, 0x4), 1);
        EXPECT_EQ(ZELGetFlag(options, c.bitId, 0x1), 0);
        EXPECT_EQ(ZELSetFlag(options, c.bitId, 0x5, 1), 0);
        EXPECT_EQ(ZELSetFlag(options, c.bitId, 0x1000, 0), 0);
        EXPECT_EQ(ZELGetFlag(options, c.wordId, 0), 0x0235);
    }
    ConfigClass* o = optionsObject(options);
    EXPECT_EQ(o->network.Flags40, 0x0235u); // 1004 is the network word, also read by 4003
    EXPECT_EQ(ZELGetIntegerEZ(options, ZELID_OPT_NETWORKWORD), 0x0235);

    struct Switch {
        int32_t number;
        uint32_t* word;
        uint32_t bit;
    } switches[] = {
        {1, &o->validator.Switches[0], 1u},   {30, &o->validator.Switches[0], 1u << 29},
        {31, &o->validator.Switches[1], 1u},  {180, &o->validator.Switches[5], 1u << 29},
        {500, &o->validator.Switches500, 1u}, {529, &o->validator.Switches500, 1u << 29},
    };
    for (const Switch& s : switches) {
        EXPECT_EQ(ZELSetFlag(options, ZELID_OPT_SWITCH, s.number, 0), 0);
        EXPECT_EQ(*s.word & s.bit, 0u) << s.number;
        EXPECT_EQ(ZELGetFlag(options, ZELID_OPT_SWITCH, s.number), 0);
        EXPECT_EQ(ZELSetFlag(options, ZELID_OPT_SWITCH, s.number, 1), 0);
        EXPECT_EQ(*s.word & s.bit, s.bit) << s.number;
        EXPECT_EQ(ZELGetFlag(options, ZELID_OPT_SWITCH, s.number), 1);
    }
    EXPECT_EQ(ZELSetFlag(options, 1016, 0, 7), 0);
    EXPECT_EQ(o->validator.Switches[1], 7u);
    // Each switch word identifier reaches its own word, and switch numbers count through them.
    for (int32_t k = 0; k < 6; ++k) {
        EXPECT_EQ(ZELSetFlag(options, ZELID_OPT_SWITCHWORD1 + k, 0, 0), 0);
        EXPECT_EQ(ZELSetFlag(options, ZELID_OPT_SWITCH, 30 * k + 2, 1), 0);
        EXPECT_EQ(o->validator.Switches[k], 2u) << k;
        EXPECT_EQ(ZELGetFlag(options, ZELID_OPT_SWITCHWORD1 + k, 0), 2) << k;
    }
    EXPECT_EQ(ZELGetFlag(options, 1021, zel::bits::flags250::IgnoreTagsWithColons), 1);
    EXPECT_EQ(ZELGetFlag(options, 1022, zel::bits::further::EnableStyleChecking), 1);

    for (int32_t bad : {0, 181, 499, 530}) {
        EXPECT_EQ(ZELGetFlag(options, ZELID_OPT_SWITCH, bad), -8);
        expectBox("ZELGetFlag", "bad flag for value identifier parameter passed to function");
        EXPECT_EQ(ZELSetFlag(options, ZELID_OPT_SWITCH, bad, 1), -6);
        expectBox("ZELSetFlag", "bad flag for value identifier parameter passed to function");
    }
}

TEST_F(Values, IntegersOfEachObject) {
    struct Case {
        int32_t* handle;
        int32_t id;
        int32_t set;
        int32_t expected;
    } cases[] = {
        {&options, 4000, 72, 72}, {&options, 4001, 5, 5}, {&options, 4002, 6, 6}, {&options, 4007, 9, 9},
        {&job, 5000, 1, 1},       {&job, 5001, 6, 6},     {&job, 5004, 3, 3},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ZELSetInteger(*c.handle, c.id, c.set), 0) << c.id;
        EXPECT_EQ(ZELGetIntegerEZ(*c.handle, c.id), c.expected) << c.id;
    }
    JobClass* j = jobObject(job);
    EXPECT_EQ(ZELSetInteger(job, ZELID_JOB_TYPE, 5), 0);
    EXPECT_EQ(j->lineEnd, 5);
    EXPECT_EQ(ZELSetInteger(job, ZELID_JOB_LINEEND, 2), 0);
    EXPECT_EQ(j->lineEnd, 2);
    EXPECT_EQ(ZELGetFlag(job, ZELID_JOB_ISPATHJOB, 1), 1);
    EXPECT_EQ(ZELGetFlag(job, ZELID_JOB_ISPATHJOB, 2), -6);
    ZELSetInteger(job, ZELID_JOB_TYPE, 6);
    EXPECT_EQ(ZELGetFlag(job, ZELID_JOB_ISPATHJOB, 1), 0);
    ZELSetString(job, ZELID_JOB_ADDPATH, "a");
    ZELSetString(job, ZELID_JOB_ADDPATH, "b");
    EXPECT_STREQ(ZELGetString2(job, ZELID_JOB_PATH, 1), "b");
    EXPECT_EQ(ZELSetInteger(job, ZELID_JOB_CLEARPATHS, 1), 0);
    EXPECT_EQ(j->paths.lineCount(), 2);
    EXPECT_EQ(ZELSetInteger(job, ZELID_JOB_CLEARPATHS, 0), 0);
    EXPECT_EQ(j->paths.lineCount(), 0);

    // Values whose store is not built yet read -1 with success.
    int32_t v = 0;
    for (int32_t id : {4005, 4006}) {
        EXPECT_EQ(ZELGetInteger(options, id, &v), 0);
        EXPECT_EQ(v, -1);
    }
    EXPECT_EQ(ZELSetInteger(options, 4006, 0x10), 0);
    EXPECT_EQ(optionsObject(options)->validator.LineLength, 72); // 4006 never touches LineLength
    for (int32_t id : {6000, 6001, 6003, 6006, 6007, 6008, 6009}) {
        v = 0;
        EXPECT_EQ(ZELGetInteger(results, id, &v), 0) << id;
        EXPECT_EQ(v, -1) << id;
    }
    EXPECT_EQ(ZELSetInteger(results, 6005, 3), 0);
    EXPECT_EQ(ZELGetFlag(results, ZELID_RESULT_STATUS, 1), 0);
    EXPECT_EQ(ZELGetFlag(results, ZELID_RESULT_STATUS, 2), 0);
    EXPECT_EQ(ZELSetFlag(results, ZELID_RESULT_FLAGS, ZEL_RESULT_OUTPUTFAILED, 1), 0);
    EXPECT_EQ(ZELGetFlag(results, ZELID_RESULT_STATUS, 2), 1);
    EXPECT_EQ(ZELGetFlag(results, ZELID_RESULT_STATUS, 4), -7);
    EXPECT_TRUE(recordedBoxes().empty());
}

TEST_F(Values, WrongIdentifiersGiveTheCodeOfTheObjectKind) {
    struct Case {
        const char* function;
        int32_t (*call)(int32_t handle, int32_t id);
        int32_t id;
        int32_t optionsCode, jobCode, resultsCode;
    } cases[] = {
        {"ZELGetFlag", [](int32_t h, int32_t id) { return ZELGetFlag(h, id, 1); }, 999, -3, -4, -5},
        {"ZELGetFlag", [](int32_t h, int32_t id) { return ZELGetFlag(h, id, 1); }, 4000, -3, -4, -5},
        {"ZELSetFlag", [](int32_t h, int32_t id) { return ZELSetFlag(h, id, 1, 1); }, 2001, -3, -4, -5},
        {"ZELSetFlag", [](int32_t h, int32_t id) { return ZELSetFlag(h, id, 1, 1); }, 3001, -3, -4, -5},
        {"ZELGetInteger",
         [](int32_t h, int32_t id) {
             int32_t v;
             return ZELGetInteger(h, id, &v);
         },
         4004, -3, -4, -5},
        {"ZELGetInteger",
         [](int32_t h, int32_t id) {
             int32_t v;
             return ZELGetInteger(h, id, &v);
         },
         5002, -3, -4, -5},
        {"ZELGetInteger",
         [](int32_t h, int32_t id) {
             int32_t v;
             return ZELGetInteger(h, id, &v);
         },
         6005, -3, -4, -5},
        {"ZELSetInteger", [](int32_t h, int32_t id) { return ZELSetInteger(h, id, 1); }, 4003, -3, -4, -5},
        {"ZELSetInteger", [](int32_t h, int32_t id) { return ZELSetInteger(h, id, 1); }, 6000, -3, -4, -5},
        {"ZELGetInteger2",
         [](int32_t h, int32_t id) {
             int32_t v;
             return ZELGetInteger2(h, id, 1, &v);
         },
         15000, -3, -4, 0},
        // An identifier read by string with an index is no integer, though both share one table.
        {"ZELGetInteger2",
         [](int32_t h, int32_t id) {
             int32_t v;
             return ZELGetInteger2(h, id, 1, &v);
         },
         ZELID_RESULT_MSGTEXT, -3, -4, -5},
        {"ZELSetInteger2", [](int32_t h, int32_t id) { return ZELSetInteger2(h, id, 1, 1); },
         ZELID_RESULT_LINE1, -3, -4, -5},
        {"ZELSetInteger2", [](int32_t h, int32_t id) { return ZELSetInteger2(h, id, 1, 1); }, 15002, -3, -4,
         -5},
        {"ZELGetInteger4",
         [](int32_t h, int32_t id) {
             int32_t v;
             return ZELGetInteger4(h, id, "x", &v);
         },
         23001, -3, -4, -5},
        {"ZELGetInteger4",
         [](int32_t h, int32_t id) {
             int32_t v;
             return ZELGetInteger4(h, id, "x", &v);
         },
         ZELID_RESULT_SYMBOLVALUE, -3, -4, -5},
        {"ZELSetString", [](int32_t h, int32_t id) { return ZELSetString(h, id, "x"); }, 7004, -3, -4, -5},
        {"ZELSetString", [](int32_t h, int32_t id) { return ZELSetString(h, id, "x"); }, 8003, -3, -4, -5},
    };
    for (const Case& c : cases) {
        int32_t expected[] = {c.optionsCode, c.jobCode, c.resultsCode};
        int32_t handles[] = {options, job, results};
        for (int k = 0; k < 3; ++k) {
            EXPECT_EQ(c.call(handles[k], c.id), expected[k]) << c.function << " " << c.id << " kind " << k;
            if (expected[k] < 0)
                expectBox(c.function, "bad value identifier parameter passed to function");
            else
                EXPECT_TRUE(recordedBoxes().empty());
        }
        EXPECT_EQ(c.call(options + job + results + 1, c.id), -2) << c.function;
        expectBox(c.function, "bad handle");
    }
    // String getters report the same and give NULL.
    EXPECT_EQ(ZELGetString(results, 7000), nullptr);
    expectBox("ZELGetString", "bad value identifier parameter passed to function");
    EXPECT_EQ(ZELGetString(job, 8002), nullptr);
    expectBox("ZELGetString", "bad value identifier parameter passed to function");
    EXPECT_EQ(ZELGetString2(options, 12000, 0), nullptr);
    expectBox("ZELGetString2", "bad value identifier parameter passed to function");
    EXPECT_EQ(ZELGetString4(job, 20000, 0, 0), nullptr);
    expectBox("ZELGetString4", "bad value identifier parameter passed to function");
    EXPECT_EQ(ZELGetString2(results, ZELID_RESULT_MSGKIND, 1), nullptr);
    expectBox("ZELGetString2", "bad value identifier parameter passed to function");
    EXPECT_EQ(ZELGetString4(results, ZELID_RESULT_SYMBOLINDEX, 0, 0), nullptr);
    expectBox("ZELGetString4", "bad value identifier parameter passed to function");
    EXPECT_EQ(ZELGetString(77, 7000), nullptr);
    expectBox("ZELGetString", "bad handle");
}

TEST_F(Values, NullValuePointersAndValueLessFamilies) {
    struct Case {
        const char* function;
        int32_t (*call)(int32_t results);
        int32_t code;
        const char* reason;
    } cases[] = {
        {"ZELGetInteger", [](int32_t h) { return ZELGetInteger(h, 6000, nullptr); }, -6,
         "value pointer is NULL"},
        {"ZELGetInteger2", [](int32_t h) { return ZELGetInteger2(h, 15000, 1, nullptr); }, -8,
         "value pointer is NULL"},
        {"ZELGetInteger4", [](int32_t h) { return ZELGetInteger4(h, 23000, "x", nullptr); }, -7,
         "value pointer is NULL"},
        {"ZELGetInteger5", [](int32_t h) { return ZELGetInteger5(h, 1, 1, 1, nullptr); }, -4,
         "value pointer is NULL"},
        {"ZELGetInteger6", [](int32_t h) { return ZELGetInteger6(h, 1, "x", 1, nullptr); }, -4,
         "value pointer is NULL"},
        {"ZELGetInteger5", [](int32_t h) { return ZELGetInteger5EZ(h, 1, 1, 1); }, -3,
         "bad value identifier parameter passed to function"},
        {"ZELGetInteger6", [](int32_t h) { return ZELGetInteger6EZ(h, 1, "x", 1); }, -3,
         "bad value identifier parameter passed to function"},
        {"ZELSetInteger6", [](int32_t h) { return ZELSetInteger6(h, 1, "x", 1, 1); }, -3,
         "bad value identifier parameter passed to function"},
        {"ZELSetPointer", [](int32_t h) { return ZELSetPointer(h, 1, nullptr); }, -3,
         "bad value identifier parameter passed to function"},
        {"ZELSetString3", [](int32_t h) { return ZELSetString3(h, 1, 1, "x"); }, -2,
         "bad value identifier parameter passed to function"},
        {"ZELSetString7", [](int32_t h) { return ZELSetString7(h, 1, 1, 1, "x"); }, -2,
         "bad value identifier parameter passed to function"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.call(results), c.code) << c.function;
        expectBox(c.function, c.reason);
    }
    EXPECT_EQ(ZELGetString5(results, 1, 1, 1), nullptr);
    expectBox("ZELGetString5", "bad value identifier parameter passed to function");

    // A failed pointer call leaves -1 behind.
    int32_t v = 1234;
    EXPECT_EQ(ZELGetInteger(99, 4000, &v), -2);
    EXPECT_EQ(v, -1);
    expectBox("ZELGetInteger", "bad handle");
    v = 1234;
    EXPECT_EQ(ZELGetInteger5(results, 1, 1, 1, &v), -3);
    EXPECT_EQ(v, -1);
    expectBox("ZELGetInteger5", "bad value identifier parameter passed to function");
}

TEST_F(Values, EzFormsCannotTellANegativeValueFromACode) {
    ZELSetInteger(options, ZELID_OPT_LINELENGTH, -5);
    EXPECT_EQ(ZELGetIntegerEZ(options, ZELID_OPT_LINELENGTH), -5);
    EXPECT_TRUE(recordedBoxes().empty());
    EXPECT_EQ(ZELGetIntegerEZ(results, 4000), -5);
    expectBox("ZELGetInteger", "bad value identifier parameter passed to function");
}

TEST_F(Values, StringsOfEachObject) {
    struct Case {
        int32_t* handle;
        int32_t id;
        const char* set;
    } cases[] = {
        {&options, 7000, "C:\\cfg\\x.cfg"},
        {&options, 7002, "proxy"},
        {&options, 7003, "8080"},
        {&options, 7006, "user"},
        {&options, 7007, "pw"},
        {&options, 7008, "C:\\log.txt"},
        {&options, 7009, "42"},
        {&options, 7010, "second.cfg"},
        {&job, 8000, "page.HTM"},
        {&job, 8001, "out.txt"},
    };
    EXPECT_STREQ(ZELGetString(options, 7003), "80");
    EXPECT_STREQ(ZELGetString(options, 7009), "30");
    EXPECT_STREQ(ZELGetString(options, 7005), "notepad.exe");
    EXPECT_EQ(ZELGetString(job, 8003), nullptr); // no input yet
    for (const Case& c : cases) {
        EXPECT_EQ(ZELSetString(*c.handle, c.id, c.set), 0) << c.id;
        EXPECT_STREQ(ZELGetString(*c.handle, c.id), c.set) << c.id;
    }
    EXPECT_EQ(optionsObject(options)->network.Number, 42);
    EXPECT_STREQ(ZELGetString(job, 8003), "HTM");
    EXPECT_STREQ(ZELGetString(options, 7001), ""); // an empty configuration store is made on demand
    EXPECT_EQ(ZELGetString2(options, 11000, 0), nullptr);

    EXPECT_EQ(ZELSetString(results, 9000, "first\nsecond"), 0);
    EXPECT_EQ(ZELSetString(results, 9001, "third "), 0);
    EXPECT_EQ(ZELSetString(results, 9000, "continued"), 0);
    EXPECT_EQ(ZELSetString(results, 9002, "other"), 0);
    EXPECT_EQ(ZELGetIntegerEZ(results, 6002), 3);
    EXPECT_STREQ(ZELGetString2(results, 12000, 2), "third continued");
    EXPECT_EQ(ZELGetString2(results, 12000, 3), nullptr);
    EXPECT_EQ(ZELGetIntegerEZ(results, 6004), 1);
    EXPECT_STREQ(ZELGetString2(results, 12002, 0), "other");
    // Messages and symbols need a run: none built yet.
    EXPECT_EQ(ZELGetString2(results, 12001, 1), nullptr);
    EXPECT_EQ(ZELGetInteger2EZ(results, 15001, 1), -1);
    EXPECT_EQ(ZELSetInteger2(results, 15001, 1, 5), 0);
    EXPECT_TRUE(recordedBoxes().empty());
    EXPECT_EQ(ZELGetInteger2EZ(results, 15008, 0), -7);
    expectBox("ZELGetInteger2", "could not get value count");
    EXPECT_EQ(ZELGetInteger4EZ(results, 23000, "X"), -6);
    expectBox("ZELGetInteger4", "could not get symbol index");
    EXPECT_EQ(ZELGetString4(results, 20000, 0, 0), nullptr);
    expectBox("ZELGetString4", "could not get symbol value");
    EXPECT_EQ(ZELGetInteger2EZ(results, 15010, 0), -5);
    expectBox("ZELGetInteger2", "bad value identifier parameter passed to function");
}

} // namespace
