#include "spell/SpellBase.h"

#include <algorithm>
#include <cctype>

#include "framework/core/SysUtils.h"
#include "framework/ui/Dialogs.h"
#include "spell/IgnoreRules.h"
#include "spell/SpellUtils.h"
#include "spell/StringParser.h"
#include "spell/WinApiControlParser.h"

ZEL_DEFINE_CLASS(TOrthosSpell3Base, TComponent, {})

TOrthosSpell3Base::TOrthosSpell3Base(TComponent* AOwner) : TComponent(AOwner) {
    ConfigDictionaryDir.Add("%AppDir%");
    ConfigDefaultMain.Add("American.wdm");
    FConfig.Owner = this;
}

TOrthosSpell3Base::~TOrthosSpell3Base() {
    if (FChecking && FFreeParser)
        delete FParser;
    FParser = nullptr;
    FChecking = false;
    FKeepDictionariesActive = false;
    UnloadDictionaries();
    // Saved while the component's settings still exist; the configuration outlives this body.
    FConfig.SaveConfiguration();
    FConfig.Owner = nullptr;
}

std::string TOrthosSpell3Base::Version() const {
    return GetOrthosVersion();
}

void TOrthosSpell3Base::WriteQuoteChars(const std::string& Value) {
    FQuoteChars = Value;
    ResynchOptions(true);
}

void TOrthosSpell3Base::WriteKeepDictionariesActive(bool Value) {
    FKeepDictionariesActive = Value;
    if (!Value)
        UnloadDictionaries();
}

TOrthosConfig& TOrthosSpell3Base::Configuration() {
    EnsureConfig();
    return FConfig;
}

void TOrthosSpell3Base::EnsureConfig() {
    if (FConfig.Loaded)
        return;
    FConfig.LoadConfiguration();
    ResynchOptions(false);
}

void TOrthosSpell3Base::FireConfigurationChanged(bool Reload) {
    FAvailableMSWordCustom.Clear();
    FAvailableMain.Clear();
    FAvailableCustom.Clear();
    if (Reload && FDictionariesActive && !FChecking)
        ReloadDictionaries();
    ResynchOptions(false);
    if (OnConfigChanged)
        OnConfigChanged(this);
    FConfigChangedList.Notify(this);
}

void TOrthosSpell3Base::AddIgnoreWordListener(TObject* Listener, TIgnoreWordEvent Handler) {
    for (auto& l : FIgnoreWordListeners)
        if (l.first == Listener)
            return;
    FIgnoreWordListeners.emplace_back(Listener, std::move(Handler));
}

void TOrthosSpell3Base::RemoveIgnoreWordListener(TObject* Listener) {
    std::erase_if(FIgnoreWordListeners, [Listener](const auto& l) { return l.first == Listener; });
}

std::string TOrthosSpell3Base::FireReadString(const std::string& Section, const std::string& Key,
                                              const std::string& Default) {
    std::string value = Default;
    if (OnConfigReadString)
        OnConfigReadString(this, Section, Key, value);
    return value;
}

void TOrthosSpell3Base::FireWriteString(const std::string& Section, const std::string& Key,
                                        const std::string& Value) {
    if (OnConfigWriteString)
        OnConfigWriteString(this, Section, Key, Value);
}

void TOrthosSpell3Base::FireConfigLoaded() {
    if (OnConfigLoaded)
        OnConfigLoaded(this);
}

void TOrthosSpell3Base::FireConfigSaved() {
    if (OnConfigSaved)
        OnConfigSaved(this);
}

std::string TOrthosSpell3Base::GetString(TSpellLanguageString Id) {
    std::string text = ::GetString(Id, UILanguage);
    if (OnGetString)
        OnGetString(this, Id, text);
    return text;
}

void TOrthosSpell3Base::SetSpellOptions(TSpellOptions Options) {
    EnsureConfig();
    FConfig.WriteSpellOptions(Options);
    ResynchOptions(false);
}

