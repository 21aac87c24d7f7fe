#pragma once
// Names of files dropped on a window from the shell.
#include "framework/core/Win.h"

#include <string>

#include "framework/ui/Messages.h"

// The names of files dropped with a WM_DROPFILES message (Msg.WParam: the drop), joined by
// Separator with Multiple, else only the first; with FoldersOnly the folder of each existing file.
// The drop is finished and the message answered in every case.
std::string DropFiles(bool FoldersOnly, bool Multiple, const std::string& Separator, TMessage& Msg);
