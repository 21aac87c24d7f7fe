#pragma once
// TOrthosSpell3Base: the spell-checking engine component. It owns the dictionaries, the word
// finder, the ignore rules, the suggestion machinery and the undo list, runs the check loop over
// any TControlParser and answers the commands of a spell dialog or of a caller without one.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "framework/core/Component.h"
#include "framework/core/Strings.h"
#include "spell/CustomDictionary.h"
#include "spell/MainDictionary.h"
#include "spell/ParserInterfaces.h"
#include "spell/ParsingEngine.h"
#include "spell/PhoneticsMap.h"
#include "spell/SpellConfig.h"
#include "spell/SpellUtils.h"
#include "spell/SuggestionsGenerator.h"
#include "spell/languages/SpellLanguageStrings.h"

enum TWordCheckType { wcAccepted, wcExcluded, wcCorrected, wcDenied, wcRepeated };
enum TSpellUI { suiDialog, suiSilent };
enum TSpellEndPosition { epHome, epOriginal, epNoModify };
enum TCheckType { ctSelected, ctFromCursor, ctAll, ctSmart, ctCurrent };
enum TSpellAction { saIgnore, saIgnoreAll, saChange, saChangeAll, saAdd, saAutoCorrect };
enum TSpellDialogInitialPos {
    ipScreenCenter,
    ipUnderSelection,
    ipAvoidControl,
    ipUserDefined,
    ipLastUserPos,
    ipIgnore
};
enum TSpellDialogAvoidPos { saNone, saAvoid, saAvoidUpDown, saMove, saMoveUpDown };

enum TSpellDialogCommand {
    sdcIgnore,
    sdcIgnoreAll,
    sdcChange,
    sdcChangeAll,
    sdcAdd,
    sdcAutoCorrect,
    sdcUndo,
    sdcHelp,
    sdcCancel,
    sdcOptions,
    sdcCustomDictionary,
    sdcCustomDictionaries,
    sdcConfigOK,
    sdcAddedEdit,
    sdcAutoCorrectEdit,
    sdcExcludedEdit,
    sdcInternalEdit,
    sdcMainDictFolderBrowse,
    sdcResetDefaults
};
using TSpellDialogCommands = uint32_t;
constexpr TSpellDialogCommands SpellCommandBit(TSpellDialogCommand c) {
    return 1u << c;
}
constexpr TSpellDialogCommands AllSpellDialogCommands = (1u << (sdcResetDefaults + 1)) - 1;

struct TOrthosUndo {
    int X = 0, Y = 0;
    std::string Word;    // as it stood before
    std::string NewText; // what replaced it
    TSpellAction Action = saIgnore;
    bool Chained = false; // undoing this record also undoes the one before
    int UndoState = 0;
};

using TWordCheckEvent = std::function<void(TObject* Sender, const std::string& Word,
                                           TWordCheckType& CheckType, std::string& Replacement)>;
using TWordPromptEvent = std::function<void(TObject* Sender, const std::string& Word, bool Repeated)>;
using TReplaceWordEvent =
    std::function<void(TObject* Sender, bool Before, const std::string& Replacement, int State)>;
using TIgnoreWordEvent = std::function<void(TObject* Sender, bool Before, int State)>;
using TUndoLastEvent =
    std::function<void(TObject* Sender, int UndoState, TSpellAction UndoAction, int& UndoData)>;

class TOrthosSpell3Base : public TComponent {
    ZEL_DECLARE_CLASS(TOrthosSpell3Base)
public:
    explicit TOrthosSpell3Base(TComponent* AOwner);
    ~TOrthosSpell3Base() override;

