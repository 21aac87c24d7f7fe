// The spell dialog over a real edit control, driven by button clicks while the check runs, and
// the dialog's states for words without suggestions, doubled words and hidden commands.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "UiTestSupport.h"
#include "framework/ui/Graphics.h"
#include "framework/ui/Menus.h"
#include "framework/ui/PngWriter.h"
#include "spell/OrthosSpell.h"
#include "spell/CustomDictionariesDialog.h"
#include "spell/NewCustomDictionaryDialog.h"
#include "spell/SpellCheckConfigDialog.h"
#include "framework/core/SysUtils.h"
#include "spell/SpellDialog.h"
#include "spell/WinApiControlParser.h"
#include "framework/core/Registry.h"
#include "spell/tests/SpellTestSupport.h"

namespace {

std::function<void()> gTick;
void CALLBACK TickProc(HWND, UINT, UINT_PTR, DWORD) {
    if (gTick)
        gTick();
}

std::string EditText(HWND h) {
    int n = GetWindowTextLengthA(h);
    std::string s(static_cast<size_t>(n) + 1, '\0');
    GetWindowTextA(h, s.data(), n + 1);
    s.resize(static_cast<size_t>(n));
    return s;
}

void Click(TWinControl* b) {
    SendMessageA(b->Handle(), BM_CLICK, 0, 0);
}

class SpellDialogTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        dict = BuildDictionaryFolder();
        haveDictionary = HaveBuildDictionary();
        form = new TForm(nullptr);
        form->SetBounds(50, 50, 500, 200);
        form->Show();
        edit = CreateWindowExA(0, "Edit", "", WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL, 5, 5,
                               400, 100, form->Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
        spell = new TOrthosSpell3(form);
        UseDictionaries(*spell, dict, tmp);
    }
    void TearDown() override {
        gTick = nullptr;
        delete form; // frees the checker and its dialog
        UiTest::TearDown();
    }
    // Runs a whole check of the edit control; Step is called every few milliseconds with the
    // dialog while the check waits for an answer, and answers by clicking.
    void RunCheck(const std::function<void(TSpellDialog&)>& Step, TCheckType Type = ctAll) {
        int ticks = 0;
        gTick = [&] {
            if (++ticks > 400) { // about 8 s: give up rather than hang the run
                spell->StopCheck(true);
                return;
            }
            TSpellDialog* d = spell->SpellDialog();
            if (d && d->Showing() && spell->Checking())
                Step(*d);
        };
        UINT_PTR timer = SetTimer(nullptr, 0, 20, TickProc);
        spell->CheckWinControl(edit, Type);
        KillTimer(nullptr, timer);
        gTick = nullptr;
        ASSERT_LE(ticks, 400) << "the check did not finish";
    }
    // Runs a check in which Step sees each prompt once, when the dialog first shows its word;
    // the words shown are kept in Shown, in order.
    void RunPerWord(std::vector<std::string>& Shown,
                    const std::function<void(TSpellDialog&, const std::string&)>& Step) {
        RunCheck([&](TSpellDialog& d) {
            std::string word = d.NotFoundEdit->Text();
            if (!Shown.empty() && Shown.back() == word)
                return; // still the same prompt
            Shown.push_back(word);
            Step(d, word);
        });
    }

    TempFolder tmp;
    std::string dict;
    bool haveDictionary = false;
    TForm* form = nullptr;
    HWND edit = nullptr;
    TOrthosSpell3* spell = nullptr;
    std::string newName;
};

} // namespace

TEST_F(SpellDialogTest, ClicksChangeIgnoreAndChangeAllWords) {
    if (!haveDictionary)
        GTEST_SKIP() << "American.wdm was not compiled in this build";
    SetWindowTextA(edit, "This sentense has a tpyo, a speling slip and another speling slip.");
    std::vector<std::string> shown;
    bool shot = false;
    RunPerWord(shown, [&](TSpellDialog& d, const std::string& word) {
        EXPECT_EQ(d.Caption(), spell->GetString(lsSpelling));
        EXPECT_EQ(d.NotFoundText->Caption(), spell->GetString(lsDlgNotFound));
        EXPECT_EQ(d.CancelButton->Caption(), spell->GetString(lsDlgCancel));
        if (word == "sentense") {
            if (!shot) {
                shot = true;
                TBitmap bmp;
                CaptureClient(d, bmp);
                auto dir = std::filesystem::path(ProgramFolder()).parent_path() / "test-output" / "spell";
                std::filesystem::create_directories(dir);
                SavePng(bmp, (dir / "spell_dialog.png").string());
            }
            EXPECT_GE(d.SuggestionsListbox->Items().IndexOf("sentence"), 0);
            d.ReplaceWithEdit->SetText("sentence");
            Click(d.ChangeButton);
        } else if (word == "tpyo") {
            Click(d.IgnoreButton);
        } else if (word == "speling") {
            d.ReplaceWithEdit->SetText("spelling");
            Click(d.ChangeAllButton);
        } else {
            ADD_FAILURE() << "unexpected prompt " << word;
            Click(d.CancelButton);
        }
    });
    EXPECT_EQ(shown, (std::vector<std::string>{"sentense", "tpyo", "speling"}));
    EXPECT_EQ(EditText(edit), "This sentence has a tpyo, a spelling slip and another spelling slip.");
    EXPECT_FALSE(spell->Cancelled());
    // The end message, from the language strings, through the box seam.
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].Text, spell->GetString(lsEndMessage));
    EXPECT_EQ(spell->SpellDialog(), nullptr);
}

