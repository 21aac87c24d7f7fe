// File associations written into a key of the test's own (in the Wine prefix's current user),
// where the shell's file-type tree is moved for the test; the key is removed afterwards.
#include "editor/core/FileAssociations.h"

#include "editor/core/AppState.h"
#include "framework/ui/Dialogs.h"

#include <sddl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr const char* kSandbox = "Software\\ZEL Association Tests";

std::string Read(const std::string& key, const char* name = nullptr) {
    HKEY h;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, (std::string(kSandbox) + "\\" + key).c_str(), 0, KEY_READ, &h) !=
        ERROR_SUCCESS)
        return "<no key>";
    char buffer[1024] = {};
    DWORD size = sizeof buffer - 1, type = 0;
    const LONG r = RegQueryValueExA(h, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(h);
    return r == ERROR_SUCCESS ? std::string(buffer) : "<no value>";
}

void Write(HKEY root, const std::string& key, const char* name, const std::string& value) {
    HKEY h;
    ASSERT_EQ(RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &h, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(h, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(h);
}

void Sandbox(const std::string& key, const std::string& value) {
    Write(HKEY_CURRENT_USER, std::string(kSandbox) + "\\" + key, nullptr, value);
}

// The program's own key values the association code reads, saved and put back.
struct SavedValue {
    const char* name;
    bool had = false;
    std::string text;
};

class FileAssociationTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, kSandbox);
        saved = SetAssociationRoot({HKEY_CURRENT_USER, std::string(kSandbox) + "\\"});
        for (SavedValue& v : values) {
            HKEY h;
            if (RegOpenKeyExA(HKEY_CURRENT_USER, ZelRegistryRoot, 0, KEY_READ, &h) == ERROR_SUCCESS) {
                char buffer[1024] = {};
                DWORD size = sizeof buffer - 1;
                v.had = RegQueryValueExA(h, v.name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer),
                                         &size) == ERROR_SUCCESS;
                v.text = buffer;
                RegCloseKey(h);
            }
        }
        Write(HKEY_CURRENT_USER, ZelRegistryRoot, "InstallDirV30", "C:\\Program Files\\ZEL Lite\\");
        Write(HKEY_CURRENT_USER, ZelRegistryRoot, "EditorEXE", "zel.exe");
        savedBox = SetMessageBoxFunc([this](const std::string& text, const std::string& caption, UINT) {
            boxes.push_back(caption + "|" + text);
            return answer;
        });
        // What another program registered before us.
        Sandbox(".htm", "htmlfile");
        Sandbox("htmlfile", "");
        Sandbox(".css", "OtherStyleSheet");
        Sandbox("OtherStyleSheet", "Their Description");
        Sandbox("OtherStyleSheet\\shell\\open\\command", "other.exe \"%1\"");
    }
    void TearDown() override {
        SetMessageBoxFunc(savedBox);
        SetAssociationRoot(saved);
        RegDeleteTreeA(HKEY_CURRENT_USER, kSandbox);
        HKEY h;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, ZelRegistryRoot, 0, KEY_ALL_ACCESS, &h) == ERROR_SUCCESS) {
            for (const SavedValue& v : values) {
                if (v.had)
                    RegSetValueExA(h, v.name, 0, REG_SZ, reinterpret_cast<const BYTE*>(v.text.c_str()),
                                   static_cast<DWORD>(v.text.size() + 1));
                else
                    RegDeleteValueA(h, v.name);
            }
            RegCloseKey(h);
        }
    }

    AssociationRoot saved;
    SavedValue values[2] = {{"InstallDirV30", false, {}}, {"EditorEXE", false, {}}};
    TMessageBoxFunc savedBox;
    std::vector<std::string> boxes;
    int answer = IDYES;
};

const char* kCommand = "\"C:\\Program Files\\ZEL Lite\\zel.exe\" \"%1\"";

