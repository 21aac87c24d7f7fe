// The word-list editor of one user dictionary, shown modally by the checker and driven through
// the modal seam: typing, Enter, list clicks and buttons change the dictionary at once.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "UiTestSupport.h"
#include "framework/core/SysUtils.h"
#include "spell/CustomDictionariesDialog.h"
#include "spell/CustomDictionaryEditDialog.h"
#include "spell/OrthosSpell.h"
#include "spell/tests/SpellTestSupport.h"

namespace {

void Click(TWinControl* b) {
    SendMessageA(b->Handle(), BM_CLICK, 0, 0);
}

std::vector<std::string> Items(TListBox& list) {
    std::vector<std::string> out;
    for (int i = 0; i < list.Items().Count(); ++i)
        out.push_back(list.Items()[i]);
    return out;
}

std::vector<std::string> Rows(TSpellCheckList& list) {
    std::vector<std::string> out;
    for (int i = 0; i < list.Count(); ++i)
        out.push_back(list.Caption(i) + "=" + list.SubItem(i));
    return out;
}

class DictionaryEditDialogTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        form = new TForm(nullptr);
        form->SetBounds(60, 60, 400, 300);
        form->Show();
        spell = new TOrthosSpell3(form);
        UseDictionaries(*spell, tmp.Path(), tmp);
        dict.WriteFilename(tmp.File("words.wdu"));
        for (const char* w : {"gamma", "alpha", "beta"})
            dict.AddIgnore(w);
        dict.AddExclude("wrongly");
        dict.AddAutoCorrect("teh", "the");
    }
    void TearDown() override {
        SetModalHook(nullptr);
        delete form;
        UiTest::TearDown();
    }
    // Shows the editor for Dictionary through the checker; Step drives it and closes it.
    void Edit(TCustomDictionary* Dictionary, const std::function<void(TCustomDictionaryEditDialog&)>& Step) {
        bool ran = false;
        SetModalHook([&](TCustomForm& f) {
            auto* d = dynamic_cast<TCustomDictionaryEditDialog*>(&f);
            ASSERT_NE(d, nullptr);
            ran = true;
            Step(*d);
            if (d->ModalResult() == mrNone)
                Click(d->OK);
        });
        spell->EditCustomDictionary(Dictionary);
        SetModalHook(nullptr);
        EXPECT_TRUE(ran);
    }
    // A click on the tab of Sheet, as the mouse gives it.
    void ClickTab(TPageControl& pc, TTabSheet* Sheet) {
        RECT r{};
        SendMessageA(pc.Handle(), TCM_GETITEMRECT, static_cast<WPARAM>(Sheet->TabIndex()),
                     reinterpret_cast<LPARAM>(&r));
        LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        PostMessageA(pc.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageA(pc.Handle(), WM_LBUTTONUP, 0, at);
        EXPECT_TRUE(PumpUntil([&] { return pc.ActivePage() == Sheet; }));
    }

    TempFolder tmp;
    TForm* form = nullptr;
    TOrthosSpell3* spell = nullptr;
    TCustomDictionary dict;
};

} // namespace

