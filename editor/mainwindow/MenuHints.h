#pragma once
// The status-bar hints of the main window's menu items, by item name.
#include <utility>
#include <vector>

const std::vector<std::pair<const char*, const char*>>& MenuHints();