TEST_F(FileAssociationTest, AddingWritesQuotedCommandsAndKeepsForeignTypes) {
    EXPECT_EQ(AddFileAssociations(nullptr, 1, 0), 1);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find("Orvalent: Add Associations To The Registry?|"), std::string::npos);
    EXPECT_NE(boxes[0].find("Options->File Associations"), std::string::npos);

    EXPECT_EQ(Read(".htm\\OpenWithList\\ZEL Orvalent Lite\\shell\\edit\\command"), kCommand);
    EXPECT_EQ(Read("Applications\\zel.exe\\shell\\edit\\command"), kCommand);
    EXPECT_EQ(Read("Applications\\zel.exe\\shell", "FriendlyCache"), "ZEL Orvalent Lite");
    EXPECT_NE(Read(".htm\\OpenWithList\\zel.exe"), "<no key>");

    // A type another program registered keeps its name and description; only our verb is added.
    EXPECT_EQ(Read(".css"), "OtherStyleSheet");
    EXPECT_EQ(Read("OtherStyleSheet"), "Their Description");
    EXPECT_EQ(Read("OtherStyleSheet\\shell\\EditZELLite"), "&Edit with ZEL Orvalent Lite");
    EXPECT_EQ(Read("OtherStyleSheet\\shell\\EditZELLite\\command"), kCommand);
    // An empty description is filled in; an unknown extension gets the table's type.
    EXPECT_EQ(Read("htmlfile"), "Hypertext Document");
    struct {
        const char* ext;
        const char* type;
        const char* description;
    } fresh[] = {{".smi", "smilfile", "SMIL Document"},
                 {".php3", "phpfile", "PHP Hypertext Processor Document"},
                 {".shtm", "shtmlfile", "Server Parsed Hypertext Document"},
                 {".rt", "rtfile", "RealText Clip"}};
    for (const auto& f : fresh) {
        EXPECT_EQ(Read(f.ext), f.type) << f.ext;
        EXPECT_EQ(Read(f.type), f.description) << f.ext;
        EXPECT_EQ(Read(std::string(f.type) + "\\shell\\EditZELLite\\command"), kCommand) << f.ext;
    }
}

TEST_F(FileAssociationTest, RemovingTakesAwayWhatAddingWroteAndNothingElse) {
    ASSERT_EQ(AddFileAssociations(nullptr, 0, 0), 1);
    Sandbox("Applications\\zel.exe\\shell\\print\\command", "theirs");
    boxes.clear();
    EXPECT_EQ(RemoveFileAssociations(nullptr, 1), 1);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "Orvalent: Success|The ZEL Orvalent Lite file associations were successfully removed "
                        "from the registry.");
    // Keys with subkeys are gone too.
    EXPECT_EQ(Read(".htm\\OpenWithList\\ZEL Orvalent Lite"), "<no key>");
    EXPECT_EQ(Read(".htm\\OpenWithList\\zel.exe"), "<no key>");
    EXPECT_EQ(Read("Applications\\zel.exe\\shell\\edit"), "<no key>");
    EXPECT_EQ(Read("Applications\\zel.exe\\shell", "FriendlyCache"), "<no value>");
    EXPECT_EQ(Read("Applications\\zel.exe\\shell\\print\\command"), "theirs");
    for (const char* type : {"htmlfile", "OtherStyleSheet", "smilfile", "phpfile", "cfmlfile", "wmlfile"})
        EXPECT_EQ(Read(std::string(type) + "\\shell\\EditZELLite"), "<no key>") << type;
    EXPECT_EQ(Read(".css"), "OtherStyleSheet");
    EXPECT_EQ(Read("OtherStyleSheet"), "Their Description");
    EXPECT_EQ(Read("OtherStyleSheet\\shell\\open\\command"), "other.exe \"%1\"");
    EXPECT_EQ(Read(".htm"), "htmlfile");

    boxes.clear();
    EXPECT_EQ(RemoveFileAssociations(nullptr, 0), 1) << "removing twice succeeds";
    EXPECT_TRUE(boxes.empty());
}

