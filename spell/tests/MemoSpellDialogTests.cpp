// The spell dialog over a code-editor memo, the way the editor runs it: a real memo window, the
// checker with its dialogs, answers given by clicking the dialog's buttons while the check runs.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "UiTestSupport.h"
#include "controls/memo/Memo.h"
#include "controls/textmodel/MemoSource.h"
#include "framework/ui/Forms.h"
#include "spell/MemoParser.h"
#include "spell/OrthosSpell.h"
#include "spell/SpellDialog.h"
#include "spell/tests/SpellTestSupport.h"

namespace {

std::function<void()> gTick;
void CALLBACK TickProc(HWND, UINT, UINT_PTR, DWORD) {
    if (gTick)
        gTick();
}

void Click(TWinControl* b) {
    SendMessageA(b->Handle(), BM_CLICK, 0, 0);
}

class MemoSpellDialogTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        form = new TForm(nullptr);
        form->SetBounds(40, 40, 520, 260);
        memo = new THSMemo(form);
        memo->SetParent(form);
        memo->SetAlign(TAlign::alClient);
        form->Show();
        spell = new TOrthosSpell3(form);
        UseDictionaries(*spell, BuildDictionaryFolder(), tmp);
    }
    void TearDown() override {
        gTick = nullptr;
        delete form; // frees the memo, the checker and its dialog
        UiTest::TearDown();
    }
    std::string Text() const { return memo->GetLines()->GetText(); }
    void RunOnce();

    TempFolder tmp;
    TForm* form = nullptr;
    THSMemo* memo = nullptr;
    TOrthosSpell3* spell = nullptr;
};

} // namespace

TEST_F(MemoSpellDialogTest, ClicksChangeAndIgnoreWordsAndOneUndoTakesTheCheckBack) {
    if (!HaveBuildDictionary())
        GTEST_SKIP() << "American.wdm was not compiled in this build";
    // Modeless, answered through the queue the check pumps; and modal, as the editor runs it.
    for (const bool modal : {false, true}) {
        SCOPED_TRACE(modal ? "modal" : "modeless");
        Boxes.clear();
        // A fresh checker: Ignore All and Change All of the first run live on in its memory.
        delete spell;
        spell = new TOrthosSpell3(form);
        UseDictionaries(*spell, BuildDictionaryFolder(), tmp);
        spell->DialogShowModal = modal;
        spell->DialogSelectionAvoid = modal ? saNone : saAvoid;
        spell->EndMessage = modal ? emAlways : emExceptCancel;
        RunOnce();
    }
}

void MemoSpellDialogTest::RunOnce() {
    spell->SetSpellOptions(spell->Configuration().SpellOptions | SpellOptionBit(soHTML));
    const std::string original = "<p class=\"x\">This sentense has a tpyo,</p>\r\n"
                                 "a <b>speling</b> slip, a qzxv and another speling slip.";
    memo->GetLines()->SetText(original);
    memo->GetSource()->ClearUndoBuffer();

    std::vector<std::string> shown;
    std::vector<std::string> selected; // the memo's selection when each word was shown
    int ticks = 0;
    gTick = [&] {
        if (++ticks > 400) { // about 8 s: give up rather than hang the run
            spell->StopCheck(true);
            return;
        }
        TSpellDialog* d = spell->SpellDialog();
        if (!d || !d->Showing() || !spell->Checking())
            return;
        const std::string word = d->NotFoundEdit->Text();
        if (!shown.empty() && shown.back() == word)
            return; // still the same prompt
        shown.push_back(word);
        selected.push_back(memo->GetSelText());
        if (word == "sentense") {
            EXPECT_GE(d->SuggestionsListbox->Items().IndexOf("sentence"), 0);
            d->ReplaceWithEdit->SetText("sentence");
            Click(d->ChangeButton);
        } else if (word == "tpyo") {
            Click(d->IgnoreButton);
        } else if (word == "speling") {
            d->ReplaceWithEdit->SetText("spelling");
            Click(d->ChangeAllButton);
        } else if (word == "qzxv") {
            Click(d->IgnoreAllButton);
        } else {
            ADD_FAILURE() << "unexpected prompt " << word;
            Click(d->CancelButton);
        }
    };
    UINT_PTR timer = SetTimer(nullptr, 0, 20, TickProc);
    auto* parser = new THSMemoParser();
    parser->Initialize(memo);
    spell->CheckNewParser(parser, ctAll);
    KillTimer(nullptr, timer);
    gTick = nullptr;
    ASSERT_LE(ticks, 400) << "the check did not finish";

    // Tag and attribute names are skipped by the markup option; the second "speling" is changed
    // without a prompt.
    EXPECT_EQ(shown, (std::vector<std::string>{"sentense", "tpyo", "speling", "qzxv"}));
    EXPECT_EQ(selected, shown);
    const std::string checked = "<p class=\"x\">This sentence has a tpyo,</p>\r\n"
                                "a <b>spelling</b> slip, a qzxv and another spelling slip.";
    EXPECT_EQ(Text(), checked);
    EXPECT_FALSE(spell->Cancelled());
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].Text, spell->GetString(lsEndMessage));
    EXPECT_EQ(spell->SpellDialog(), nullptr);

    // The whole check is one step of the memo's undo.
    memo->Undo();
    EXPECT_EQ(Text(), original);
    memo->Redo();
    EXPECT_EQ(Text(), checked);
}
