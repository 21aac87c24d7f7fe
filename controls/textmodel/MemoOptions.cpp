#include "controls/textmodel/MemoOptions.h"

#include "controls/textmodel/CodeTemplates.h"
#include "controls/textmodel/MemoOptionNames.h"
#include "controls/textmodel/SourceExtras.h"
#include "controls/textmodel/TabRack.h"
#include "framework/core/SysUtils.h"

namespace {

const TEnumInfo kDirectionInfo{{"sdForward", "sdBackward"}};
const TEnumInfo kScopeInfo{{"ssGlobal", "ssSelectedText"}};
const TEnumInfo kOriginInfo{{"soFromCursor", "soEntireScope"}};
const TEnumInfo kWhereInfo{{"swProjectFiles", "swOpenFiles", "swDirectories", "swOther"}};

} // namespace

ZEL_DEFINE_CLASS(TMemoSourceOptions, TOptionExt,
                 {Prop::Bool<TMemoSourceOptions>("KeepTrailingBlanks",
                                                 &TMemoSourceOptions::KeepTrailingBlanks,
                                                 &TMemoSourceOptions::SetKeepTrailingBlanks),
                  Prop::Set<TMemoSourceOptions>("Options", &kStringsOptionInfo, &TMemoSourceOptions::Options,
                                                &TMemoSourceOptions::SetOptions),
                  Prop::String<TMemoSourceOptions>("TabStops", &TMemoSourceOptions::TabStops,
                                                   &TMemoSourceOptions::SetTabStops),
                  Prop::String<TMemoSourceOptions>("Delimeters", &TMemoSourceOptions::Delimeters,
                                                   &TMemoSourceOptions::SetDelimeters),
                  Prop::Int<TMemoSourceOptions>("BlockIndent", &TMemoSourceOptions::BlockIndent,
                                                &TMemoSourceOptions::SetBlockIndent)})

// The run state (ShowNotFound, ReplaceAll, InReplace, FirstSearch) is left out on purpose.
ZEL_DEFINE_CLASS(
    TSearchOptions, TOptionExt,
    {Prop::String<TSearchOptions>("TextToFind", &TSearchOptions::GetTextToFind,
                                  &TSearchOptions::SetTextToFind),
     Prop::String<TSearchOptions>("ReplaceWith", &TSearchOptions::GetReplaceWith,
                                  &TSearchOptions::SetReplaceWith),
     Prop::Bool<TSearchOptions>("PromptOnReplace", &TSearchOptions::GetPromptOnReplace,
                                &TSearchOptions::SetPromptOnReplace),
     Prop::Bool<TSearchOptions>("CaseSensitive", &TSearchOptions::GetCaseSensitive,
                                &TSearchOptions::SetCaseSensitive),
     Prop::Bool<TSearchOptions>("WholeWordsOnly", &TSearchOptions::GetWholeWordsOnly,
                                &TSearchOptions::SetWholeWordsOnly),
     Prop::Bool<TSearchOptions>("RegularExpr", &TSearchOptions::GetRegularExpr,
                                &TSearchOptions::SetRegularExpr),
     Prop::Enum<TSearchOptions>("Direction", &kDirectionInfo, &TSearchOptions::GetDirection,
                                &TSearchOptions::SetDirection),
     Prop::Enum<TSearchOptions>("Scope", &kScopeInfo, &TSearchOptions::GetScope, &TSearchOptions::SetScope),
     Prop::Enum<TSearchOptions>("Origin", &kOriginInfo, &TSearchOptions::GetOrigin,
                                &TSearchOptions::SetOrigin),
     Prop::Enum<TSearchOptions>("Where", &kWhereInfo, &TSearchOptions::GetWhere, &TSearchOptions::SetWhere),
     Prop::String<TSearchOptions>("FileMask", &TSearchOptions::GetFileMask, &TSearchOptions::SetFileMask),
     Prop::Bool<TSearchOptions>("IncludeSubDirs", &TSearchOptions::GetIncludeSubDirs,
                                &TSearchOptions::SetIncludeSubDirs)})