TEST_F(FileAssociationTest, DecliningChangesNothing) {
    answer = IDNO;
    EXPECT_EQ(AddFileAssociations(nullptr, 0, 1), 1);
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_EQ(Read("OtherStyleSheet\\shell\\EditZELLite"), "<no key>");
    EXPECT_EQ(Read(".smi"), "<no key>");
    EXPECT_EQ(Read(".htm\\OpenWithList"), "<no key>");
}

TEST_F(FileAssociationTest, ReportAndMissingProgramEntries) {
    EXPECT_EQ(AddFileAssociations(nullptr, 0, 1), 1);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1],
              "Orvalent: Success|The Orvalent file associations were successfully added to the registry.");

    HKEY h;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, ZelRegistryRoot, 0, KEY_ALL_ACCESS, &h), ERROR_SUCCESS);
    RegDeleteValueA(h, "EditorEXE");
    RegCloseKey(h);
    boxes.clear();
    EXPECT_EQ(RemoveFileAssociations(nullptr, 1), 0);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].rfind("Orvalent: GetPathFromRegistry() Failed|GetPathFromRegistry() failed.", 0), 0u);

    // A whole path stored as the program's name is taken as it stands.
    Write(HKEY_CURRENT_USER, ZelRegistryRoot, "EditorEXE", "D:\\Tools\\zel.exe");
    std::string full, name;
    EXPECT_EQ(GetPathFromRegistry(nullptr, &full, &name, "EditorEXE", 0), 1);
    EXPECT_EQ(full, "D:\\Tools\\zel.exe");
    EXPECT_EQ(name, "zel.exe");
}

// A removal the registry refuses is told, even without a report, and counts as failed; a verb key
// whose access is denied stands in for a key an ordinary user may not delete.
TEST_F(FileAssociationTest, RefusedRemovalIsToldEvenWithoutAReport) {
    ASSERT_EQ(AddFileAssociations(nullptr, 0, 0), 1);
    const std::string locked = std::string(kSandbox) + "\\phpfile\\shell\\EditZELLite";
    PSECURITY_DESCRIPTOR denyAll = nullptr;
    ASSERT_TRUE(
        ConvertStringSecurityDescriptorToSecurityDescriptorA("D:", SDDL_REVISION_1, &denyAll, nullptr));
    HKEY h;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, locked.c_str(), 0, WRITE_DAC, &h), ERROR_SUCCESS);
    const LONG set = RegSetKeySecurity(h, DACL_SECURITY_INFORMATION, denyAll);
    RegCloseKey(h);
    LocalFree(denyAll);
    // Unlocks the key again on every way out, so the sandbox can be removed.
    struct Unlock {
        std::string key;
        ~Unlock() {
            HKEY k;
            if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, WRITE_DAC, &k) == ERROR_SUCCESS) {
                SECURITY_DESCRIPTOR open;
                InitializeSecurityDescriptor(&open, SECURITY_DESCRIPTOR_REVISION);
                SetSecurityDescriptorDacl(&open, TRUE, nullptr, FALSE);
                RegSetKeySecurity(k, DACL_SECURITY_INFORMATION, &open);
                RegCloseKey(k);
            }
        }
    } unlock{locked};
    HKEY probe;
    const LONG readable = RegOpenKeyExA(HKEY_CURRENT_USER, locked.c_str(), 0, KEY_ALL_ACCESS, &probe);
    if (readable == ERROR_SUCCESS)
        RegCloseKey(probe);
    if (set != ERROR_SUCCESS || readable == ERROR_SUCCESS)
        GTEST_SKIP() << "this registry does not refuse access to a key";

    boxes.clear();
    EXPECT_EQ(RemoveFileAssociations(nullptr, 0), 0);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].rfind("Orvalent: Error|Some of the ZEL Orvalent Lite file associations could not be "
                             "removed",
                             0),
              0u)
        << boxes[0];
    // The others went all the same.
    EXPECT_EQ(Read("htmlfile\\shell\\EditZELLite"), "<no key>");
    EXPECT_EQ(Read("OtherStyleSheet\\shell\\EditZELLite"), "<no key>");
}

} // namespace