TEST_F(SpellDialogTest, WordWithoutSuggestionsAndCancel) {
    if (!haveDictionary)
        GTEST_SKIP() << "American.wdm was not compiled in this build";
    SetWindowTextA(edit, "A qqxzqjv here and a tset there.");
    std::vector<std::string> shown;
    RunPerWord(shown, [&](TSpellDialog& d, const std::string&) {
        EXPECT_EQ(d.SuggestionsListbox->Items().Count(), 1);
        EXPECT_EQ(d.SuggestionsListbox->Items()[0], spell->GetString(lsMnNoSuggestions));
        EXPECT_FALSE(d.SuggestionsListbox->Enabled());
        EXPECT_EQ(d.ReplaceWithEdit->Text(), "");
        EXPECT_FALSE(d.ChangeButton->Enabled());
        EXPECT_FALSE(d.ChangeAllButton->Enabled());
        EXPECT_FALSE(d.AutoCorrectButton->Enabled());
        EXPECT_TRUE(d.AddButton->Enabled());
        Click(d.CancelButton);
    });
    EXPECT_EQ(shown, (std::vector<std::string>{"qqxzqjv"}));
    EXPECT_TRUE(spell->Cancelled());
    EXPECT_EQ(EditText(edit), "A qqxzqjv here and a tset there.");
    EXPECT_TRUE(Boxes.empty()); // no end message after a cancel
}

TEST_F(SpellDialogTest, DoubledWordIsDeletedByChange) {
    if (!haveDictionary)
        GTEST_SKIP() << "American.wdm was not compiled in this build";
    SetWindowTextA(edit, "It is the the end.");
    spell->EndMessageWordCount = true;
    int prompts = 0;
    RunCheck([&](TSpellDialog& d) {
        if (prompts++ > 0)
            return;
        EXPECT_TRUE(d.RepeatedMode());
        EXPECT_EQ(d.NotFoundText->Caption(), spell->GetString(lsDlgRepeatedWord));
        EXPECT_EQ(d.ReplaceWithEdit->Text(), "the");
        EXPECT_TRUE(d.IgnoreButton->Enabled());
        EXPECT_TRUE(d.ChangeButton->Enabled());
        EXPECT_FALSE(d.IgnoreAllButton->Enabled());
        EXPECT_FALSE(d.AddButton->Enabled());
        Click(d.ChangeButton);
    });
    EXPECT_EQ(EditText(edit), "It is the end.");
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].Text,
              spell->GetString(lsEndMessage) + "\r\n\r\n" + spell->GetString(lsWordsChecked) + " 5");
}

TEST_F(SpellDialogTest, HiddenCommandsAndNoUserDictionary) {
    spell->ConfigDefaultActiveCustom = "";
    spell->CommandsVisible &= ~SpellCommandBit(sdcOptions);
    spell->HelpCtxSpellDialog = 0;
    TSpellDialog d(spell);
    spell->SetupDialogControl(&d, nullptr);
    EXPECT_EQ(d.UndoButton->Top(), d.OptionsButton->Top());
    EXPECT_FALSE(d.OptionsButton->Visible());
    EXPECT_FALSE(d.HelpButton->Visible()); // no help context, though its bit is visible
    d.DialogControl->FirePromptWord("wrod", false);
    EXPECT_FALSE(d.AddButton->Enabled());
    EXPECT_FALSE(d.AutoCorrectButton->Enabled());
    EXPECT_EQ(d.NotFoundEdit->Text(), "wrod");
    // A bridge without a checker answers nothing.
    TConfigurationDialogCtrl lone(nullptr);
    EXPECT_EQ(lone.GetString(lsDlgOK), "");
    EXPECT_EQ(lone.ReadCommandsVisible(), 0u);
    EXPECT_TRUE(lone.ReadUseExcludeWords());
}