TEST_F(DictionaryEditDialogTest, AddedWordsPageFollowsTheEditAndChangesTheDictionary) {
    Edit(&dict, [&](TCustomDictionaryEditDialog& d) {
        EXPECT_EQ(d.Caption(), "words.wdu");
        EXPECT_EQ(d.AddedWordsSheet->Caption(), spell->GetString(lsDlgAddedWords));
        EXPECT_EQ(d.IgnoreEditLabel->Caption(), spell->GetString(lsDlgIgnoreThisWord));
        EXPECT_EQ(d.PageControl->ActivePage(), d.AddedWordsSheet);
        EXPECT_EQ(Items(*d.IgnoreList), (std::vector<std::string>{"alpha", "beta", "gamma"}));
        EXPECT_FALSE(d.AddIgnoreButton->Enabled());
        EXPECT_FALSE(d.DeleteIgnoreButton->Enabled());

        struct Typed {
            const char* text;
            bool add, del;
            int selected;
        } typed[] = {
            {"beta", false, true, 1},      // already there: selected, deletable
            {"wrongly", false, false, -1}, // an excluded word is not also an added one
            {"teh", false, false, -1},     // nor an auto-correct word
            {"", false, false, -1},        {"delta", true, false, -1},
        };
        for (const Typed& t : typed) {
            d.IgnoreEdit->SetText(t.text);
            EXPECT_EQ(d.AddIgnoreButton->Enabled(), t.add) << t.text;
            EXPECT_EQ(d.DeleteIgnoreButton->Enabled(), t.del) << t.text;
            EXPECT_EQ(d.IgnoreList->ItemIndex(), t.selected) << t.text;
        }
        // Enter in the edit adds the word.
        d.IgnoreEdit->SetFocus();
        PostKey(d.IgnoreEdit->Handle(), VK_RETURN);
        EXPECT_TRUE(PumpUntil([&] { return d.IgnoreList->Items().Count() == 4; }));
        EXPECT_TRUE(dict.IgnoreExists("delta"));
        EXPECT_EQ(Items(*d.IgnoreList), (std::vector<std::string>{"alpha", "beta", "delta", "gamma"}));
        EXPECT_EQ(d.IgnoreList->ItemIndex(), 2);
        EXPECT_FALSE(d.AddIgnoreButton->Enabled());
        EXPECT_TRUE(d.DeleteIgnoreButton->Enabled());
        EXPECT_EQ(d.ModalResult(), mrNone); // Enter did not close the dialog

        // A click on the last entry, then Delete: the new last entry is selected and shown.
        d.IgnoreList->SetItemIndex(3);
        d.IgnoreList->OnClick(d.IgnoreList);
        EXPECT_EQ(d.IgnoreEdit->Text(), "gamma");
        Click(d.DeleteIgnoreButton);
        EXPECT_FALSE(dict.IgnoreExists("gamma"));
        EXPECT_EQ(Items(*d.IgnoreList), (std::vector<std::string>{"alpha", "beta", "delta"}));
        EXPECT_EQ(d.IgnoreList->ItemIndex(), 2);
        EXPECT_EQ(d.IgnoreEdit->Text(), "delta");
        EXPECT_TRUE(d.DeleteIgnoreButton->Enabled());
    });

    // The excluded-words page is filled when first shown and works the same way.
    Edit(&dict, [&](TCustomDictionaryEditDialog& d) {
        EXPECT_TRUE(d.ExcludeList->Items().Count() == 0);
        ClickTab(*d.PageControl, d.ExcludedWordsSheet);
        EXPECT_EQ(Items(*d.ExcludeList), (std::vector<std::string>{"wrongly"}));
        d.ExcludeEdit->SetText("alpha"); // an added word cannot be excluded as well
        EXPECT_FALSE(d.AddExcludeButton->Enabled());
        d.ExcludeEdit->SetText("badly");
        EXPECT_TRUE(d.AddExcludeButton->Enabled());
        Click(d.AddExcludeButton);
        EXPECT_TRUE(dict.ExcludeExists("badly"));
        EXPECT_EQ(Items(*d.ExcludeList), (std::vector<std::string>{"badly", "wrongly"}));
    });
}

