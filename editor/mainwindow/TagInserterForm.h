#pragma once
// The tag and style-sheet inserters: small tool windows above all others whose whole face is a
// menu bar of snippets read from their configuration file; a chosen snippet goes into the main
// window's editor.
#include <cstdint>

#include "editor/core/InserterConfig.h"
#include "framework/ui/Forms.h"
#include "framework/ui/Menus.h"

class TTagInserterForm : public TForm {
    ZEL_DECLARE_CLASS(TTagInserterForm)
public:
    explicit TTagInserterForm(TComponent* AOwner);

    // 1 while the program has no state or is closing, else 0. Sets the kind's bit in F2 (flag 1:
    // without activating the window).
    int ShowInserter(int32_t Flags);
    // As ShowInserter; unless flag 1 the kind's bit in F2 is cleared.
    int HideInserter(int32_t Flags);
    // The click of every snippet item: the item's tag is its TagItem.
    void MenuItemClick(TObject* Sender);
    // Reads the inserter's file and builds the menu; the read's result code.
    int32_t LoadMenu();

    int32_t VisibleFlag = 0;
    int32_t FirstShown = 0;
    inserterclass* Inserter = nullptr; // not owned
    TagItemList Items;
    TMainMenu* TagInserterMenu = nullptr;

protected:
    void CreateParams(TCreateParams& Params) override;

private:
    bool FInShowOrHide = false;
};