TEST_F(SpellDialogTest, SelectionQuestionUsesTheLanguageStrings) {
    if (!haveDictionary)
        GTEST_SKIP() << "American.wdm was not compiled in this build";
    spell->UILanguage = ltGerman;
    SetWindowTextA(edit, "good words only here");
    SendMessageA(edit, EM_SETSEL, 0, 4);
    BoxAnswer = IDNO;
    RunCheck([](TSpellDialog&) {}, ctSmart);
    ASSERT_FALSE(Boxes.empty());
    EXPECT_EQ(Boxes[0].Text, GetString(lsEndSelectionMessage, ltGerman));
    EXPECT_EQ(Boxes[0].Caption, GetString(lsSpelling, ltGerman));
    EXPECT_NE(Boxes[0].Text, GetString(lsEndSelectionMessage, ltEnglish));
}

namespace {

const char* const kEditorKey = "Software\\Nortavia\\ZEL Orvalent Lite v2\\Dictionary";

std::string RegValue(const std::string& id, const std::string& name) {
    TRegistry reg;
    if (!reg.OpenKeyReadOnly(std::string("\\") + kEditorKey + "\\" + id) || !reg.ValueExists(name))
        return "<absent>";
    return reg.ReadString(name);
}

void UseEditorKey(TOrthosSpell3& spell, const std::string& id, const std::string& dict) {
    spell.ConfigStorage = TConfigStorage::csRegistry;
    spell.ConfigRegistryKey = kEditorKey;
    spell.ConfigID = id;
    spell.ConfigDictionaryDir.Clear();
    spell.ConfigDictionaryDir.Add(dict);
    spell.ConfigDefaultActiveCustom = "";
}

} // namespace

TEST_F(SpellDialogTest, OptionsDialogWritesTheValueNamesAndReadsThemBack) {
    if (!haveDictionary)
        GTEST_SKIP() << "American.wdm was not compiled in this build";
    std::string id = "DialogTest" + std::to_string(GetCurrentProcessId());
    TRegistry().DeleteKey(std::string("\\") + kEditorKey + "\\" + id);
    UseEditorKey(*spell, id, dict);
    bool ran = false;
    SetModalHook([&](TCustomForm& f) {
        auto& d = dynamic_cast<TSpellCheckConfigDialog&>(f);
        ran = true;
        EXPECT_EQ(d.Caption(), spell->GetString(lsSpellingOptions));
        // Four options offered: six boxes hidden and their room given back.
        EXPECT_EQ(d.ClientHeight(), 397 - 6 * 16);
        EXPECT_EQ(d.Option[0]->Caption(), spell->GetString(lsIgnoreUpcase));
        EXPECT_EQ(d.Option[3]->Caption(), spell->GetString(lsRepeated));
        EXPECT_FALSE(d.Option[4]->Visible());
        EXPECT_FALSE(d.Option[0]->Checked());
        EXPECT_TRUE(d.Option[3]->Checked());
        EXPECT_TRUE(d.ResetButton->Enabled());
        Click(d.Option[0]); // ignore upper case on
        Click(d.Option[3]); // repeated words off
        int american = -1, kivra = -1;
        for (int i = 0; i < d.MainDictionaries->Count(); ++i) {
            if (d.MainDictionaries->SubItem(i) == "American.wdm")
                american = i;
            if (d.MainDictionaries->SubItem(i) == "KivraAdd.wdm")
                kivra = i;
        }
        ASSERT_GE(american, 0);
        ASSERT_GE(kivra, 0);
        EXPECT_TRUE(d.MainDictionaries->Checked(american));
        EXPECT_NE(d.MainDictionaries->Caption(american), "???");
        d.MainDictionaries->SetChecked(kivra, true);
        d.MainDictionaries->SetChecked(american, false);
        Click(d.OK);
    });
    spell->Setup();
    SetModalHook(nullptr);
    ASSERT_TRUE(ran);
    EXPECT_EQ(RegValue(id, "_FirstRun"), "+");
    EXPECT_EQ(RegValue(id, "_soUpcase"), "+");
    EXPECT_EQ(RegValue(id, "_soRepeated"), "-");
    EXPECT_EQ(RegValue(id, "_soLiveSpelling"), "+");
    EXPECT_EQ(RegValue(id, "_Main_count"), "1");
    EXPECT_EQ(RegValue(id, "_Main_0"), "KivraAdd.wdm");

    // A second checker reads them back and shows them.
    auto* again = new TOrthosSpell3(form);
    UseEditorKey(*again, id, dict);
    again->CommandsEnabled &= ~SpellCommandBit(sdcResetDefaults);
    ran = false;
    SetModalHook([&](TCustomForm& f) {
        auto& d = dynamic_cast<TSpellCheckConfigDialog&>(f);
        ran = true;
        EXPECT_TRUE(d.Option[0]->Checked());
        EXPECT_FALSE(d.Option[3]->Checked());
        for (int i = 0; i < d.MainDictionaries->Count(); ++i)
            EXPECT_EQ(d.MainDictionaries->Checked(i), d.MainDictionaries->SubItem(i) == "KivraAdd.wdm")
                << d.MainDictionaries->SubItem(i);
        // Visible but not allowed: the reset button is shown disabled.
        EXPECT_TRUE(d.ResetButton->Visible());
        EXPECT_FALSE(d.ResetButton->Enabled());
        f.SetModalResult(mrOk);
    });
    again->Setup();
    SetModalHook(nullptr);
    EXPECT_TRUE(ran);
    EXPECT_EQ(again->Configuration().ReadSpellOptions() & SpellOptionBit(soUpcase), SpellOptionBit(soUpcase));
    TRegistry().DeleteKey(std::string("\\") + kEditorKey + "\\" + id);
}