    // Configuration defaults and places.
    std::string ConfigID = "%UserName%";
    TStringList ConfigDictionaryDir;
    TStringList ConfigDefaultMain;
    TStringList ConfigDefaultCustom;
    std::string ConfigDefaultActiveCustom = "%ConfigID%.wdu";
    TSpellOptions ConfigDefaultOptions = 675;
    // Where the configuration is kept.
    TConfigStorage ConfigStorage = TConfigStorage::csRegistry;
    std::string ConfigFilename = "%AppDir%\\Spell.cfg";
    std::string ConfigRegistryKey = "Software\\Brightleaf Software\\%AppName%";
    bool ConfigUseMSWordCustom = true;
    bool ConfigDefaultUseMSWordCustom = false;
    // The options the options dialog offers.
    TSpellOptions ConfigAvailableOptions = SpellOptionBit(soUpcase) | SpellOptionBit(soNumbers) |
                                           SpellOptionBit(soPrimaryOnly) | SpellOptionBit(soRepeated);

    bool SuggestionsAutoReplace = false;
    bool SuggestionsLearning = true;
    std::string SuggestionsLearningDict = "%AppDir%\\%UserName%_sp.wdl";
    TSpellEndPosition EndCursorPosition = epOriginal;
    int MaxUndo = -1;
    int MaxSuggestions = -1;
    bool SynchronousCheck = true;
    bool PhoneticSuggestions = true;
    std::string MappingDictionaryName;
    bool MappingAutoReplace = true;
    bool UseExcludeWords = true;
    bool UseHourglassCursor = true;
    bool UseAutoCorrectFirst = false;
    bool RecheckReplacedWords = true;
    bool ResumeFromLastPosition = true;
    TSpellUI UIType = suiSilent;
    // Where the spell dialog appears and how it keeps clear of the word shown; a modal dialog runs
    // the check from its own message loop, and with DialogShowImmediate it shows before the first word.
    TSpellDialogInitialPos DialogInitialPos = ipLastUserPos;
    TSpellDialogAvoidPos DialogSelectionAvoid = saAvoid;
    bool DialogShowImmediate = false;
    bool DialogShowModal = false;
    TSpellLanguageType UILanguage = ltEnglish;
    // What the dialogs offer and allow, and their help.
    TSpellDialogCommands CommandsVisible = AllSpellDialogCommands;
    TSpellDialogCommands CommandsEnabled = AllSpellDialogCommands;
    std::string HelpFile;
    int HelpCtxSpellDialog = 0;
    int HelpCtxConfigDialog = 0;
    int HelpCtxDictionariesDialog = 0;
    int HelpCtxDictionaryEditDialog = 0;
    std::function<void(TObject* Sender, TSpellLanguageString Id, std::string& Text)> OnGetString;
    // The interface text of the id in UILanguage; OnGetString may replace it.
    virtual std::string GetString(TSpellLanguageString Id);

    const std::string& QuoteChars() const { return FQuoteChars; }
    virtual void WriteQuoteChars(const std::string& Value);
    bool KeepDictionariesActive() const { return FKeepDictionariesActive; }
    virtual void WriteKeepDictionariesActive(bool Value);
    TPhoneticsMap& PhoneticsMap() { return *FPhonetics; }
    TSuggestionsGenerator& Suggestions() { return *FSuggestions; }

    // Writers of the configuration and dictionary properties: each stores the value (the fields
    // above may also be set directly, without these effects) and then acts on it.
    // Takes ownership of a non-null generator or map and frees the one it replaces.
    virtual void WriteSuggestions(TSuggestionsGenerator* Value);
    virtual void WritePhoneticsMap(TPhoneticsMap* Value);
    // Reload a loaded configuration from the new place (saving it to the old one first).
    virtual void WriteConfigStorage(TConfigStorage Value);
    virtual void WriteConfigID(const std::string& Value);
    virtual void WriteConfigFilename(const std::string& Value);    // reloads only with csFile
    virtual void WriteConfigRegistryKey(const std::string& Value); // reloads only with csRegistry
    // New dictionary folders: the lists of available dictionaries are read again on demand.
    virtual void WriteConfigDictionaryDir(const TStrings& Value);
    virtual void WriteDefaultMain(const TStrings& Value);
    virtual void WriteDefaultCustom(const TStrings& Value);
    virtual void WriteLearnSuggestions(bool Value);
    virtual void WriteSuggestionsDictFN(const std::string& Value);
    virtual void WriteMappingDictionary(const std::string& Value);
    TMainParsingEngine& ParsingEngine() { return FEngine; }
    std::string Version() const;