TEST_F(DictionaryEditDialogTest, AutoCorrectPagePairsRowsWithTheEdits) {
    dict.AddAutoCorrect("adn", "and");
    Edit(&dict, [&](TCustomDictionaryEditDialog& d) {
        ClickTab(*d.PageControl, d.AutoCorrectWordsSheet);
        TSpellCheckList& list = *d.AutoCorrectList;
        EXPECT_EQ(Rows(list), (std::vector<std::string>{"adn=and", "teh=the"}));
        EXPECT_EQ(list.ColumnWidth(0), d.WithEdit->Left() - d.ReplaceEdit->Left());

        // Selecting a row shows its pair and changes nothing.
        list.Select(1);
        EXPECT_EQ(d.ReplaceEdit->Text(), "teh");
        EXPECT_EQ(d.WithEdit->Text(), "the");
        EXPECT_FALSE(d.AddAutoCorrectButton->Enabled());
        EXPECT_TRUE(d.DeleteAutoCorrectButton->Enabled());
        std::string stored;
        EXPECT_TRUE(dict.AutoCorrectExists("teh", stored));
        EXPECT_EQ(stored, "the");
        // Editing the replacement of the selected row stores it at each keystroke.
        d.WithEdit->SetFocus();
        PostKey(d.WithEdit->Handle(), VK_END);
        PostChars(d.WithEdit->Handle(), "e");
        EXPECT_TRUE(PumpUntil([&] { return d.WithEdit->Text() == "thee"; }));
        EXPECT_TRUE(dict.AutoCorrectExists("teh", stored));
        EXPECT_EQ(stored, "thee");
        EXPECT_EQ(list.SubItem(1), "thee");
        // Emptying it on the way to a new text keeps the stored pair.
        d.WithEdit->SetText("");
        EXPECT_TRUE(dict.AutoCorrectExists("teh", stored));
        EXPECT_EQ(stored, "thee");

        // A new pair: unknown word, both edits filled, Enter in the second edit adds it.
        d.ReplaceEdit->SetText("recieve");
        EXPECT_EQ(list.Focused(), -1);
        EXPECT_FALSE(d.DeleteAutoCorrectButton->Enabled());
        EXPECT_FALSE(d.AddAutoCorrectButton->Enabled()); // no replacement yet
        d.WithEdit->SetText("receive");
        EXPECT_TRUE(d.AddAutoCorrectButton->Enabled());
        d.WithEdit->SetFocus();
        PostKey(d.WithEdit->Handle(), VK_RETURN);
        EXPECT_TRUE(PumpUntil([&] { return list.Count() == 3; }));
        EXPECT_TRUE(dict.AutoCorrectExists("recieve", stored));
        EXPECT_EQ(Rows(list), (std::vector<std::string>{"adn=and", "recieve=receive", "teh=thee"}));
        EXPECT_EQ(list.Selected(), 1);
        EXPECT_FALSE(d.AddAutoCorrectButton->Enabled());
        EXPECT_EQ(d.ModalResult(), mrNone);

        // Words of the other lists cannot become pairs.
        for (const char* w : {"alpha", "wrongly"}) {
            d.ReplaceEdit->SetText(w);
            EXPECT_FALSE(d.AddAutoCorrectButton->Enabled()) << w;
        }

        // A row that loses its selection gets it back from the edit a moment later.
        d.ReplaceEdit->SetText("adn");
        EXPECT_EQ(list.Selected(), 0);
        list.SelectNone();
        EXPECT_TRUE(PumpUntil([&] { return list.Selected() == 0; }, 1000));
        EXPECT_FALSE(d.Timer->Enabled());

        // Deleting the last row selects the new last one.
        list.Select(2);
        EXPECT_EQ(d.ReplaceEdit->Text(), "teh");
        Click(d.DeleteAutoCorrectButton);
        EXPECT_FALSE(dict.AutoCorrectExists("teh", stored));
        EXPECT_EQ(Rows(list), (std::vector<std::string>{"adn=and", "recieve=receive"}));
        EXPECT_EQ(list.Selected(), 1);
        EXPECT_EQ(d.ReplaceEdit->Text(), "recieve");
        EXPECT_EQ(d.WithEdit->Text(), "receive");
    });
}