void TOrthosSpell3Base::ResynchOptions(bool Force) {
    if (!FConfig.Loaded)
        return;
    TSpellOptions o = FConfig.SpellOptions;
    if (FOptionsStored && o == FStoredOptions && !Force)
        return;
    FOptionsStored = true;
    FStoredOptions = o;
    ClearIgnoreList();
    auto on = [o](TSpellOption b) { return (o & SpellOptionBit(b)) != 0; };
    if (on(soInternet))
        AddIgnore(new TURLIgnore());
    if (on(soUpcase))
        AddIgnore(new TUppercaseWordIgnore());
    if (on(soNumbers))
        AddIgnore(new TNumbersIgnore());
    if (on(soHTML))
        AddIgnore(new THTMLIgnore());
    if (on(soQuoted)) {
        auto* q = new TQuotedLineIgnore();
        q->QuoteChars = FQuoteChars;
        AddIgnore(q);
    }
    if (on(soAbbreviations))
        AddIgnore(new TAbbreviationsIgnore());
    FPrimaryOnly = on(soPrimaryOnly);
    FRepeated = on(soRepeated);
    DoEvent(OnAddCustomIgnore, this);
    FOptionsChangedList.Notify(this);
}

void TOrthosSpell3Base::AddIgnore(TParserIgnore* Rule) {
    if (!Rule)
        return;
    FAllRules.emplace_back(Rule);
    if (Rule->NeededBeforeCheck())
        FPreCheckRules.push_back(Rule);
    if (Rule->LineCheckNeeded())
        FLineRules.push_back(Rule);
    ConnectFinderHooks();
}

void TOrthosSpell3Base::ClearIgnoreList() {
    FPreCheckRules.clear();
    FLineRules.clear();
    FAllRules.clear();
    ConnectFinderHooks();
}

void TOrthosSpell3Base::ConnectFinderHooks() {
    // The finder asks its hooks for every character; without a rule that reads the text before the
    // check, there is nobody to ask.
    if (FPreCheckRules.empty()) {
        FEngine.OnInlineIgnore = nullptr;
        FEngine.OnPreCheckIgnore = nullptr;
        return;
    }
    FEngine.OnInlineIgnore = [this](char c, TControlParser* p, bool& ignore) {
        RunInlineIgnore(c, p, ignore);
    };
    FEngine.OnPreCheckIgnore = [this](const std::string& w, TControlParser* p, bool& ignore) {
        RunPreCheckIgnore(w, p, ignore);
    };
}

void TOrthosSpell3Base::RunInlineIgnore(char C, TControlParser* Parser, bool& Ignore) {
    Ignore = false;
    for (TParserIgnore* r : FPreCheckRules)
        if (r->ExecuteIgnore(C, Parser)) {
            Ignore = true;
            return;
        }
}

void TOrthosSpell3Base::RunPreCheckIgnore(const std::string& Word, TControlParser* Parser, bool& Ignore) {
    Ignore = false;
    for (TParserIgnore* r : FPreCheckRules)
        if (r->ExecuteWordIgnorePreCheck(Word, Parser)) {
            Ignore = true;
            return;
        }
}

bool TOrthosSpell3Base::RunPostCheckIgnore(const std::string& Word, TControlParser* Parser) {
    for (auto& r : FAllRules)
        if (r->ExecuteWordIgnorePostCheck(Word, Parser))
            return true;
    return false;
}

bool TOrthosSpell3Base::RunLineIgnore(const std::string& Line) {
    for (TParserIgnore* r : FLineRules)
        if (r->ExecuteLineIgnore(Line))
            return true;
    return false;
}

// ---- dictionaries -----------------------------------------------------------------------------

std::string TOrthosSpell3Base::ExpandVars(const std::string& S) {
    std::string r = ExpandBasicVars(S);
    if (r.find("%ConfigID%") != std::string::npos)
        r = ReplaceString("%ConfigID%", ExpandBasicVars(ConfigID), r);
    return r;
}