    // The configuration, loaded from the defaults on first use.
    TOrthosConfig& Configuration();
    // Sets the checking options and rebuilds the ignore rules.
    void SetSpellOptions(TSpellOptions Options);
    virtual void ResynchOptions(bool Force);

    // Events.
    TNotifyEvent OnDictionariesChanged;
    TWordCheckEvent OnWordCheck;
    TWordPromptEvent OnPromptWord;
    TNotifyEvent OnCompleteCheck;
    TNotifyEvent OnAddCustomIgnore;
    TNotifyEvent OnAdjustPhoneticsMap;
    TNotifyEvent OnBeforeChange;
    TReplaceWordEvent OnParserReplaceWord;
    TIgnoreWordEvent OnParserIgnoreWord;
    TUndoLastEvent OnParserUndoLast;
    // Configuration events: csCallback reads and writes every value through the first two.
    std::function<void(TObject* Sender, const std::string& Section, const std::string& Key,
                       std::string& Value)>
        OnConfigReadString;
    std::function<void(TObject* Sender, const std::string& Section, const std::string& Key,
                       const std::string& Value)>
        OnConfigWriteString;
    TNotifyEvent OnConfigLoaded;
    TNotifyEvent OnConfigSaved;
    TNotifyEvent OnConfigChanged;

    // Listeners beside the events, each object once, told in the order they were added: after
    // every rebuild of the ignore rules, after every configuration change, and before and after
    // the parser leaves a word (with the state the loop gives it).
    TEventList& OptionsChangedListeners() { return FOptionsChangedList; }
    TEventList& ConfigChangedListeners() { return FConfigChangedList; }
    void AddIgnoreWordListener(TObject* Listener, TIgnoreWordEvent Handler);
    void RemoveIgnoreWordListener(TObject* Listener);

    // The configuration's notifications, passed on to the events above.
    virtual void FireConfigurationChanged(bool Reload);
    virtual std::string FireReadString(const std::string& Section, const std::string& Key,
                                       const std::string& Default);
    virtual void FireWriteString(const std::string& Section, const std::string& Key,
                                 const std::string& Value);
    virtual void FireConfigLoaded();
    virtual void FireConfigSaved();
    // The word processor's user dictionaries registered on this machine (full paths).
    virtual TStringList* ReadAvailableMSWordCustom();

    // Dictionary management. The available lists are filled on first demand from the dictionary
    // directories in use (ConfigDictionaryDir and the configuration's new paths).
    virtual TStringList* ReadAvailableMain();
    virtual TStringList* ReadAvailableCustom();
    virtual void GetAvailableDictionaries(const std::string& Extension, TStringList& List);
    virtual void EnableCustomDictionary(const std::string& Name, bool Enable);
    virtual void EnableWordDictionary(const std::string& Path, bool Enable);
    virtual void RemoveCustomDictionary(const std::string& Name);
    virtual void CreateNewCustomDictionary(const std::string& Name);
    virtual bool RenameCustomDictionary(const std::string& OldName, const std::string& NewName);
    // A new object the caller frees; null when the dictionary cannot be opened.
    virtual TCustomDictionary* GetCustomDictionary(const std::string& Name);
    virtual TCustomDictionary* GetMSWordCustomDictionary(const std::string& Path);
    std::vector<std::string> DictionaryDirectoriesInUse();

    // Checking. A parser handed to a check is freed by the component when the check ends.
    virtual void CheckString(std::string& Text);
    virtual void CheckWinControl(HWND Control, TCheckType Type);
    virtual void CheckRichEdit(HWND Control, TCheckType Type);
    virtual void CheckParser(TControlParser* Parser, TCheckType Type);
    virtual void StartSequenceCheck();
    virtual void StopSequenceCheck();
    virtual void StopCheck(bool Cancel);
    bool Checking() const { return FChecking; }
    bool Cancelled() const { return FCancelled; }
    bool Changed() const { return FChanged; }
    int WordsChecked() const { return FWordCounter; }
    const std::string& CurrentWord() const { return FCurrentWord; }
    bool ReadCanUndo() const { return !FUndo.empty(); }
    // Whether the word being prompted is a doubled word; whether a sequence of checks runs.
    bool RepeatedPrompt() const { return FRepeatedPrompt; }
    bool InSequence() const { return FSequence; }

