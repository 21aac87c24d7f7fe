// The options dialog driven as a person would: boxes ticked, fields typed, OK, Save or Cancel
// pressed, and what that leaves in the options object and the registry.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <string>

#include "engine/ConfigClass.h"
#include "engine/EngineContext.h"
#include "engine/EngineMessageBox.h"
#include "engine/OptionBits.h"
#include "engine/dialog/ValOptionsForm.h"
#include "engine/include/ZelValidator.h"
#include "engine/tests/EngineFixture.h"

namespace {

namespace bits = zel::bits;

const char kTestKey[] = "Software\\Nortavia\\ZEL Dialog Tests";

class OptionsDialog : public EngineTest {
protected:
    int32_t handle = -1;
    ConfigClass* options = nullptr;

    void SetUp() override {
        EngineTest::SetUp();
        RegDeleteTreeA(HKEY_CURRENT_USER, kTestKey);
        handle = ZELGetNewHandle(ZEL_HANDLE_OPTIONS);
        options = optionsObject(handle);
        options->keyPath.assign(kTestKey);
    }
    void TearDown() override {
        TValOptionsForm::setModalHook(nullptr);
        RegDeleteTreeA(HKEY_CURRENT_USER, kTestKey);
        EngineTest::TearDown();
    }
    // Opens the dialog and runs steps inside it; the result of ZELOpenValidatorOptions.
    int32_t withDialog(const std::function<void(TValOptionsForm&)>& steps, int32_t flags = 0) {
        TValOptionsForm::setModalHook(steps);
        const int32_t result = ZELOpenValidatorOptions(nullptr, handle, flags);
        TValOptionsForm::setModalHook(nullptr);
        return result;
    }
    static uint32_t registryWord(const char* section, const char* name) {
        HKEY key;
        const std::string path = std::string(kTestKey) + section;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return 0xDEADBEEF;
        DWORD value = 0, size = sizeof value, type = 0;
        const LONG rc = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
        RegCloseKey(key);
        return rc == ERROR_SUCCESS ? value : 0xDEADBEEF;
    }
};

TEST_F(OptionsDialog, TickingABoxChangesItsOneBitAndOKKeepsIt) {
    const uint32_t validator = options->validator.ValidatorFlags40;
    const uint32_t output = options->validator.OutputFlags40;
    const uint32_t general = options->general.Flags40;
    const uint32_t logging = options->log.Flags40;
    std::string caption, firstTab;
    EXPECT_EQ(withDialog([&](TValOptionsForm& form) {
                  char text[128] = {};
                  GetWindowTextA(form.handle(), text, sizeof text);
                  caption = text;
                  TCITEMA item{};
                  item.mask = TCIF_TEXT;
                  item.pszText = text;
                  item.cchTextMax = sizeof text;
                  SendMessageA(form.control("ValidatorOptionsPageControl"), TCM_GETITEMA, 4,
                               reinterpret_cast<LPARAM>(&item));
                  firstTab = text;
                  form.click("CheckNesting");         // on: off
                  form.click("RequireLowercaseTags"); // off: on
                  form.click("ShowLineNumbers");
                  form.click("OpenViewerMaximized");
                  form.click("EnableLogging");
                  form.click("OKBtn");
              }),
              0);
    EXPECT_EQ(caption, "Validator Engine Options (Validator/Logging/Tools/Network)");
    EXPECT_EQ(firstTab, "Styles");
    EXPECT_EQ(options->validator.ValidatorFlags40,
              (validator ^ bits::validator::CheckNesting) ^ bits::validator::RequireLowercaseTags);
    EXPECT_EQ(options->validator.OutputFlags40, output ^ bits::output::ShowLineNumbers);
    EXPECT_EQ(options->general.Flags40, general ^ bits::general::OpenViewerMaximized);
    EXPECT_EQ(options->log.Flags40, logging ^ bits::logging::EnableLogging);
    EXPECT_EQ(options->optionsDialog, nullptr);
    // OK alone writes nothing to the registry.
    EXPECT_EQ(registryWord("\\Validator", "ValidatorFlags40"), 0xDEADBEEFu);
}

TEST_F(OptionsDialog, CancelKeepsEverythingAndLimitsAreClamped) {
    const uint32_t validator = options->validator.ValidatorFlags40;
    withDialog([](TValOptionsForm& form) {
        form.click("CheckNesting");
        form.setText("LineLength", "5");
        form.click("CancelBtn");
    });
    EXPECT_EQ(options->validator.ValidatorFlags40, validator);
    EXPECT_EQ(options->validator.LineLength, 60);

    struct Case {
        const char *lineLength, *errors, *warnings;
        int32_t l, e, w;
    } cases[] = {{"5", "0", "12000", 20, 1, 9999}, {"80", "50", "7", 80, 50, 7}, {"x", "-3", "", 20, 1, 1}};
    for (const Case& c : cases) {
        withDialog([&](TValOptionsForm& form) {
            form.setText("LineLength", c.lineLength);
            form.setText("MaximumErrors", c.errors);
            form.setText("MaximumWarnings", c.warnings);
            form.click("OKBtn");
        });
        EXPECT_EQ(options->validator.LineLength, c.l) << c.lineLength;
        EXPECT_EQ(options->validator.MaximumErrors, c.e) << c.errors;
        EXPECT_EQ(options->validator.MaximumWarnings, c.w) << c.warnings;
    }
}

TEST_F(OptionsDialog, SaveWritesTheRegistryAndASecondOpenAnswersOne) {
    int32_t second = -9;
    withDialog([&](TValOptionsForm& form) {
        second = ZELOpenValidatorOptions(nullptr, handle, 0);
        form.click("ToolsCreateBAKFiles");
        form.click("ConvertToToolRadioGroup2");
        form.click("IncludeUnicode");
        form.click("SaveBtn");
    });
    EXPECT_EQ(second, 1) << "no second dialog while one is open";
    const BoxRecord box = onlyBox();
    EXPECT_EQ(box.caption, "Orvalent: Success");
    EXPECT_EQ(options->tools.ConvertToolFileType, 3);
    EXPECT_EQ(registryWord("\\Validator", "EntityFlags40"), options->validator.EntityFlags40);
    EXPECT_EQ(registryWord("\\Validator", "EntityFlags40") & bits::entity::IncludeUnicode, 0u);
    EXPECT_EQ(registryWord("\\Tools", "Flags40"), options->tools.Flags40);
    EXPECT_EQ(registryWord("\\Tools", "ConvertToolFileType"), 3u);

    // Flag 1 writes the registry after OK, without the success box.
    RegDeleteTreeA(HKEY_CURRENT_USER, kTestKey);
    withDialog([](TValOptionsForm& form) { form.click("OKBtn"); }, ZEL_OPTIONS_SAVEONOK);
    EXPECT_EQ(registryWord("\\Validator", "ValidatorFlags40"), options->validator.ValidatorFlags40);
}

int answerNo(HWND, const char* text, const char* caption, UINT style) {
    recordedBoxes().push_back({text, caption, style});
    return IDNO;
}

TEST_F(OptionsDialog, ANewDefaultConfigurationIsOfferedForLoading) {
    const std::string loaded = options->general.DefaultConfigurationFileNameV30.getString();
    const EngineMessageBoxFn saved = setEngineMessageBox(answerNo);
    withDialog([](TValOptionsForm& form) {
        form.setText("DefaultConfigurationFile", "C:\\elsewhere\\other.cfg");
        form.click("OKBtn");
    });
    setEngineMessageBox(saved);
    const BoxRecord box = onlyBox();
    EXPECT_EQ(box.text, "The default configuration file has changed. Do you want to load it now?");
    EXPECT_EQ(box.caption, "Orvalent: Load Configuration?");
    EXPECT_EQ(box.style, 0x10024u);
    EXPECT_STREQ(options->general.DefaultConfigurationFileNameV30.getString(), "C:\\elsewhere\\other.cfg");
    EXPECT_NE(loaded, "C:\\elsewhere\\other.cfg");
    // No: nothing was loaded, and the registry is untouched.
    EXPECT_EQ(registryWord("\\General", "Flags40"), 0xDEADBEEFu);
}

TEST_F(OptionsDialog, BadHandleIsRefused) {
    EXPECT_EQ(ZELOpenValidatorOptions(nullptr, 999, 0), -1);
    EXPECT_NE(onlyBox().text.find("bad handle"), std::string::npos);
}

} // namespace
