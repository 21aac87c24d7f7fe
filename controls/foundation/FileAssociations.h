#pragma once
// File-type associations of the design kit, in the classes root of the registry.

#include <cstdint>
#include <string>

#include "framework/core/Win.h"

// The extension's default value = FileType; FileType\DefaultIcon = "IconFile,IconIndex";
// FileType\Shell\Open\Command = Command "%1" (in quotation marks). True when all was written.
bool AssociateFileExt(const std::string& Ext, const std::string& FileType, const std::string& Command,
                      int32_t IconIndex, const std::string& IconFile);
// A mark beside the type tells that this program wrote it.
// Removes only what AssociateFileExt wrote, and only for a FileType that carries this program's
// mark: the extension's default value when it still names FileType, the mark, the default values
// of the icon and open-command keys; then each of those
// keys (the extension, DefaultIcon, Shell\Open\Command, Shell\Open, Shell, FileType) only when
// nothing else is left in it, so that what other programs keep there stays.
void UnAssociateFileExt(const std::string& Ext, const std::string& FileType);

// The same below another root (HKEY_CLASSES_ROOT for the two above).
bool AssociateFileExtIn(HKEY Root, const std::string& Ext, const std::string& FileType,
                        const std::string& Command, int32_t IconIndex, const std::string& IconFile);
void UnAssociateFileExtIn(HKEY Root, const std::string& Ext, const std::string& FileType);