    // Commands of a running check. Given while the prompt runs, they act once it has returned.
    virtual void Check_Ignore();
    virtual void Check_IgnoreAll();
    virtual void Check_Change(const std::string& NewWord);
    virtual void Check_ChangeAll(const std::string& NewWord);
    virtual void Check_Add();
    virtual void Check_AutoCorrect(const std::string& NewWord);
    virtual void Check_Undo();
    virtual void Check_RepeatIgnore();
    virtual void Check_RepeatDelete();
    virtual void Check_ControlEdited();
    virtual void Check_Help() {}
    virtual void Check_Cancel();

    // Word services.
    virtual bool WordExistsInMain(const std::string& Word);
    virtual bool WordExists(const std::string& Word);
    virtual bool WordAcceptable(const std::string& Word);
    virtual bool WordExcluded(const std::string& Word);
    virtual bool WordHasCorrection(const std::string& Word, std::string& Correction);
    virtual void Suggest(const std::string& Word, TStrings* List);
    virtual void LearnSuggestion(const std::string& Word, const std::string& Choice);
    virtual bool RunPostCheckIgnore(const std::string& Word, TControlParser* Parser);
    virtual bool RunLineIgnore(const std::string& Line);
    int GetWordCountString(const std::string& Text);
    int GetErrorCountString(const std::string& Text);
    bool ErrorsPresetInString(const std::string& Text);
    int GetWordCountWinControl(HWND Control, TCheckType Type);
    int GetErrorCountWinControl(HWND Control, TCheckType Type);
    bool ErrorsPresetInWinControl(HWND Control, TCheckType Type);
    // The counting family walks the parser; only ctSelected and ctAll count. The parser stays the
    // caller's.
    int GetWordCountParser(TControlParser* Parser, TCheckType Type);
    int GetErrorCountParser(TControlParser* Parser, TCheckType Type);
    bool ErrorsPresetInParser(TControlParser* Parser, TCheckType Type);
    void GetWordCountParserInternal(TControlParser* Parser, TCheckType Type, bool CountErrors,
                                    bool StopAtFirstError, bool& ErrorsFound, int& Errors, int& Words);

    // Ignore rules: AddIgnore takes ownership.
    virtual void AddIgnore(TParserIgnore* Rule);
    virtual void ClearIgnoreList();