TMainDictionary* TOrthosSpell3Base::GetMainDictionary(const std::string& Name) {
    std::vector<std::string> candidates;
    if (Name.find('\\') != std::string::npos)
        candidates.push_back(ExpandVars(Name));
    else
        for (int i = 0; i < ConfigDictionaryDir.Count(); ++i)
            candidates.push_back(
                ExpandVars(AdExcludeTrailingBackslash(ConfigDictionaryDir[i]) + "\\" + Name));
    for (const std::string& path : candidates) {
        auto d = std::make_unique<TMainDictionary>();
        d->WriteFilename(path);
        if (d->GetFilename() == path)
            return d.release();
    }
    return nullptr;
}

std::unique_ptr<TCustomDictionary> TOrthosSpell3Base::OpenUserDictionary(const std::string& Name) {
    if (Name.empty())
        return nullptr;
    std::string path = Name;
    if (path.find('\\') == std::string::npos && ConfigDictionaryDir.Count() > 0)
        path = AdExcludeTrailingBackslash(ConfigDictionaryDir[0]) + "\\" + path;
    path = ExpandVars(path);
    auto d = std::make_unique<TCustomDictionary>();
    d->WriteFilename(path);
    if (d->GetFilename() != path)
        return nullptr;
    // A damaged file is left alone rather than offered as a place for new words it would refuse.
    // A missing one stays unread: it is written only once it is used.
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
        d->WriteLoaded(true);
        if (!d->GetLoaded())
            return nullptr;
    }
    return d;
}

void TOrthosSpell3Base::ReloadDictionaries() {
    EnsureConfig();
    FEnglish = false;
    FCountdown = 100;
    FMain.clear();
    for (int i = 0; i < FConfig.MainDictionaries.Count(); ++i)
        if (TMainDictionary* d = GetMainDictionary(FConfig.MainDictionaries[i])) {
            if ((d->Language() & 0xFF) == 9)
                FEnglish = true;
            FMain.emplace_back(d);
        }
    FCustom.clear();
    for (int i = 0; i < FConfig.CustomDictionaries.Count(); ++i) {
        if (FConfig.CustomDictionaries[i] == FConfig.ActiveCustom)
            continue;
        if (auto d = OpenUserDictionary(FConfig.CustomDictionaries[i]))
            FCustom.push_back(std::move(d));
    }
    FActiveCustom = OpenUserDictionary(FConfig.ActiveCustom);
    if (!FMapping && !MappingDictionaryName.empty())
        FMapping = OpenUserDictionary(MappingDictionaryName);
    if (!FLearned && SuggestionsLearning && !SuggestionsLearningDict.empty())
        FLearned = OpenUserDictionary(SuggestionsLearningDict);
    FDictionariesActive = true;
    DoEvent(OnDictionariesChanged, this);
}

void TOrthosSpell3Base::EnsureDictionaries() {
    EnsureConfig();
    if (!FDictionariesActive)
        ReloadDictionaries();
}

void TOrthosSpell3Base::UnloadDictionaries() {
    if (FKeepDictionariesActive || FChecking)
        return;
    for (auto& d : FMain)
        d->WriteLoaded(false);
    for (auto& d : FCustom)
        d->WriteLoaded(false);
    if (FActiveCustom)
        FActiveCustom->WriteLoaded(false);
    if (FLearned)
        FLearned->WriteLoaded(false);
}

void TOrthosSpell3Base::OptimizeMainDictionaryOrder() {
    if (FMain.size() >= 2) {
        size_t best = 0;
        for (size_t i = 1; i < FMain.size(); ++i)
            if (FMain[i]->Hits() > FMain[best]->Hits())
                best = i;
        if (best != 0) {
            auto d = std::move(FMain[best]);
            FMain.erase(FMain.begin() + static_cast<ptrdiff_t>(best));
            FMain.insert(FMain.begin(), std::move(d));
        }
    }
    if (!FMain.empty())
        FSuggestions->WriteLanguage(FMain.front()->Language());
}

// ---- word tests -------------------------------------------------------------------------------

bool TOrthosSpell3Base::WordExistsInMain(const std::string& Word) {
    EnsureDictionaries();
    for (auto& d : FMain)
        if (d->WordExists(Word)) {
            d->WordFound();
            return true;
        }
    return false;
}