void TMemoSourceOptions::InitValues() {
    FKeepTrailingBlanks = false;
    FOptions = kDefaultStringsOptions;
    FTabStops = "9,17";
    FDelimeters = "/{}+-*():=,;><$.#[]^@&~|%'";
    FBlockIndent = 1;
}

void TMemoSourceOptions::Changed() {
    if (!UpdateDisabled())
        Update();
}

void TMemoSourceOptions::SetKeepTrailingBlanks(bool v) {
    if (v == FKeepTrailingBlanks)
        return;
    FKeepTrailingBlanks = v;
    Changed();
}

void TMemoSourceOptions::SetOptions(TStringsOptions v) {
    if (v == FOptions)
        return;
    FOptions = v;
    Changed();
}

void TMemoSourceOptions::SetTabStops(const std::string& v) {
    if (v == FTabStops)
        return;
    // Checked here so that a bad stored list cannot reach every source.
    TTabRack probe;
    probe.SetTabStops(v);
    FTabStops = v;
    Changed();
}

void TMemoSourceOptions::SetDelimeters(const std::string& v) {
    if (v == FDelimeters)
        return;
    FDelimeters = v;
    Changed();
}

void TMemoSourceOptions::SetBlockIndent(int32_t v) {
    if (v == FBlockIndent)
        return;
    FBlockIndent = v;
    Changed();
}

void TMemoSourceOptions::Update() {
    if (UpdateDisabled())
        return;
    for (TCustomMemoSource* s : TCustomMemoSource::MemoSources())
        if (GetUseGlobalOptions(*s))
            LoadGlobalOptions(*s);
}

void TSearchOptions::InitValues() {
    ShowNotFound = ReplaceAll = InReplace = FirstSearch = false;
    TextToFind.clear();
    ReplaceWith.clear();
    PromptOnReplace = CaseSensitive = WholeWordsOnly = RegularExpr = false;
    Direction = sdForward;
    Scope = ssGlobal;
    Origin = soEntireScope;
    Where = swDirectories;
    FileMask.clear();
    IncludeSubDirs = false;
}

void TSearchOptions::Assign(TPersistent* source) {
    TOptionExt::Assign(source);
    if (auto* o = dynamic_cast<TSearchOptions*>(source)) {
        ShowNotFound = o->ShowNotFound;
        ReplaceAll = o->ReplaceAll;
        InReplace = o->InReplace;
        FirstSearch = o->FirstSearch;
    }
}

std::string TSearchOptions::GetDisplayTextToFind() const {
    return StringReplaceAll(TextToFind, "&", "&&");
}

namespace {
void RegisterTextModelOptionClasses() {
    static bool done = false;
    if (done)
        return;
    done = true;
    RegisterOptionExt(TMemoSourceOptions::StaticClass());
    RegisterOptionExt(TSearchOptions::StaticClass());
    RegisterBuiltinTemplateSets();
}
} // namespace

TMemoSourceOptions* GlobalMemoSourceOptions() {
    RegisterTextModelOptionClasses();
    return GetOptions<TMemoSourceOptions>();
}

TSearchOptions* GetSearchOptions() {
    RegisterTextModelOptionClasses();
    return GetOptions<TSearchOptions>();
}

bool GetUseGlobalOptions(const TCustomMemoSource& source) {
    const TMemoSourceExtras* e = FindSourceExtras(source);
    return e && e->UseGlobalOptions;
}

void SetUseGlobalOptions(TCustomMemoSource& source, bool value) {
    TMemoSourceExtras& e = SourceExtras(source);
    if (e.UseGlobalOptions == value)
        return;
    e.UseGlobalOptions = value;
    if (value)
        LoadGlobalOptions(source);
}

void LoadGlobalOptions(TCustomMemoSource& source) {
    TMemoSourceOptions* g = GlobalMemoSourceOptions();
    source.SetOptions(g->Options());
    source.SetTabStops(g->TabStops());
    source.SetDelimeters(g->Delimeters());
    source.SetBlockIndent(g->BlockIndent());
    source.KeepTrailingBlanks = g->KeepTrailingBlanks();
}
