#include "controls/textmodel/CodeTemplates.h"

#include <cstdint>

#include "controls/foundation/ClassRegistry.h"
#include "controls/foundation/DrawingUtils.h"
#include "controls/textmodel/MemoSource.h"
#include "controls/textmodel/SourceExtras.h"
#include "framework/core/ScopeGuard.h"
#include "framework/core/SysUtils.h"

ZEL_DEFINE_CLASS(TMemoCodeTemplate, THSNamedItem,
                 {Prop::String<TMemoCodeTemplate>("Description", &TMemoCodeTemplate::Description,
                                                  &TMemoCodeTemplate::SetDescription),
                  Prop::Object<TMemoCodeTemplate>("Code", &TMemoCodeTemplate::Code,
                                                  &TMemoCodeTemplate::SetCode)})
ZEL_DEFINE_CLASS(TMemoCodeTemplates, TCustomHSNamedItems, {})

void TMemoCodeTemplate::Assign(TPersistent* source) {
    if (auto* t = dynamic_cast<TMemoCodeTemplate*>(source)) {
        SetName(t->Name());
        FDescription = t->FDescription;
        FCode.Assign(&t->FCode);
        return;
    }
    THSNamedItem::Assign(source);
}

TMemoCodeTemplates::TMemoCodeTemplates(TComponent* owner)
    : TCustomHSNamedItems(owner, TMemoCodeTemplate::StaticClass()) {}

TMemoCodeTemplate* TMemoCodeTemplates::AddTemplate(const std::string& name, const std::string& description,
                                                   const std::string& code) {
    auto* t = static_cast<TMemoCodeTemplate*>(Add());
    t->SetName(name);
    t->SetDescription(description);
    t->Code()->SetText(code);
    return t;
}

namespace {
bool StartsWithText(const std::string& s, const std::string& prefix) {
    return s.size() >= prefix.size() && SameText(s.substr(0, prefix.size()), prefix);
}
} // namespace

void TMemoCodeTemplates::FilterNames(std::vector<TMemoCodeTemplate*>& list, const std::string& prefix,
                                     bool& exactMatch) const {
    list.clear();
    exactMatch = false;
    bool first = true;
    for (int32_t i = 0; i < Count(); ++i) {
        TMemoCodeTemplate* t = GetItem(i);
        if (!prefix.empty() && !StartsWithText(t->Name(), prefix))
            continue;
        if (first && !prefix.empty() && SameText(t->Name(), prefix)) {
            list.assign(1, t);
            exactMatch = true;
            return;
        }
        first = false;
        list.push_back(t);
    }
}

std::string ConvertCodeTemplate(const TMemoCodeTemplate& t) {
    return std::string(1, Hslib::SBoldTag) + t.Name() + Hslib::SBoldTag + "|" + t.Description();
}

int32_t TMemoCodeTemplates::ConvertCodeTemplates(TStrings* lines, const std::string& prefix) const {
    std::vector<TMemoCodeTemplate*> list;
    bool exact = false;
    FilterNames(list, prefix, exact);
    lines->BeginUpdate();
    lines->Clear();
    for (TMemoCodeTemplate* t : list)
        lines->Add(ConvertCodeTemplate(*t));
    lines->EndUpdate();
    return exact ? 0 : -1;
}

void TemplatesFromArray(TMemoCodeTemplates& templates, const TTemplateRec* records, int32_t high) {
    auto update = UpdateBracket(templates);
    templates.Clear();
    for (int32_t i = 0; i <= high; ++i)
        templates.AddTemplate(records[i].Name, records[i].Description, records[i].Code);
}