TEST_F(SpellDialogTest, UserDictionariesDialogSwitchesRenamesCreatesAndDeletes) {
    for (const char* n : {"alpha.wdu", "beta.wdu"}) {
        TCustomDictionary d;
        d.WriteFilename(tmp.File(n));
        d.SaveAs(tmp.File(n));
    }
    spell->ConfigDictionaryDir.Clear();
    spell->ConfigDictionaryDir.Add(tmp.Path());
    spell->ConfigDefaultActiveCustom = "alpha.wdu";
    BoxAnswer = IDYES;
    bool ran = false;
    SetModalHook([&](TCustomForm& f) {
        if (auto* ask = dynamic_cast<TNewCustomDictionary*>(&f)) {
            EXPECT_EQ(ask->Caption(), spell->GetString(lsNewCustomTitle));
            ask->NameEdit->SetText(newName);
            Click(ask->OKButton);
            return;
        }
        auto& d = dynamic_cast<TCustomDictionariesDialog&>(f);
        ran = true;
        TSpellCheckList& list = *d.CustomDictionaries;
        auto row = [&](const std::string& caption) {
            for (int i = 0; i < list.Count(); ++i)
                if (list.Caption(i) == caption)
                    return i;
            return -1;
        };
        ASSERT_EQ(list.Count(), 2);
        EXPECT_TRUE(list.Checked(row("alpha.wdu")));
        EXPECT_FALSE(list.Checked(row("beta.wdu")));
        EXPECT_FALSE(d.DeleteButton->Enabled());
        // Rebuilding the list frees the rows of the old one.
        d.PopulateList();
        d.PopulateList();
        EXPECT_EQ(d.EntryCount(), 2u);

        list.SetChecked(row("beta.wdu"), true);
        EXPECT_GE(spell->Configuration().CustomDictionaries.IndexOf("beta.wdu"), 0);

        bool accept = false;
        list.OnEdited(&list, row("beta.wdu"), "gamma", accept);
        EXPECT_TRUE(accept);
        EXPECT_TRUE(FileExists(tmp.File("gamma.wdu")));
        EXPECT_FALSE(FileExists(tmp.File("beta.wdu")));
        EXPECT_GE(spell->Configuration().CustomDictionaries.IndexOf("gamma.wdu"), 0);

        newName = "alpha"; // already listed: only selected
        Click(d.NewButton);
        EXPECT_EQ(list.Count(), 2);
        EXPECT_EQ(list.Selected(), row("alpha.wdu"));
        newName = "delta.txt";
        Click(d.NewButton);
        EXPECT_TRUE(FileExists(tmp.File("delta.wdu")));
        ASSERT_GE(row("delta.wdu"), 0);
        EXPECT_EQ(list.Selected(), row("delta.wdu"));
        EXPECT_EQ(d.EntryCount(), static_cast<size_t>(list.Count()));

        EXPECT_TRUE(d.DeleteButton->Enabled());
        Click(d.DeleteButton);
        ASSERT_EQ(Boxes.size(), 1u);
        EXPECT_EQ(Boxes[0].Text, spell->GetString(lsRemoveCustomDict));
        EXPECT_EQ(Boxes[0].Caption, spell->GetString(lsConfirmation));
        EXPECT_FALSE(FileExists(tmp.File("delta.wdu")));
        EXPECT_EQ(row("delta.wdu"), -1);
        Click(d.OK);
    });
    spell->SetupCustomDictionaries();
    SetModalHook(nullptr);
    EXPECT_TRUE(ran);
}

namespace {

std::vector<std::string> Captions(TMenuItem* parent) {
    std::vector<std::string> out;
    for (int i = 0; i < parent->Count(); ++i)
        out.push_back(parent->Items(i)->Caption());
    return out;
}

TMenuItem* FindItem(TMenuItem* parent, const std::string& caption) {
    for (int i = 0; i < parent->Count(); ++i)
        if (parent->Items(i)->Caption() == caption)
            return parent->Items(i);
    return nullptr;
}

} // namespace

