#pragma once
// Named items of a real folder as ID lists relative to it, the way a selection in the list or tree
// hands them to drag and drop and to context menus. Parsing failures are reported as test failures.
#include <string>
#include <vector>

#include "shellcontrols/ShellUtils.h"

struct TShellTestItems {
    TShellTestItems(const std::string& Folder, const std::vector<std::string>& Names);
    TNVIdListHolder ParentList;
    TComPtr<IShellFolder> Parent;
    std::vector<TNVIdListHolder> Owned;
    std::vector<LPCITEMIDLIST> Items;
};