namespace {

// In the code texts "|" marks where the caret goes after insertion.
const TTemplateRec kDelphiTemplates[] = {
    {"arrayc", "array declaration (const)", "array[0..|] of = ();"},
    {"arrayd", "array declaration (var)", "array[0..|] of ;"},
    {"casee", "case statement (with else)", "case | of\r\n  : ;\r\n  : ;\r\nelse ;\r\nend;"},
    {"cases", "case statement", "case | of\r\n  : ;\r\n  : ;\r\nend;"},
    {"classc", "class declaration (with Create/Destroy overrides)",
     "T| = class(T)\r\nprivate\r\n\r\nprotected\r\n\r\npublic\r\n  constructor Create; override;\r\n  "
     "destructor Destroy; "
     "override;\r\npublished\r\n\r\nend;"},
    {"classd", "class declaration (no parts)", "T| = class(T)\r\n\r\nend;"},
    {"classf", "class declaration (all parts)",
     "T| = class(T)\r\nprivate\r\n\r\nprotected\r\n\r\npublic\r\n\r\npublished\r\n\r\nend;"},
    {"forb", "for statement", "for | :=  to  do\r\nbegin\r\n\r\nend;"},
    {"fors", "for (no begin/end)", "for | :=  to  do"},
    {"function", "function declaration", "function |(): ;\r\nbegin\r\n\r\nend;"},
    {"ifb", "if statement", "if | then\r\nbegin\r\n\r\nend;"},
    {"ife", "if then (no begin/end) else (no begin/end)", "if | then\r\n\r\nelse"},
    {"ifeb", "if then else", "if | then\r\nbegin\r\n\r\nend\r\nelse\r\nbegin\r\n\r\nend"},
    {"ifs", "if (no begin/end)", "if | then"},
    {"procedure", "procedure declaration", "procedure |();\r\nbegin\r\n\r\nend;"},
    {"trycf", "try finally (with Create/Free)",
     "|variable := typename.Create;\r\ntry\r\n\r\nfinally\r\n  variable.Free;\r\nend;"},
    {"trye", "try except", "try\r\n  |\r\nexcept\r\n\r\nend;"},
    {"tryf", "try finally", "try\r\n  |\r\nfinally\r\n\r\nend;"},
    {"whileb", "while statement", "while | do\r\nbegin\r\n\r\nend;"},
    {"whiles", "while (no begin)", "while | do"},
    {"withb", "with statement", "with | do\r\nbegin\r\n\r\nend;"},
    {"withs", "with (no begin)", "with | do"},
};

const TTemplateRec kCppTemplates[] = {
    {"classc", "class declaration (with constructor/destructor)",
     "class T| : public T\r\n{\r\nprivate:\r\n\r\nprotected:\r\n\r\npublic:\r\n  __fastcall T();\r\n  "
     "__fastcall "
     "~T();\r\n__published:\r\n\r\n};"},
    {"classd", "class declaration (no parts)", "class T| : public T\r\n{\r\n};"},
    {"classf", "class declaration (all parts)",
     "class T| : public T\r\n{\r\nprivate:\r\n\r\nprotected:\r\n\r\npublic:\r\n\r\n__published:\r\n\r\n};"},
    {"forb", "for statement", "for (|; ;)\r\n{\r\n\r\n}"},
    {"fors", "for (no opening/closing braces)", "for (|; ;)"},
    {"function", "function declaration", "|()\r\n{\r\n\r\n}"},
    {"ifb", "if statement", "if (|)\r\n{\r\n\r\n}"},
    {"ife", "if (no opening/closing braces) else (no opening/closing braces)", "if (|)\r\n\r\nelse"},
    {"ifeb", "if else", "if (|)\r\n{\r\n\r\n}\r\nelse\r\n{\r\n\r\n}"},
    {"ifs", "if (no opening/closing braces)", "if (|)"},
    {"struct", "structure declaration", "struct |\r\n{\r\n};"},
    {"switche", "switch statement (with default)",
     "switch (|)\r\n{\r\n  case : ;\r\n  break;\r\n  case : ;\r\n  break;\r\n  default: ;\r\n}"},
    {"switchs", "switch statement",
     "switch (|)\r\n{\r\n  case : ;\r\n  break;\r\n  case : ;\r\n  break;\r\n}"},
    {"templ", "template class declaration", "template <class T>\r\nclass |\r\n{\r\n};"},
    {"trye", "try catch", "try\r\n{\r\n  |\r\n}\r\ncatch()\r\n{\r\n}"},
    {"whileb", "while statement", "while (|)\r\n{\r\n\r\n}"},
    {"whiles", "while (no opening/closing braces)", "while (|)"},
};

const TTemplateRec kClipperTemplates[] = {
    {"access assign", "access assign declaration", "access assign | \r\n"},
    {"begins", "begin sequence (without recover)", "begin sequence\r\n\r\nend sequence;"},
    {"beginr", "begin sequence (with recover)", "begin sequence\r\n\r\nrecover\r\n\r\nend sequence;"},
    {"caseo", "case statement (with otherwise)", "do case \r\ncase | \r\notherwise\r\nendcase;"},
    {"cases", "case statement", "do case \r\ncase | \r\nendcase;"},
    {"class", "class declaration", "class | from xbp\r\nprotected:\r\n\r\nexported:\r\n\r\nendclass"},
    {"fori", "for statement (with i)", "for i := 1 to |\r\n\r\nnext i"},
    {"forj", "for statement (with j)", "for j := 1 to |\r\n\r\nnext j"},
    {"forl", "for statement (with len())", "nLen := len(|)\r\nfor i := 1 to nLen\r\n\r\nnext i"},
    {"function", "function declaration", "function |()\r\n\r\nreturn NIL"},
    {"ifn", "if statement (normal)", "if |\r\n\r\nendif"},
    {"ife", "if statement (with else)", "if |\r\n\r\nelse\r\n\r\nendif"},
    {"method", "method implementation", "method |:()\r\n\r\nreturn self"},
    {"procedure", "procedure declaration", "procedure |()\r\n\r\nreturn"},
    {"whiles", "while statement", "while |\r\n\r\nend"},
    {"while!", "while ! eof()", "while ! eof()\r\n\r\n   dbskip()\r\nend"},
};

template <size_t N> int32_t High(const TTemplateRec (&)[N]) {
    return static_cast<int32_t>(N) - 1;
}

const char* const kLangParam = "CodeTemplates.Lang";
const char* const kProcParam = "CodeTemplates.Proc";

TObjectParamListItem* FindTemplateSet(const std::string& name) {
    RegisterBuiltinTemplateSets();
    return GetItemEx(TMemoCodeTemplates::StaticClass(), {kLangParam}, {THSVariant(name)});
}

} // namespace