TEST_F(SpellDialogTest, PopupMenuOffersSuggestionsAndAnswers) {
    if (!haveDictionary)
        GTEST_SKIP() << "American.wdm was not compiled in this build";
    const TSpellPopupOptions all = 0xFF;
    std::vector<std::string> top;
    spell->OnPopupDoMenu = [&](TObject*, TPopupMenu* menu, int, int, int& action, std::string& word) {
        top = Captions(menu->Items());
        if (FindItem(menu->Items(), "spelling")) {
            action = spReplace;
            word = "spelling";
        } else {
            action = spAdd;
        }
    };
    std::string word = "speling";
    EXPECT_EQ(spell->ShowPopupMenu(form, all, 10, 10, word), spReplace);
    EXPECT_EQ(word, "spelling");
    ASSERT_FALSE(top.empty());
    EXPECT_NE(std::find(top.begin(), top.end(), spell->GetString(lsMnChangeAll)), top.end());
    EXPECT_NE(std::find(top.begin(), top.end(), spell->GetString(lsMnAutoCorrect)), top.end());
    EXPECT_EQ(top.back(), spell->GetString(lsMnSpelling));

    // No suggestions: one disabled entry and no submenus; Add stores the word.
    bool disabledFirst = false;
    spell->OnPopupDoMenu = [&](TObject*, TPopupMenu* menu, int, int, int& action, std::string&) {
        top = Captions(menu->Items());
        disabledFirst = !menu->Items()->Items(0)->Enabled();
        action = spAdd;
    };
    word = "qqxzqjv";
    EXPECT_EQ(spell->ShowPopupMenu(form, all, 10, 10, word), spAdd);
    EXPECT_EQ(top.front(), spell->GetString(lsMnNoSuggestions));
    EXPECT_TRUE(disabledFirst);
    EXPECT_EQ(std::find(top.begin(), top.end(), spell->GetString(lsMnChangeAll)), top.end());
    TCustomDictionary user;
    user.WriteFilename(tmp.File("user.wdu"));
    EXPECT_TRUE(user.IgnoreExists("qqxzqjv"));

    // An empty word shows nothing.
    bool shown = false;
    spell->OnPopupDoMenu = [&](TObject*, TPopupMenu*, int, int, int&, std::string&) { shown = true; };
    word.clear();
    EXPECT_EQ(spell->ShowPopupMenu(form, all, 10, 10, word), spCancel);
    EXPECT_FALSE(shown);
}

TEST_F(SpellDialogTest, PopupMenuWithoutUserDictionary) {
    if (!haveDictionary)
        GTEST_SKIP() << "American.wdm was not compiled in this build";
    spell->ConfigDefaultActiveCustom = "";
    std::vector<std::string> top;
    bool addEnabled = true;
    spell->OnPopupDoMenu = [&](TObject*, TPopupMenu* menu, int, int, int&, std::string&) {
        top = Captions(menu->Items());
        if (TMenuItem* add = FindItem(menu->Items(), spell->GetString(lsMnAdd)))
            addEnabled = add->Enabled();
    };
    std::string word = "speling";
    EXPECT_EQ(spell->ShowPopupMenu(form, 0xFF, 10, 10, word), spCancel);
    EXPECT_EQ(word, "speling");
    EXPECT_FALSE(addEnabled);
    EXPECT_EQ(std::find(top.begin(), top.end(), spell->GetString(lsMnAutoCorrect)), top.end());
}

TEST_F(SpellDialogTest, BrowseRowAddsAFolderAndNeverStaysChecked) {
    TempFolder extra;
    {
        std::vector<uint8_t> wdm = TinyWdm{}.Build();
        WriteBytes(extra.File("Tiny.wdm"), wdm);
    }
    spell->ConfigDictionaryDir.Clear();
    spell->ConfigDictionaryDir.Add(tmp.Path());
    spell->ConfigDefaultMain.Clear();
    int browsed = 0;
    spell->OnShowAddDictionaryDir = [&](TObject*, TComponent*) {
        ++browsed;
        spell->Configuration().ReadNewDictionaryPaths().Add(extra.Path());
    };
    bool ran = false;
    SetModalHook([&](TCustomForm& f) {
        auto& d = dynamic_cast<TSpellCheckConfigDialog&>(f);
        ran = true;
        TSpellCheckList& list = *d.MainDictionaries;
        ASSERT_EQ(list.Count(), 1); // only the browse row
        EXPECT_EQ(list.Caption(0), spell->GetString(lsDlgBrowseForMain));
        list.SetChecked(0, true);
        EXPECT_FALSE(list.Checked(0));
        Application->ProcessMessages();
        EXPECT_EQ(browsed, 1);
        ASSERT_EQ(list.Count(), 2);
        EXPECT_EQ(list.SubItem(0), "Tiny.wdm");
        EXPECT_FALSE(list.Checked(0));
        EXPECT_EQ(list.Caption(1), spell->GetString(lsDlgBrowseForMain));
        list.SetChecked(0, true);
        EXPECT_EQ(spell->Configuration().MainDictionaries.GetText(), "Tiny.wdm\r\n");
        f.SetModalResult(mrOk);
    });
    spell->Setup();
    SetModalHook(nullptr);
    EXPECT_TRUE(ran);
}

