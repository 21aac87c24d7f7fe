#include "editor/core/FileAssociations.h"

#include "editor/core/AppState.h"
#include "editor/core/EditorMessageBox.h"
#include "editor/core/PathHelpers.h"
#include "engine/utils/QXRegistryEx.h"

#include <vector>

namespace {

AssociationRoot& Root() {
    static AssociationRoot root;
    return root;
}

std::string Full(const std::string& key) {
    return Root().base + key;
}

// The key's default value (or a named value); false when the key or value is missing.
bool ReadValue(const std::string& key, const char* name, std::string* out) {
    HKEY h;
    if (RegOpenKeyExA(Root().root, Full(key).c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS)
        return false;
    DWORD type = 0, size = 0;
    bool ok = RegQueryValueExA(h, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
              (type == REG_SZ || type == REG_EXPAND_SZ);
    if (ok) {
        std::vector<char> buffer(size + 1, 0);
        ok = RegQueryValueExA(h, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) ==
             ERROR_SUCCESS;
        if (ok)
            *out = buffer.data();
    }
    RegCloseKey(h);
    return ok;
}

// Creates the key when missing and sets the value (the default one for a null name) when a text
// is given.
bool WriteValue(const std::string& key, const char* name, const char* text) {
    HKEY h;
    if (RegCreateKeyExA(Root().root, Full(key).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &h, nullptr) !=
        ERROR_SUCCESS)
        return false;
    bool ok = true;
    if (text)
        ok = RegSetValueExA(h, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                            static_cast<DWORD>(strlen(text) + 1)) == ERROR_SUCCESS;
    RegCloseKey(h);
    return ok;
}

// True unless the platform says the key is not there: a key that is there but cannot be read
// still counts, so that a refused removal is not mistaken for one that had nothing to do.
bool KeyExists(const std::string& key) {
    HKEY h;
    const LONG r = RegOpenKeyExA(Root().root, Full(key).c_str(), 0, KEY_READ, &h);
    if (r == ERROR_SUCCESS)
        RegCloseKey(h);
    return r != ERROR_FILE_NOT_FOUND && r != ERROR_PATH_NOT_FOUND;
}

// Removes the key with everything below it; true when it is gone afterwards.
bool DeleteTree(const std::string& key) {
    if (key.empty() || !KeyExists(key))
        return true;
    HKEY h;
    if (RegOpenKeyExA(Root().root, Full(key).c_str(), 0, KEY_ALL_ACCESS, &h) == ERROR_SUCCESS) {
        RegDeleteTreeA(h, nullptr);
        RegCloseKey(h);
    }
    RegDeleteKeyA(Root().root, Full(key).c_str());
    return !KeyExists(key);
}

// Removes a key only when nothing is left in it.
void DeleteIfEmpty(const std::string& key) {
    HKEY h;
    if (RegOpenKeyExA(Root().root, Full(key).c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS)
        return;
    DWORD subKeys = 0, values = 0;
    const bool empty = RegQueryInfoKeyA(h, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values,
                                        nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
                       subKeys == 0 && values == 0;
    RegCloseKey(h);
    if (empty)
        RegDeleteKeyA(Root().root, Full(key).c_str());
}

bool DeleteValue(const std::string& key, const char* name) {
    HKEY h;
    if (RegOpenKeyExA(Root().root, Full(key).c_str(), 0, KEY_SET_VALUE, &h) != ERROR_SUCCESS)
        return true;
    const LONG r = RegDeleteValueA(h, name);
    RegCloseKey(h);
    return r == ERROR_SUCCESS || r == ERROR_FILE_NOT_FOUND;
}

struct DocumentType {
    const char* extension;
    const char* type;
    const char* description;
};
const DocumentType kTypes[] = {
    {".htm", "htmlfile", "Hypertext Document"},
    {".css", "cssfile", "Cascading Style Sheet"},
    {".smi", "smilfile", "SMIL Document"},
    {".wml", "wmlfile", "WML Document"},
    {".html", "htmlfile", "Hypertext Document"},
    {".smil", "smilfile", "SMIL Document"},
    {".rt", "rtfile", "RealText Clip"},
    {".asp", "aspfile", "Active Server Document"},
    {".php4", "phpfile", "PHP Hypertext Processor Document"},
    {".php3", "phpfile", "PHP Hypertext Processor Document"},
    {".php", "phpfile", "PHP Hypertext Processor Document"},
    {".cfm", "cfmlfile", "Cold Fusion Document"},
    {".cfml", "cfmlfile", "Cold Fusion Document"},
    {".shtml", "shtmlfile", "Server Parsed Hypertext Document"},
    {".shtm", "shtmlfile", "Server Parsed Hypertext Document"},
};
const char* const kRemovalOrder[] = {".htm",  ".css",  ".html",  ".asp", ".php3", ".php4", ".php", ".cfm",
                                     ".cfml", ".shtm", ".shtml", ".smi", ".smil", ".rt",   ".wml"};

constexpr const char* kArguments = "\"%1\"";

} // namespace

AssociationRoot SetAssociationRoot(const AssociationRoot& root) {
    AssociationRoot old = Root();
    Root() = root;
    return old;
}

std::string AssociationCommand(const std::string& program, const char* arguments) {
    return "\"" + program + "\" " + (arguments ? arguments : "");
}

int32_t GetPathFromRegistry(HWND owner, std::string* fullPath, std::string* fileName, const char* valueName,
                            int32_t) {
    StrStore folder, exe;
    const bool ok = ReadRegistryString("InstallDirV30", &folder, 0, HKEY_CURRENT_USER, ZelRegistryRoot) &&
                    ReadRegistryString(valueName ? valueName : "EditorEXE", &exe, 0, HKEY_CURRENT_USER,
                                       ZelRegistryRoot) &&
                    folder.getString() && *folder.getString() && exe.getString() && *exe.getString();
    if (!ok) {
        EditorMessageBox(owner,
                         "GetPathFromRegistry() failed. The registry is missing expected entries. Please try "
                         "reinstalling Orvalent using the setup program.",
                         "Orvalent: GetPathFromRegistry() Failed", ZelBoxError);
        return 0;
    }
    std::string name = exe.getString();
    std::string full;
    if (IsAbsolutePath(name.c_str())) {
        // Some installations store the whole path here.
        full = name;
    } else {
        std::string dir = folder.getString();
        if (!dir.empty() && dir.back() == '\\')
            dir.pop_back();
        full = dir + "\\" + name;
    }
    const size_t slash = full.find_last_of("\\/");
    if (fullPath)
        *fullPath = full;
    if (fileName)
        *fileName = slash == std::string::npos ? full : full.substr(slash + 1);
    return 1;
}

int32_t AddAssociation(const char* extension, const char* menuText, const char* program,
                       const char* arguments, const char* fileType, const char* verb,
                       const char* description) {
    if (!extension || !program || !fileType || !verb)
        return 0;
    std::string type;
    if (ReadValue(extension, nullptr, &type) && !type.empty()) {
        std::string existing;
        if (!ReadValue(type, nullptr, &existing) || existing.empty())
            WriteValue(type, nullptr, description);
    } else {
        if (!WriteValue(extension, nullptr, fileType) || !WriteValue(fileType, nullptr, description))
            return 0;
        type = fileType;
    }
    const std::string verbKey = type + "\\shell\\" + verb;
    bool ok = WriteValue(verbKey, nullptr, menuText);
    ok = WriteValue(verbKey + "\\command", nullptr, AssociationCommand(program, arguments).c_str()) && ok;
    return ok ? 1 : 0;
}

int32_t RemoveAssociation(const char* extension, const char* verb, const char* verb2) {
    if (!extension || !verb)
        return 0;
    std::string type;
    if (!ReadValue(extension, nullptr, &type) || type.empty())
        return 1;
    bool ok = DeleteTree(type + "\\shell\\" + verb);
    if (verb2)
        ok = DeleteTree(type + "\\shell\\" + verb2) && ok;
    return ok ? 1 : 0;
}

int32_t AddFileAssociations(HWND owner, int32_t mentionMenu, int32_t report) {
    std::string question = "Would you like to add associations and actions to the registry so that you can "
                           "right click on an HTML "
                           "document and edit it or validate it with ZEL Orvalent Lite? This will also let "
                           "you edit the document "
                           "from the edit button of Internet Explorer v5.0 and above.";
    if (mentionMenu)
        question +=
            " If you decide not to do this now, you can do it later by selecting 'Add Associations to the "
            "Registry' in the Options->File Associations menu.";
    question += " Answering 'Yes' is recommended.";
    if (EditorMessageBox(owner, question, "Orvalent: Add Associations To The Registry?", ZelBoxQuestion) !=
        IDYES)
        return 1;
    std::string program, name;
    if (!GetPathFromRegistry(owner, &program, &name, "EditorEXE", 0))
        return 0;
    const std::string command = AssociationCommand(program, kArguments);
    bool ok = WriteValue(std::string(".htm\\OpenWithList\\") + ZelOpenWithName + "\\shell\\edit\\command",
                         nullptr, command.c_str());
    ok = WriteValue("Applications\\" + name + "\\shell", "FriendlyCache", ZelOpenWithName) && ok;
    ok = WriteValue("Applications\\" + name + "\\shell\\edit\\command", nullptr, command.c_str()) && ok;
    ok = WriteValue(".htm\\OpenWithList\\" + name, nullptr, nullptr) && ok;

    bool phpFailed = false;
    for (const DocumentType& t : kTypes) {
        if (AddAssociation(t.extension, ZelEditMenuText, program.c_str(), kArguments, t.type, ZelEditVerb,
                           t.description))
            continue;
        ok = false;
        const bool php = strncmp(t.extension, ".php", 4) == 0;
        if (php && phpFailed)
            continue;
        phpFailed = phpFailed || php;
        EditorMessageBox(owner,
                         std::string("An error occurred attempting to add the associations for ") +
                             (php ? "php3" : t.extension + 1) + " files.",
                         "Orvalent: Error", ZelBoxError);
    }
    if (report || (!ok && owner)) {
        if (ok)
            EditorMessageBox(owner, "The Orvalent file associations were successfully added to the registry.",
                             "Orvalent: Success", ZelBoxInformation);
        else
            EditorMessageBox(
                owner,
                "The Orvalent file associations could not be added successfully to the registry. If "
                "you are using Windows NT or Windows 2000, you may need to have administrator "
                "priviledges. Reinstalling Orvalent with the setup program may also correct the "
                "problem.",
                "Orvalent: Error", ZelBoxError);
    }
    return ok ? 1 : 0;
}

int32_t RemoveFileAssociations(HWND owner, int32_t report) {
    std::string program, name;
    if (!GetPathFromRegistry(owner, &program, &name, "EditorEXE", 0))
        return 0;
    bool ok = DeleteTree(std::string(".htm\\OpenWithList\\") + ZelOpenWithName);
    ok = DeleteTree(".htm\\OpenWithList\\" + name) && ok;
    DeleteIfEmpty(".htm\\OpenWithList");
    // The application entry is ours only as far as adding wrote it.
    const std::string app = "Applications\\" + name;
    ok = DeleteTree(app + "\\shell\\edit") && ok;
    ok = DeleteValue(app + "\\shell", "FriendlyCache") && ok;
    DeleteIfEmpty(app + "\\shell");
    DeleteIfEmpty(app);
    for (const char* extension : kRemovalOrder)
        ok = RemoveAssociation(extension, ZelEditVerb, nullptr) && ok;
    if (report && ok)
        EditorMessageBox(
            owner, "The ZEL Orvalent Lite file associations were successfully removed from the registry.",
            "Orvalent: Success", ZelBoxInformation);
    // A removal that did not take is told whether or not a report was asked for: the entries
    // would otherwise stay in the shell's menus with nobody knowing why.
    if (!ok)
        EditorMessageBox(owner,
                         "Some of the ZEL Orvalent Lite file associations could not be removed from the "
                         "registry. You may need administrator privileges to change them; removing them "
                         "again after signing in as an administrator may correct the problem.",
                         "Orvalent: Error", ZelBoxError);
    return ok ? 1 : 0;
}

int32_t MakeDefaultEditor(HWND) {
    return 1;
}
