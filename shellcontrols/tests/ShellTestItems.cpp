#include "ShellTestItems.h"

#include <gtest/gtest.h>

TShellTestItems::TShellTestItems(const std::string& Folder, const std::vector<std::string>& Names) {
    EXPECT_EQ(ShellGetIdListFromPath(Folder, *ParentList.Put()), S_OK);
    EXPECT_EQ(ShellGetFolderFromIdList(ParentList.Get(), Parent), S_OK);
    for (const std::string& N : Names) {
        std::wstring W(N.begin(), N.end());
        LPITEMIDLIST L = nullptr;
        ULONG Eaten = 0;
        EXPECT_EQ(Parent->ParseDisplayName(nullptr, nullptr, W.data(), &Eaten, &L, nullptr), S_OK) << N;
        Owned.emplace_back(L);
        Items.push_back(L);
    }
}