TEST_F(SpellDialogTest, EditingWhileTheDialogIsInactiveResumesFromTheCaret) {
    if (!haveDictionary)
        GTEST_SKIP() << "American.wdm was not compiled in this build";
    SetWindowTextA(edit, "A sentense and a tpyo.");
    std::vector<std::string> shown;
    RunPerWord(shown, [&](TSpellDialog& d, const std::string& word) {
        if (word == "sentense") {
            SendMessageA(d.Handle(), WM_ACTIVATE, WA_INACTIVE, 0);
            EXPECT_TRUE(d.Deactivated());
            EXPECT_FALSE(d.IgnoreButton->Enabled());
            // The user mends the word in the document, with the caret at the start.
            SetWindowTextA(edit, "A sentence and a tpyo.");
            SendMessageA(edit, EM_SETSEL, 0, 0);
            SendMessageA(d.Handle(), WM_ACTIVATE, WA_ACTIVE, 0);
            return;
        }
        EXPECT_FALSE(d.Deactivated());
        EXPECT_TRUE(d.IgnoreButton->Enabled());
        Click(d.IgnoreButton);
    });
    EXPECT_EQ(shown, (std::vector<std::string>{"sentense", "tpyo"}));
    EXPECT_EQ(EditText(edit), "A sentence and a tpyo.");
}

namespace {

RECT WindowRect(TWinControl& w) {
    RECT r{};
    GetWindowRect(w.Handle(), &r);
    return r;
}

} // namespace

TEST_F(SpellDialogTest, DialogPlacementFollowsTheInitialPosition) {
    if (!haveDictionary)
        GTEST_SKIP() << "American.wdm was not compiled in this build";
    TWinAPIControlParser probe;
    probe.Initialize(edit);
    RECT control{};
    probe.GetControlScreenPosition(control);
    const int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
    struct Case {
        const char* name;
        TSpellDialogInitialPos pos;
        int storedX, storedY; // the configuration's last position before the check
        bool remembers;       // the position is stored again at the end
    } cases[] = {
        {"screen centre", ipScreenCenter, -1, -1, false},
        {"below the control", ipAvoidControl, -1, -1, false},
        {"by the program", ipUserDefined, -1, -1, false},
        {"last position", ipLastUserPos, 120, 130, true},
        {"no last position yet", ipLastUserPos, -1, -1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetWindowTextA(edit, "One tpyo here.");
        spell->DialogInitialPos = c.pos;
        spell->DialogSelectionAvoid = saNone;
        spell->Configuration().WriteDialogX(c.storedX);
        spell->Configuration().WriteDialogY(c.storedY);
        int positioned = 0;
        spell->OnPositionDialog = [&](TObject*) {
            ++positioned;
            spell->SpellForm()->SetBounds(33, 44, spell->SpellForm()->Width(), spell->SpellForm()->Height());
        };
        RECT at{};
        RunCheck([&](TSpellDialog& d) {
            at = WindowRect(d);
            Click(d.CancelButton);
        });
        const int w = at.right - at.left, h = at.bottom - at.top;
        switch (c.pos) {
        case ipScreenCenter:
            EXPECT_NEAR(at.left, (screenW - w) / 2, 2);
            EXPECT_NEAR(at.top, (screenH - h) / 2, 2);
            break;
        case ipUserDefined:
            EXPECT_EQ(positioned, 1);
            EXPECT_EQ(at.left, 33);
            EXPECT_EQ(at.top, 44);
            break;
        case ipLastUserPos:
            if (c.storedX != -1) {
                EXPECT_EQ(at.left, c.storedX);
                EXPECT_EQ(at.top, c.storedY);
                break;
            }
            [[fallthrough]];
        default:
            EXPECT_EQ(at.left, control.left);
            EXPECT_EQ(at.top, control.bottom);
            break;
        }
        if (c.pos != ipUserDefined) {
            EXPECT_EQ(positioned, 0);
        }
        EXPECT_EQ(spell->Configuration().ReadDialogX(), c.remembers ? at.left : c.storedX);
        EXPECT_EQ(spell->Configuration().ReadDialogY(), c.remembers ? at.top : c.storedY);
    }
}

TEST_F(SpellDialogTest, DialogKeepsClearOfTheWordShown) {
    if (!haveDictionary)
        GTEST_SKIP() << "American.wdm was not compiled in this build";
    // The program puts the dialog right over the text; the avoidance rule decides what follows.
    struct Case {
        TSpellDialogAvoidPos avoid;
        bool overlaps;
        bool besideSelection; // left edge at the word, top edge under it
    } cases[] = {
        {saNone, true, false},
        {saAvoid, false, true},
        {saAvoidUpDown, false, false},
        {saMove, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.avoid));
        SetWindowTextA(edit, "Some tpyo.");
        spell->DialogInitialPos = ipUserDefined;
        spell->DialogSelectionAvoid = c.avoid;
        spell->OnPositionDialog = [&](TObject*) {
            RECT e{};
            GetWindowRect(edit, &e);
            spell->SpellForm()->SetBounds(e.left, e.top, spell->SpellForm()->Width(),
                                          spell->SpellForm()->Height());
        };
        RECT at{}, sel{};
        RunCheck([&](TSpellDialog& d) {
            TWinAPIControlParser probe;
            probe.Initialize(edit);
            probe.GetSelectionScreenPosition(sel);
            at = WindowRect(d);
            Click(d.CancelButton);
        });
        RECT overlap{};
        EXPECT_EQ(IntersectRect(&overlap, &at, &sel) != FALSE, c.overlaps);
        if (c.besideSelection) {
            EXPECT_EQ(at.left, sel.left);
            EXPECT_EQ(at.top, sel.bottom);
        }
    }
}