void FillWithDelphiTemplates(TMemoCodeTemplates& t) {
    TemplatesFromArray(t, kDelphiTemplates, High(kDelphiTemplates));
}
void FillWithCppTemplates(TMemoCodeTemplates& t) {
    TemplatesFromArray(t, kCppTemplates, High(kCppTemplates));
}
void FillWithClipperTemplates(TMemoCodeTemplates& t) {
    TemplatesFromArray(t, kClipperTemplates, High(kClipperTemplates));
}

void RegisterTemplatesProc(const std::string& lang, TTemplatesProc proc) {
    THSVariant p = THSVariant::Of(varObject);
    p.Int = static_cast<int64_t>(reinterpret_cast<intptr_t>(proc));
    RegisterClassExt(TMemoCodeTemplates::StaticClass(), {kLangParam, kProcParam}, {THSVariant(lang), p});
}

void RegisterBuiltinTemplateSets() {
    static bool done = false;
    if (done)
        return;
    done = true;
    RegisterTemplatesProc("None", nullptr);
    RegisterTemplatesProc("Custom", nullptr);
    RegisterTemplatesProc("Delphi", &FillWithDelphiTemplates);
    RegisterTemplatesProc("C++", &FillWithCppTemplates);
    RegisterTemplatesProc("Clipper", &FillWithClipperTemplates);
}

TMemoCodeTemplates& GetCodeTemplates(TCustomMemoSource& source) {
    std::unique_ptr<TPersistent>& held = SourceExtras(source).CodeTemplates;
    if (!held)
        held = std::make_unique<TMemoCodeTemplates>();
    return static_cast<TMemoCodeTemplates&>(*held);
}

void SetCodeTemplates(TCustomMemoSource& source, TMemoCodeTemplates* value) {
    if (value)
        GetCodeTemplates(source).Assign(value);
}

std::string GetTemplatesType(const TCustomMemoSource& source) {
    const TMemoSourceExtras* e = FindSourceExtras(source);
    return e ? e->TemplatesType : "None";
}

void SetTemplatesType(TCustomMemoSource& source, const std::string& name) {
    if (name.empty())
        return;
    TObjectParamListItem* item = FindTemplateSet(name);
    if (!item)
        return;
    TMemoSourceExtras& e = SourceExtras(source);
    e.TemplatesType = name;
    const THSVariant proc = item->GetParamByName(kProcParam);
    if (proc.VType == varObject && proc.Int != 0)
        reinterpret_cast<TTemplatesProc>(static_cast<intptr_t>(proc.Int))(GetCodeTemplates(source));
}