bool TOrthosSpell3Base::WordExists(const std::string& Word) {
    if (WordExistsInMain(Word))
        return true;
    if (FActiveCustom && FActiveCustom->IgnoreExists(Word))
        return true;
    for (auto& d : FCustom)
        if (d->IgnoreExists(Word))
            return true;
    return FInternal.IgnoreExists(Word);
}

bool TOrthosSpell3Base::IsNumber(const std::string& Word) {
    // Only plain decimal numbers: no "nan", "inf" or hexadecimal floats.
    size_t i = 0, n = Word.size();
    if (i < n && (Word[i] == '+' || Word[i] == '-'))
        ++i;
    size_t digits = 0;
    while (i < n && std::isdigit(static_cast<unsigned char>(Word[i]))) {
        ++i;
        ++digits;
    }
    if (i < n && Word[i] == '.') {
        ++i;
        while (i < n && std::isdigit(static_cast<unsigned char>(Word[i]))) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return false;
    if (i < n && (Word[i] == 'e' || Word[i] == 'E')) {
        ++i;
        if (i < n && (Word[i] == '+' || Word[i] == '-'))
            ++i;
        size_t exp = 0;
        while (i < n && std::isdigit(static_cast<unsigned char>(Word[i]))) {
            ++i;
            ++exp;
        }
        if (exp == 0)
            return false;
    }
    return i == n;
}

bool TOrthosSpell3Base::WordAcceptable(const std::string& Word) {
    if (WordExists(Word))
        return true;
    std::string lower = WordLowerCase(Word);
    if (lower != Word && WordExists(lower))
        return true;
    if (FEnglish && WordIsPossessive(Word))
        return true;
    if (IsNumber(Word) || Word.size() == 1)
        return true;
    return RunPostCheckIgnore(Word, FParser);
}

bool TOrthosSpell3Base::WordIsPossessive(const std::string& Word) {
    size_t at = Word.find("'s");
    size_t atS = Word.find("'S");
    size_t first = std::min(at, atS);
    if (Word.size() < 3 || first != Word.size() - 2)
        return false;
    std::string rest = Word.substr(0, Word.size() - 2);
    std::string lower = WordLowerCase(rest);
    for (auto& d : FMain)
        if ((d->Language() & 0xFF) == 9 && (d->WordExists(lower) || d->WordExists(rest)))
            return true;
    return false;
}

bool TOrthosSpell3Base::WordExcluded(const std::string& Word) {
    EnsureDictionaries();
    if (FActiveCustom && FActiveCustom->ExcludeExists(Word))
        return true;
    for (auto& d : FCustom)
        if (d->ExcludeExists(Word))
            return true;
    std::string c;
    return FMapping && FMapping->AutoCorrectExists(Word, c);
}

bool TOrthosSpell3Base::WordHasCorrection(const std::string& Word, std::string& Correction) {
    EnsureDictionaries();
    if (FActiveCustom && FActiveCustom->AutoCorrectExists(Word, Correction))
        return true;
    if (FInternal.AutoCorrectExists(Word, Correction))
        return true;
    for (auto& d : FCustom)
        if (d->AutoCorrectExists(Word, Correction))
            return true;
    if (MappingAutoReplace && FMapping && FMapping->AutoCorrectExists(Word, Correction))
        return true;
    if (SuggestionsAutoReplace && FLearned && FLearned->AutoCorrectExists(Word, Correction))
        return true;
    return false;
}

bool TOrthosSpell3Base::ValidRepeatedWord(const std::string& Word, TControlParser* Parser) {
    if (!Parser || Word.empty())
        return false;
    int x, y;
    Parser->GetPosition(x, y);
    bool repeat = false;
    bool ok = true;
    for (size_t i = 0; i < Word.size() + 1 && ok; ++i)
        ok = Parser->MovePrevious();
    if (ok && Parser->GetChar() == ' ') {
        repeat = true;
        for (size_t k = Word.size(); k-- > 0;) {
            if (!Parser->MovePrevious() || Parser->GetChar() != Word[k]) {
                repeat = false;
                break;
            }
        }
        // The earlier copy must be a whole word, not the end of a longer one.
        if (repeat && Parser->MovePrevious()) {
            unsigned char before = static_cast<unsigned char>(Parser->GetChar());
            if (std::isalnum(before) || before >= 0xC0 || before == '\'')
                repeat = false;
        }
    }
    Parser->SetPosition(x, y, ptCurrent);
    return repeat;
}

// ---- the check loop ---------------------------------------------------------------------------

void TOrthosSpell3Base::CheckNewParser(TControlParser* Parser, TCheckType Type) {
    bool owns = FFreeParser;
    CheckParser(Parser, Type);
    if (!owns)
        delete Parser;
}

void TOrthosSpell3Base::CheckString(std::string& Text) {
    auto* p = new TStringParser();
    p->Initialize(&Text);
    CheckNewParser(p, ctAll);
}

void TOrthosSpell3Base::CheckWinControl(HWND Control, TCheckType Type) {
    auto* p = new TWinAPIControlParser();
    p->Initialize(Control);
    CheckNewParser(p, Type);
}

void TOrthosSpell3Base::CheckRichEdit(HWND Control, TCheckType Type) {
    auto* p = new TWinAPIControlParser();
    p->Initialize(Control);
    p->SetControlKind(1);
    CheckNewParser(p, Type);
}

void TOrthosSpell3Base::CheckParser(TControlParser* Parser, TCheckType Type) {
    if (FChecking || (FSequence && FCancelled)) {
        if (FFreeParser && Parser != FParser)
            delete Parser;
        return;
    }
    if (Type == ctSmart) {
        CheckSmart(Parser);
        return;
    }
    FChanged = false;
    FChecking = true;
    FCancelled = false;
    EnsureDictionaries();
    FParser = Parser;
    Parser->BeginCheck();
    Parser->GetCursorPosition(FStartX, FStartY);
    FLastAccepted.clear();
    FEngine.Initialize(Parser, static_cast<int>(Type));
    FUndo.clear();
    if (!FSequence) {
        FWordCounter = 0;
        FCountdown = 100;
    }
    if (DialogShowImmediate)
        EnsureUI();
    // A modal dialog shown at once has run the check from its showing.
    if (FChecking && !(DialogShowImmediate && DialogShowModal && UIType == suiDialog))
        ContinueCheck();
    if (SynchronousCheck) {
        // Commands come from a modeless dialog through the message queue.
        MSG msg;
        while (FChecking) {
            BOOL r = GetMessageA(&msg, nullptr, 0, 0);
            if (r <= 0) {
                if (r == 0)
                    PostQuitMessage(static_cast<int>(msg.wParam));
                StopCheck(true);
                break;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

void TOrthosSpell3Base::ContinueCheck() {
    // A long run shows the hourglass; the cursor comes back whenever the loop is left.
    struct Hourglass {
        bool on;
        TDateTime start = Now();
        HCURSOR previous = nullptr;
        bool shown = false;
        unsigned ticks = 0;
        // The clock is read every 256 words: reading it for each word cost a third of the loop.
        void Tick() {
            if (on && !shown && (++ticks & 255) == 0 && (Now() - start) * 86400000.0 > 1000.0) {
                previous = SetCursor(LoadCursor(nullptr, IDC_WAIT));
                shown = true;
            }
        }
        ~Hourglass() {
            if (shown)
                SetCursor(previous);
        }
    } hourglass{UseHourglassCursor};
    while (FChecking) {
        // The word is found in place; only a doubled word's prompt replaces it, by the pair.
        if (!FEngine.NextWord(FCurrentWord)) {
            CompleteCheck();
            return;
        }
        const std::string& word = FCurrentWord;
        ++FWordCounter;
        if (--FCountdown <= 0) {
            OptimizeMainDictionaryOrder();
            FCountdown = 100;
        }
        FRepeatedPrompt = false;
        std::string correction;
        TWordCheckType status;
        if (!WordAcceptable(word)) {
            status = WordHasCorrection(word, correction) ? wcCorrected : wcDenied;
        } else {
            status = wcAccepted;
            if (UseExcludeWords && WordExcluded(word))
                status = WordHasCorrection(word, correction) ? wcCorrected : wcExcluded;
            else if (UseAutoCorrectFirst && WordHasCorrection(word, correction))
                status = wcCorrected;
            else if (FRepeated && word == FLastAccepted && ValidRepeatedWord(word, FParser))
                status = wcRepeated;
            if (status == wcAccepted || status == wcRepeated)
                FLastAccepted = word;
        }
        DoEvent(OnWordCheck, this, word, status, correction);
        if (status == wcCorrected) {
            FParser->SelectWord(static_cast<int>(word.size()));
            SetUndoAction(saChange, correction, true);
            Fire_ReplaceWord(correction, 2);
            continue;
        }
        hourglass.Tick();
        if (status == wcAccepted)
            continue;
        if (status == wcRepeated) {
            FRepeatedPrompt = true;
            FCurrentWord = word + " " + word;
        }
        FParser->SelectWord(static_cast<int>(FCurrentWord.size()));
        FParser->CenterSelection();
        if (!CanPrompt()) {
            FCancelled = true;
            CompleteCheck();
            return;
        }
        EnsureUI();
        if (!FChecking)
            return;
        FInPrompt = true;
        DoWordPrompt();
        FInPrompt = false;
        if (!FPending)
            return; // waits for a command
        Pending p = *FPending;
        FPending.reset();
        Apply(p);
    }
}

void TOrthosSpell3Base::DoWordPrompt() {
    OptimizeMainDictionaryOrder();
    DoEvent(OnPromptWord, this, FCurrentWord, FRepeatedPrompt);
}

void TOrthosSpell3Base::CompleteCheck() {
    DoEvent(OnCompleteCheck, this);
    ShowEndMessage();
    if (FParser && !FCancelled && EndCursorPosition != epNoModify) {
        if (EndCursorPosition == epHome)
            FParser->SetPosition(0, 0, ptCurrent);
        else
            FParser->SetPosition(FStartX, FStartY, ptCurrent);
        FParser->SelectWord(0);
    }
    if (FParser)
        FParser->EndCheck();
    if (FFreeParser)
        delete FParser;
    FParser = nullptr;
    ShutdownUI();
    FUndo.clear();
    FChecking = false;
    FPending.reset();
    UnloadDictionaries();
}

void TOrthosSpell3Base::CheckSmart(TControlParser* Parser) {
    bool savedSync = SynchronousCheck, savedFree = FFreeParser;
    SynchronousCheck = true;
    FFreeParser = false;
    StartSequenceCheck();
    // The parts of the sequence are one check for the source's undo.
    Parser->BeginCheck();
    int x1, y1, x2, y2;
    Parser->GetSelectionPosition(x1, y1, x2, y2);
    if (x1 == x2 && y1 == y2) {
        CheckParser(Parser, ctFromCursor);
        Parser->SetPosition(0, 0, ptCurrent);
        Parser->SetPosition(x1, y1, ptEnd);
        CheckParser(Parser, ctCurrent);
    } else {
        CheckParser(Parser, ctSelected);
        if (!FCancelled) {
            int answer = ShowMessageBox(GetString(lsEndSelectionMessage), GetString(lsSpelling),
                                        MB_YESNO | MB_ICONINFORMATION);
            if (answer == IDYES) {
                Parser->SetPosition(x2, y2, ptCurrent);
                Parser->SetPosition(0x7FFFFFFF, 0x7FFFFFFF, ptEnd);
                CheckParser(Parser, ctCurrent);
                Parser->SetPosition(0, 0, ptCurrent);
                Parser->SetPosition(x1, y1, ptEnd);
                CheckParser(Parser, ctCurrent);
            } else {
                FCancelled = true;
            }
        }
    }
    StopSequenceCheck();
    Parser->EndCheck();
    SynchronousCheck = savedSync;
    FFreeParser = savedFree;
    if (FFreeParser)
        delete Parser;
}

void TOrthosSpell3Base::StartSequenceCheck() {
    FWordCounter = 0;
    FCountdown = 100;
    FCancelled = false;
    FSequence = true;
    FSavedKeep = FKeepDictionariesActive;
    FKeepDictionariesActive = true;
}

void TOrthosSpell3Base::StopSequenceCheck() {
    if (!FSequence)
        return;
    FSequence = false;
    ShowEndMessage();
    CloseSpellDialog();
    FKeepDictionariesActive = FSavedKeep;
    UnloadDictionaries();
}

void TOrthosSpell3Base::StopCheck(bool Cancel) {
    if (!FChecking)
        return;
    FCancelled = Cancel;
    CompleteCheck();
}

void TOrthosSpell3Base::SetUndoAction(TSpellAction Action, const std::string& Text, bool Chained) {
    if (!FParser || MaxUndo == 0)
        return;
    TOrthosUndo u;
    FParser->GetPosition(u.X, u.Y);
    u.Word = FCurrentWord;
    u.NewText = Text;
    u.Action = Action;
    u.Chained = Chained;
    Fire_UndoLast(0, Action, u.UndoState);
    FUndo.push_back(u);
    if (MaxUndo != -1)
        while (static_cast<int>(FUndo.size()) > MaxUndo)
            FUndo.erase(FUndo.begin());
}

void TOrthosSpell3Base::PerformUndo() {
    while (FParser && !FUndo.empty()) {
        TOrthosUndo u = FUndo.back();
        Fire_UndoLast(1, u.Action, u.UndoState);
        switch (u.Action) {
        case saIgnore:
            FParser->SetPosition(u.X, u.Y, ptCurrent);
            break;
        case saIgnoreAll:
            FInternal.RemoveIgnore(u.Word);
            FParser->SetPosition(u.X, u.Y, ptCurrent);
            break;
        case saAdd:
            if (FActiveCustom)
                FActiveCustom->RemoveIgnore(u.Word);
            FParser->SetPosition(u.X, u.Y, ptCurrent);
            break;
        case saChange:
        case saChangeAll:
        case saAutoCorrect:
            if (u.Action == saChangeAll)
                FInternal.RemoveAutoCorrect(u.Word);
            if (u.Action == saAutoCorrect) {
                if (FActiveCustom)
                    FActiveCustom->RemoveAutoCorrect(u.Word);
                FInternal.RemoveAutoCorrect(u.Word);
            }
            FParser->SetPosition(u.X + static_cast<int>(u.NewText.size()), u.Y, ptCurrent);
            FParser->SelectWord(static_cast<int>(u.NewText.size()));
            Fire_ReplaceWord(u.Word, 3);
            FParser->SetPosition(u.X, u.Y, ptCurrent);
            break;
        }
        FUndo.pop_back();
        Fire_UndoLast(2, u.Action, u.UndoState);
        if (!u.Chained)
            break;
    }
}

void TOrthosSpell3Base::Fire_ReplaceWord(const std::string& Text, int State) {
    if (!FChanged) {
        FChanged = true;
        DoEvent(OnBeforeChange, this);
    }
    DoEvent(OnParserReplaceWord, this, true, Text, State);
    FParser->ReplaceWord(Text, State);
    DoEvent(OnParserReplaceWord, this, false, Text, State);
}

void TOrthosSpell3Base::Fire_IgnoreWord(int State) {
    auto tell = [this, State](bool before) {
        DoEvent(OnParserIgnoreWord, this, before, State);
        // A listener may remove itself; the others are still told.
        auto listeners = FIgnoreWordListeners;
        for (auto& l : listeners)
            DoEvent(l.second, this, before, State);
    };
    tell(true);
    FParser->IgnoreWord(State);
    tell(false);
}

void TOrthosSpell3Base::Fire_UndoLast(int UndoState, TSpellAction Action, int& UndoData) {
    DoEvent(OnParserUndoLast, this, UndoState, Action, UndoData);
    if (FParser)
        FParser->UndoLast(UndoState, static_cast<int>(Action), UndoData);
}

// ---- commands ---------------------------------------------------------------------------------

void TOrthosSpell3Base::Submit(Command c, const std::string& text) {
    if (!FChecking)
        return;
    if (FInPrompt) {
        // The loop is below us on the stack: it acts on the answer once the prompt returns.
        if (!FPending)
            FPending = Pending{c, text};
        return;
    }
    Apply(Pending{c, text});
    if (FChecking)
        ContinueCheck();
}

void TOrthosSpell3Base::Apply(const Pending& p) {
    const std::string& word = FCurrentWord;
    switch (p.command) {
    case Command::Ignore:
    case Command::RepeatIgnore:
        SetUndoAction(saIgnore, std::string(), false);
        Fire_IgnoreWord(10);
        break;
    case Command::IgnoreAll:
        if (FRepeatedPrompt)
            return;
        SetUndoAction(saIgnoreAll, std::string(), false);
        FInternal.AddIgnore(word);
        Fire_IgnoreWord(11);
        break;
    case Command::Change: {
        if (FRepeatedPrompt)
            return;
        SetUndoAction(saChange, p.text, false);
        Fire_ReplaceWord(p.text, 0);
        if (RecheckReplacedWords) {
            int x, y;
            FParser->GetPosition(x, y);
            FParser->SetPosition(x - static_cast<int>(p.text.size()), y, ptCurrent);
        }
        LearnSuggestion(word, p.text);
        break;
    }
    case Command::ChangeAll:
        if (FRepeatedPrompt)
            return;
        SetUndoAction(saChangeAll, p.text, false);
        FInternal.AddAutoCorrect(word, p.text);
        Fire_ReplaceWord(p.text, 1);
        LearnSuggestion(word, p.text);
        break;
    case Command::Add:
        if (FRepeatedPrompt)
            return;
        SetUndoAction(saAdd, std::string(), false);
        if (FActiveCustom)
            FActiveCustom->AddIgnore(word);
        Fire_IgnoreWord(12);
        break;
    case Command::AutoCorrect:
        if (FRepeatedPrompt)
            return;
        SetUndoAction(saAutoCorrect, p.text, false);
        if (FActiveCustom)
            FActiveCustom->AddAutoCorrect(word, p.text);
        LearnSuggestion(word, p.text);
        Fire_ReplaceWord(p.text, 2);
        break;
    case Command::RepeatDelete:
        if (!FRepeatedPrompt)
            return;
        SetUndoAction(saChange, FLastAccepted, false);
        Fire_ReplaceWord(FLastAccepted, 0);
        break;
    case Command::Undo:
        if (!FUndo.empty())
            PerformUndo();
        break;
    case Command::ControlEdited: {
        FUndo.clear();
        int x, y, cx, cy;
        FParser->GetPosition(x, y);
        x = std::max(0, x - static_cast<int>(FCurrentWord.size()));
        FParser->GetCursorPosition(cx, cy);
        bool caretBefore = cy < y || (cy == y && cx < x);
        if (!ResumeFromLastPosition || caretBefore) {
            x = cx;
            y = cy;
        }
        FEngine.AdjustToPosition(x, y);
        break;
    }
    case Command::Cancel:
        FCancelled = true;
        CompleteCheck();
        return;
    }
    FRepeatedPrompt = false;
}

void TOrthosSpell3Base::Check_Ignore() {
    Submit(Command::Ignore);
}
void TOrthosSpell3Base::Check_IgnoreAll() {
    Submit(Command::IgnoreAll);
}
void TOrthosSpell3Base::Check_Change(const std::string& NewWord) {
    Submit(Command::Change, NewWord);
}
void TOrthosSpell3Base::Check_ChangeAll(const std::string& NewWord) {
    Submit(Command::ChangeAll, NewWord);
}
void TOrthosSpell3Base::Check_Add() {
    Submit(Command::Add);
}
void TOrthosSpell3Base::Check_AutoCorrect(const std::string& NewWord) {
    Submit(Command::AutoCorrect, NewWord);
}
void TOrthosSpell3Base::Check_Undo() {
    Submit(Command::Undo);
}
void TOrthosSpell3Base::Check_RepeatIgnore() {
    Submit(Command::RepeatIgnore);
}
void TOrthosSpell3Base::Check_RepeatDelete() {
    Submit(Command::RepeatDelete);
}
void TOrthosSpell3Base::Check_ControlEdited() {
    Submit(Command::ControlEdited);
}
void TOrthosSpell3Base::Check_Cancel() {
    Submit(Command::Cancel);
}