    // Dictionaries.
    virtual void ReloadDictionaries();
    virtual void UnloadDictionaries();
    virtual std::string ExpandVars(const std::string& S);
    TMainDictionary* GetMainDictionary(const std::string& Name);
    int MainDictionaryCount() const { return static_cast<int>(FMain.size()); }
    TMainDictionary* MainDictionary(int i) const { return FMain[static_cast<size_t>(i)].get(); }
    TCustomDictionary* ActiveCustomDictionary() const { return FActiveCustom.get(); }
    // The other user dictionaries in use, in list order.
    int CustomDictionaryCount() const { return static_cast<int>(FCustom.size()); }
    TCustomDictionary* CustomDictionary(int i) const { return FCustom[static_cast<size_t>(i)].get(); }
    TCustomDictionary* LearnedDictionary() const { return FLearned.get(); }
    TCustomDictionary& InternalDictionary() { return FInternal; }
    virtual void OptimizeMainDictionaryOrder();
    // Whether the text is a plain decimal number (sign, digits, one decimal point, exponent).
    static bool IsNumber(const std::string& Word);
    // Checks with a parser made for this one call: when the checker is not to free its parsers
    // (FFreeParser as it was at the start), it is freed here once the check returns.
    void CheckNewParser(TControlParser* Parser, TCheckType Type);

protected:
    // The parser of the running check (null outside a check).
    TControlParser* CurrentParser() const { return FParser; }
    virtual void ContinueCheck();
    virtual void CompleteCheck();
    virtual void CheckSmart(TControlParser* Parser);
    virtual void DoWordPrompt();
    virtual bool ValidRepeatedWord(const std::string& Word, TControlParser* Parser);
    virtual bool WordIsPossessive(const std::string& Word);
    virtual void PerformUndo();
    virtual void SetUndoAction(TSpellAction Action, const std::string& Text, bool Chained);
    virtual void Fire_ReplaceWord(const std::string& Text, int State);
    virtual void Fire_IgnoreWord(int State);
    virtual void Fire_UndoLast(int UndoState, TSpellAction Action, int& UndoData);
    virtual void InternalSuggest(const std::string& Word, int Max, TStrings* List);
    virtual void ExistsEvent(const char* Word, bool& Exists);
    virtual void RunInlineIgnore(char C, TControlParser* Parser, bool& Ignore);
    virtual void RunPreCheckIgnore(const std::string& Word, TControlParser* Parser, bool& Ignore);
    // Whether anybody can answer a prompt; a dialog subclass answers true. Without an answerer a
    // synchronous check would wait for ever, so it is cancelled at its first unknown word.
    virtual bool CanPrompt() const { return static_cast<bool>(OnPromptWord); }
    virtual void EnsureUI() {}
    virtual void ShutdownUI() {}
    // The dialog subclass shows the end message and closes its dialog; the silent base has none.
    virtual void ShowEndMessage() {}
    virtual void CloseSpellDialog() {}

private:
    enum class Command {
        Ignore,
        IgnoreAll,
        Change,
        ChangeAll,
        Add,
        AutoCorrect,
        Undo,
        RepeatIgnore,
        RepeatDelete,
        ControlEdited,
        Cancel
    };
    struct Pending {
        Command command;
        std::string text;
    };
    void Submit(Command c, const std::string& text = std::string());
    void Apply(const Pending& p);
    void EnsureConfig();
    void EnsureDictionaries();
    void ConnectFinderHooks();
    std::unique_ptr<TCustomDictionary> OpenUserDictionary(const std::string& Name);
    void SelectCurrentWordStart(int& X, int& Y);

    std::string FQuoteChars = ">";
    bool FKeepDictionariesActive = false;
    TMainParsingEngine FEngine;
    TCustomDictionary FInternal;
    std::unique_ptr<TSuggestionsGenerator> FSuggestions = std::make_unique<TSuggestionsGenerator>();
    std::unique_ptr<TPhoneticsMap> FPhonetics = std::make_unique<TPhoneticsMap>();
    void ReloadConfigurationFromStore();
    TOrthosConfig FConfig;
    TStringList FAvailableMSWordCustom;
    TStringList FAvailableMain, FAvailableCustom;
    std::vector<std::unique_ptr<TMainDictionary>> FMain;
    std::vector<std::unique_ptr<TCustomDictionary>> FCustom;
    std::unique_ptr<TCustomDictionary> FActiveCustom, FMapping, FLearned;
    std::vector<std::unique_ptr<TParserIgnore>> FAllRules;
    std::vector<TParserIgnore*> FPreCheckRules, FLineRules;
    std::vector<TOrthosUndo> FUndo;
    TEventList FOptionsChangedList, FConfigChangedList;
    std::vector<std::pair<TObject*, TIgnoreWordEvent>> FIgnoreWordListeners;
    bool FDictionariesActive = false;

    TControlParser* FParser = nullptr;
    std::string FCurrentWord;
    std::string FLastAccepted;
    bool FRepeatedPrompt = false;
    bool FChecking = false;
    bool FCancelled = false;
    bool FChanged = false;
    bool FSequence = false;
    int FWordCounter = 0;
    int FCountdown = 100;
    int FStartX = 0, FStartY = 0;
    bool FOptionsStored = false;
    TSpellOptions FStoredOptions = 0;
    bool FPrimaryOnly = false, FRepeated = false;
    bool FEnglish = false;
    bool FGenericRetry = true;
    bool FFreeParser = true;
    bool FSavedKeep = false;
    bool FInPrompt = false;
    std::optional<Pending> FPending;
};