TEST_F(DictionaryEditDialogTest, PagesCaptionsAndHelpFollowTheCheckerAndTheDictionary) {
    spell->InternalDictionary().AddIgnore("zork");
    const TSpellDialogCommands all = AllSpellDialogCommands;
    struct Case {
        const char* name;
        bool internal;
        TSpellDialogCommands visible;
        bool useExclude;
        int helpContext;
        bool added, autoCorrect, excluded, help;
    } cases[] = {
        {"own dictionary", false, all, true, 0, true, true, true, false},
        {"internal: no excluded page", true, all, true, 0, true, true, false, false},
        {"exclusion off", false, all, false, 0, true, true, false, false},
        {"pairs hidden", false, all & ~SpellCommandBit(sdcAutoCorrectEdit), true, 0, true, false, true,
         false},
        {"added hidden", false, all & ~SpellCommandBit(sdcAddedEdit), true, 0, false, true, true, false},
        {"help", false, all, true, 7, true, true, true, true},
        {"help hidden", false, all & ~SpellCommandBit(sdcHelp), true, 7, true, true, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        spell->CommandsVisible = c.visible;
        spell->UseExcludeWords = c.useExclude;
        spell->HelpCtxDictionaryEditDialog = c.helpContext;
        TCustomDictionary* target = c.internal ? &spell->InternalDictionary() : &dict;
        Edit(target, [&](TCustomDictionaryEditDialog& d) {
            EXPECT_EQ(d.AddedWordsSheet->TabVisible(), c.added);
            EXPECT_EQ(d.AutoCorrectWordsSheet->TabVisible(), c.autoCorrect);
            EXPECT_EQ(d.ExcludedWordsSheet->TabVisible(), c.excluded);
            EXPECT_EQ(d.HelpButton->Visible(), c.help);
            ASSERT_NE(d.PageControl->ActivePage(), nullptr);
            EXPECT_TRUE(d.PageControl->ActivePage()->TabVisible());
            if (c.internal) {
                EXPECT_EQ(d.Caption(), spell->GetString(lsIgnoreAllChangeAllTitle));
                EXPECT_EQ(d.AddedWordsSheet->Caption(), spell->GetString(lsDlgIgnoreAll));
                EXPECT_EQ(d.AutoCorrectWordsSheet->Caption(), spell->GetString(lsDlgChangeAll));
                EXPECT_EQ(Items(*d.IgnoreList), (std::vector<std::string>{"zork"}));
            } else {
                EXPECT_EQ(d.Caption(), "words.wdu");
            }
        });
    }
    // Without a dictionary the dialog closes itself at once.
    TCustomDictionaryEditDialog lone(form);
    spell->SetupDialogControl(&lone, nullptr);
    SetModalHook([&](TCustomForm& f) {
        EXPECT_EQ(f.ModalResult(), mrCancel);
        if (f.ModalResult() == mrNone)
            f.SetModalResult(mrOk);
    });
    EXPECT_EQ(lone.ShowModal(), mrCancel);
}

TEST_F(DictionaryEditDialogTest, EditButtonOfTheDictionariesDialogSavesTheEditedFile) {
    ASSERT_TRUE(dict.SaveAs(tmp.File("words.wdu")));
    spell->ConfigDefaultCustom.Add("words.wdu");
    bool edited = false;
    SetModalHook([&](TCustomForm& f) {
        if (auto* e = dynamic_cast<TCustomDictionaryEditDialog*>(&f)) {
            edited = true;
            EXPECT_EQ(Items(*e->IgnoreList), (std::vector<std::string>{"alpha", "beta", "gamma"}));
            e->IgnoreEdit->SetText("omega");
            Click(e->AddIgnoreButton);
            Click(e->OK);
            return;
        }
        auto& d = dynamic_cast<TCustomDictionariesDialog&>(f);
        TSpellCheckList& list = *d.CustomDictionaries;
        int row = list.FindCaption("words.wdu");
        ASSERT_GE(row, 0);
        list.Select(row);
        EXPECT_TRUE(d.EditButton->Enabled());
        Click(d.EditButton);
        Click(d.OK);
    });
    spell->SetupCustomDictionaries();
    SetModalHook(nullptr);
    EXPECT_TRUE(edited);
    TCustomDictionary reread;
    reread.WriteFilename(tmp.File("words.wdu"));
    EXPECT_TRUE(reread.IgnoreExists("omega"));
    EXPECT_TRUE(reread.IgnoreExists("alpha"));
}
