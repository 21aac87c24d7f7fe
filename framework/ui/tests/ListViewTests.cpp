#include <gtest/gtest.h>

#include "framework/core/Win.h"

#include <commctrl.h>

#include "UiTestSupport.h"
#include "framework/core/Exceptions.h"
#include "framework/ui/ListView.h"

namespace {

class ListViewTest : public UiTest {};

std::string RowText(TCustomListView& View, int Row, int Column) {
    char Text[256] = "";
    LVITEMA Item{};
    Item.iSubItem = Column;
    Item.pszText = Text;
    Item.cchTextMax = sizeof Text;
    SendMessageA(View.Handle(), LVM_GETITEMTEXTA, static_cast<WPARAM>(Row), reinterpret_cast<LPARAM>(&Item));
    return Text;
}

LPARAM RowData(TCustomListView& View, int Row) {
    LVITEMA Item{};
    Item.mask = LVIF_PARAM;
    Item.iItem = Row;
    SendMessageA(View.Handle(), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&Item));
    return Item.lParam;
}

int RowCount(TCustomListView& View) {
    return static_cast<int>(SendMessageA(View.Handle(), LVM_GETITEMCOUNT, 0, 0));
}

// Rows added before the window exists and after it are the same in the window: each row holds
// its item, its caption and its sub-items.
TEST_F(ListViewTest, TheWindowMirrorsTheItemsInOrder) {
    TForm Form(nullptr);
    auto* View = new TCustomListView(&Form);
    View->SetParent(&Form);
    View->SetColumns({{"Name", 80}, {"Size", 40}, {"Kind", 40}});
    TListItem* A = View->Items().Add();
    A->SetCaption("a.html");
    A->SubItems().Add("12");
    Form.Show();
    ASSERT_TRUE(View->HandleAllocated());
    TListItem* C = View->Items().Add();
    C->SetCaption("c.css");
    TListItem* B = View->Items().Insert(1);
    B->SetCaption("b.js");
    B->SubItems().Add("7");
    B->SubItems().Add("script");
    ASSERT_EQ(RowCount(*View), 3);
    const TListItem* Expected[] = {A, B, C};
    for (int Row = 0; Row < 3; ++Row) {
        SCOPED_TRACE(Row);
        EXPECT_EQ(RowData(*View, Row), reinterpret_cast<LPARAM>(Expected[Row]));
        EXPECT_EQ(View->Items().Item(Row), Expected[Row]);
        EXPECT_EQ(Expected[Row]->Index(), Row);
        EXPECT_EQ(RowText(*View, Row, 0), Expected[Row]->Caption());
    }
    EXPECT_EQ(RowText(*View, 1, 2), "script");
    // A sub-item that goes is cleared in its column.
    B->SubItems().Delete(1);
    EXPECT_EQ(RowText(*View, 1, 2), "");
    EXPECT_EQ(RowText(*View, 1, 1), "7");

    View->Items().Delete(0);
    ASSERT_EQ(RowCount(*View), 2);
    EXPECT_EQ(RowData(*View, 0), reinterpret_cast<LPARAM>(B));
    EXPECT_THROW(View->Items().Item(2), EListError);
    EXPECT_THROW(View->Items().Insert(3), EListError);
    Form.Hide();
}

// A check mark the user sets lives in the window; the item reads it there and keeps it when the
// window is made again.
TEST_F(ListViewTest, CheckMarksSurviveANewWindow) {
    TForm Form(nullptr);
    auto* View = new TCustomListView(&Form);
    View->SetParent(&Form);
    View->SetCheckboxes(true);
    TListItem* A = View->Items().Add();
    TListItem* B = View->Items().Add();
    B->SetChecked(true);
    Form.Show();
    LVITEMA State{};
    State.stateMask = LVIS_STATEIMAGEMASK;
    State.state = INDEXTOSTATEIMAGEMASK(2);
    SendMessageA(View->Handle(), LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&State));
    EXPECT_TRUE(A->Checked());
    EXPECT_TRUE(B->Checked());
    View->RecreateWnd();
    View->HandleNeeded();
    ASSERT_EQ(RowCount(*View), 2);
    EXPECT_TRUE(A->Checked());
    EXPECT_EQ(RowData(*View, 1), reinterpret_cast<LPARAM>(B));
    Form.Hide();
}

} // namespace