TEST_F(SpellDialogTest, ModalDialogRunsTheCheckFromItsOwnLoop) {
    if (!haveDictionary)
        GTEST_SKIP() << "American.wdm was not compiled in this build";
    for (bool immediate : {false, true}) {
        SCOPED_TRACE(immediate ? "shown at once" : "shown at the first word");
        SetWindowTextA(edit, "A tpyo and a speling slip.");
        spell->DialogShowModal = true;
        spell->DialogShowImmediate = immediate;
        spell->EndMessage = emNever;
        std::vector<std::string> shown;
        bool modal = true;
        RunPerWord(shown, [&](TSpellDialog& d, const std::string& word) {
            modal = modal && d.ShowingModal();
            d.ReplaceWithEdit->SetText(word == "tpyo" ? "typo" : "spelling");
            Click(d.ChangeButton);
        });
        EXPECT_EQ(shown, (std::vector<std::string>{"tpyo", "speling"}));
        EXPECT_TRUE(modal);
        EXPECT_EQ(EditText(edit), "A typo and a spelling slip.");
        EXPECT_FALSE(spell->Checking());
        EXPECT_EQ(spell->SpellForm(), nullptr);
    }
    // Closed by its frame instead of an answer: the check ends as cancelled and nothing waits.
    SetWindowTextA(edit, "Another tpyo.");
    spell->DialogShowImmediate = false;
    RunCheck([&](TSpellDialog& d) { PostMessageA(d.Handle(), WM_CLOSE, 0, 0); });
    EXPECT_FALSE(spell->Checking());
    EXPECT_TRUE(spell->Cancelled());
    EXPECT_EQ(EditText(edit), "Another tpyo.");
}

TEST_F(SpellDialogTest, SuppliedDialogIsUsedAndHandedBack) {
    if (!haveDictionary)
        GTEST_SKIP() << "American.wdm was not compiled in this build";
    SetWindowTextA(edit, "One tpyo, one speling.");
    TSpellDialog* mine = nullptr;
    std::vector<std::pair<TForm*, bool>> calls;
    spell->OnCreateSpellDialog = [&](TObject*, TForm*& f, bool create) {
        calls.emplace_back(f, create);
        if (create)
            f = mine = new TSpellDialog(form);
        else
            f->Release(); // the answer that ended the check may still run inside it
    };
    std::vector<std::string> shown;
    RunPerWord(shown, [&](TSpellDialog& d, const std::string&) {
        EXPECT_EQ(&d, mine);
        Click(d.IgnoreButton);
    });
    EXPECT_EQ(shown.size(), 2u);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_TRUE(calls[0].second);
    EXPECT_EQ(calls[1].first, mine);
    EXPECT_FALSE(calls[1].second);
    EXPECT_EQ(spell->SpellForm(), nullptr);
}

