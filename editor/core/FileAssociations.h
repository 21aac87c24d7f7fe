#pragma once
// The editor's entries in the platform's file-type registry: an edit verb on the types of web
// documents, the editor in the open-with list of ".htm" and in the application list; and their
// removal, which takes away exactly what adding wrote (descriptions and types stay, since other
// programs may use them).

#include <windows.h>

#include <cstdint>
#include <string>

// Where the file types live: HKEY_CLASSES_ROOT by default. Tests move the whole tree into a key
// of their own. Returns the previous root; an empty base means the root key itself.
struct AssociationRoot {
    HKEY root = HKEY_CLASSES_ROOT;
    std::string base; // "" or a key path ending in "\"
};
AssociationRoot SetAssociationRoot(const AssociationRoot& root);

constexpr const char* ZelEditVerb = "EditZELLite";
constexpr const char* ZelEditMenuText = "&Edit with ZEL Orvalent Lite";
constexpr const char* ZelOpenWithName = "ZEL Orvalent Lite";

// 1 on success or when the user declined, else 0.
int32_t AddFileAssociations(HWND owner, int32_t mentionMenu, int32_t report);
// 1 when every removal succeeded (entries that are not there count as removed); a failure is
// always shown, report adds the success box.
int32_t RemoveFileAssociations(HWND owner, int32_t report);
int32_t AddAssociation(const char* extension, const char* menuText, const char* program,
                       const char* arguments, const char* fileType, const char* verb,
                       const char* description);
int32_t RemoveAssociation(const char* extension, const char* verb, const char* verb2);
// The editor's full file name and its file name alone, from the program's registry key; 1 on
// success, else 0 after the error box.
int32_t GetPathFromRegistry(HWND owner, std::string* fullPath, std::string* fileName, const char* valueName,
                            int32_t flags);
// The menu action for making the program the default editor: it changes nothing.
int32_t MakeDefaultEditor(HWND owner);
// The command text written for the editor: the program in quotes, then the quoted argument.
std::string AssociationCommand(const std::string& program, const char* arguments);
