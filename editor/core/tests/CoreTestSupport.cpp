#include "CoreTestSupport.h"

#include "editor/core/EditorLink.h"
#include "engine/utils/QXRegistryEx.h"
#include "framework/ui/Dialogs.h"

#include <shellapi.h>

#include <fstream>
#include <sstream>

void CoreTest::SetUp() {
    SetMessageBoxFunc([this](const std::string& text, const std::string& caption, UINT style) {
        boxes.push_back({text, caption, style});
        return boxAnswer;
    });
    ClearProductKeys();
    EditorLink() = TEditorLink{};
}

void CoreTest::TearDown() {
    delete p;
    p = nullptr;
    EditorLink() = TEditorLink{};
    SetMessageBoxFunc(nullptr);
    if (!folder_.empty()) {
        std::string cmd = folder_ + '\0' + '\0';
        SHFILEOPSTRUCTA op{};
        op.wFunc = FO_DELETE;
        op.pFrom = cmd.c_str();
        op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
        SHFileOperationA(&op);
    }
    ClearProductKeys();
}

const std::string& CoreTest::Folder() {
    if (folder_.empty()) {
        char base[MAX_PATH];
        GetTempPathA(MAX_PATH, base);
        static int counter = 0;
        folder_ = std::string(base) + "zelcore_" + std::to_string(GetCurrentProcessId()) + "_" +
                  std::to_string(++counter);
        CreateDirectoryA(folder_.c_str(), nullptr);
    }
    return folder_;
}

std::string CoreTest::WriteFile(const std::string& name, const std::string& data) {
    std::string path = Folder() + "\\" + name;
    std::ofstream out(path, std::ios::binary);
    out << data;
    return path;
}

std::string CoreTest::ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string CoreTest::ProgramFolder() {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s(path, n);
    return s.substr(0, s.find_last_of("\\/"));
}

void CoreTest::ClearProductKeys() {
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Nortavia\\ZEL Orvalent Lite v2");
    RegDeleteTreeA(HKEY_USERS, ".DEFAULT\\Software\\Nortavia\\ZEL Orvalent Lite v2");
}

namespace {
constexpr const char* ToolsKey = "Software\\Nortavia\\ZEL Orvalent Lite v2\\Editor\\Tools";
}

UnopenableSettingsKey::UnopenableSettingsKey() {
    HKEY root;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Nortavia\\ZEL Orvalent Lite v2\\Editor", 0, nullptr, 0,
                        KEY_ALL_ACCESS, nullptr, &root, nullptr) != ERROR_SUCCESS)
        return;
    HKEY link;
    if (RegCreateKeyExA(root, "Tools", 0, nullptr, REG_OPTION_CREATE_LINK, KEY_ALL_ACCESS, nullptr, &link,
                        nullptr) == ERROR_SUCCESS) {
        const wchar_t target[] = L"\\Registry\\Nowhere\\At\\All";
        RegSetValueExW(link, L"SymbolicLinkValue", 0, REG_LINK, reinterpret_cast<const BYTE*>(target),
                       sizeof target - sizeof(wchar_t));
        RegCloseKey(link);
        made = true;
    }
    RegCloseKey(root);
}

UnopenableSettingsKey::~UnopenableSettingsKey() {
    HKEY link;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, ToolsKey, REG_OPTION_OPEN_LINK, KEY_ALL_ACCESS, &link) ==
        ERROR_SUCCESS) {
        RegDeleteKeyA(link, "");
        RegCloseKey(link);
    }
}