TEST_F(SpellDialogTest, PopupMenuAndItemsMadeByTheProgram) {
    if (!haveDictionary)
        GTEST_SKIP() << "American.wdm was not compiled in this build";
    TPopupMenu* supplied = nullptr;
    spell->OnPopupCreateMenu = [&](TObject*, TComponent*, TPopupMenu*& menu) {
        menu = supplied = new TPopupMenu(form);
    };
    struct Made {
        std::string caption;
        bool hasChildren;
        int tag;
        bool sub;
    };
    std::vector<Made> made;
    spell->OnPopupAddMenuItem = [&](TObject*, TPopupMenu* menu, TMenuItem* subMenu,
                                    const std::string& caption, bool enable, bool hasChildren, int tag,
                                    TMenuItem*& item) {
        made.push_back({caption, hasChildren, tag, subMenu != nullptr});
        item = new TMenuItem(menu);
        item->SetCaption(caption);
        item->SetEnabled(enable);
        item->SetTag(tag);
        (subMenu ? subMenu : menu->Items())->Add(item);
    };
    spell->OnPopupDoMenu = [&](TObject*, TPopupMenu* menu, int, int, int&, std::string&) {
        EXPECT_EQ(menu, supplied);
        // The program's own item answers through the hook.
        spell->PopupMenuHook(FindItem(menu->Items(), spell->GetString(lsMnIgnoreAll)));
    };
    std::vector<TSpellPopupOption> heard;
    TObject listener;
    spell->AddPopupResultListener(&listener, [&](TObject*, TSpellPopupOption r) { heard.push_back(r); });
    std::string word = "speling";
    EXPECT_EQ(spell->ShowPopupMenu(form, 0xFF, 10, 10, word), spIgnoreAll);
    EXPECT_TRUE(spell->InternalDictionary().IgnoreExists("speling"));
    EXPECT_EQ(heard, (std::vector<TSpellPopupOption>{spIgnoreAll}));
    auto parent = std::find_if(made.begin(), made.end(),
                               [&](const Made& m) { return m.caption == spell->GetString(lsMnChangeAll); });
    ASSERT_NE(parent, made.end());
    EXPECT_TRUE(parent->hasChildren);
    EXPECT_TRUE(
        std::any_of(made.begin(), made.end(), [](const Made& m) { return m.sub && m.tag == spChangeAll; }));
    EXPECT_TRUE(std::none_of(made.begin(), made.end(), [](const Made& m) { return m.sub && m.hasChildren; }));

    spell->RemovePopupResultListener(&listener);
    word = "speling";
    spell->ShowPopupMenu(form, 0xFF, 10, 10, word);
    EXPECT_EQ(heard.size(), 1u);
}

TEST_F(SpellDialogTest, InterfaceFontsReachTheDialogsOnlyWhenAskedFor) {
    spell->UILanguageFontControls().SetName("Tahoma");
    spell->UILanguageFontControls().SetHeight(-15);
    spell->UILanguageFontText().SetName("Courier New");
    spell->UILanguageFontText().SetHeight(-17);
    {
        TSpellDialog d(spell);
        const std::string before = d.IgnoreButton->Font().Name();
        spell->SetupFormFonts(&d, true); // UILanguageUseFonts is off
        EXPECT_EQ(d.IgnoreButton->Font().Name(), before);
        EXPECT_EQ(d.ReplaceWithEdit->Font().Name(), before);
    }
    spell->UILanguageUseFonts = true;
    struct Case {
        bool textFont;
        const char* listFont;
    } cases[] = {{true, "Courier New"}, {false, "Tahoma"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.textFont);
        TSpellDialog d(spell);
        spell->SetupFormFonts(&d, c.textFont);
        EXPECT_EQ(d.IgnoreButton->Font().Name(), "Tahoma");
        EXPECT_EQ(d.NotFoundText->Font().Height(), -15);
        EXPECT_EQ(d.SuggestionsListbox->Font().Name(), c.listFont);
        EXPECT_EQ(d.ReplaceWithEdit->Font().Name(), c.listFont);
        // Copied, not shared: the checker's font stays as it is.
        d.IgnoreButton->Font().SetName("Arial");
        EXPECT_EQ(spell->UILanguageFontControls().Name(), "Tahoma");
    }
    // An assigned event replaces the options dialog entirely: no modal form is shown.
    int shown = 0, replaced = 0;
    SetModalHook([&](TCustomForm& f) {
        ++shown;
        f.SetModalResult(mrCancel);
    });
    spell->OnShowConfigDialog = [&](TObject* sender, TComponent* owner) {
        ++replaced;
        EXPECT_EQ(sender, spell);
        EXPECT_EQ(owner, spell);
    };
    spell->Setup();
    SetModalHook(nullptr);
    EXPECT_EQ(replaced, 1);
    EXPECT_EQ(shown, 0);
}
