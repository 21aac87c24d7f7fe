#pragma once
// Code templates: short named snippets with a description, listed by name prefix and inserted by
// the code-editor view. A source's collection is filled from a template set chosen by name; sets
// are registered by language in the family's class registry.

#include <string>
#include <vector>

#include "controls/foundation/NamedItems.h"
#include "framework/core/Strings.h"

class TCustomMemoSource;

class TMemoCodeTemplate : public THSNamedItem {
    ZEL_DECLARE_CLASS(TMemoCodeTemplate)
public:
    TMemoCodeTemplate() = default;
    explicit TMemoCodeTemplate(TCollection* collection) : THSNamedItem(collection) {}
    void Assign(TPersistent* source) override;

    std::string Description() const { return FDescription; }
    void SetDescription(const std::string& v) { FDescription = v; }
    TStringList* Code() const { return const_cast<TStringList*>(&FCode); }
    void SetCode(TStringList* v) { FCode.Assign(v); }

private:
    std::string FDescription;
    TStringList FCode;
};

class TMemoCodeTemplates : public TCustomHSNamedItems {
    ZEL_DECLARE_CLASS(TMemoCodeTemplates)
public:
    explicit TMemoCodeTemplates(TComponent* owner = nullptr);
    TMemoCodeTemplate* GetItem(int32_t i) const { return static_cast<TMemoCodeTemplate*>(Items(i)); }
    void SetItem(int32_t i, TMemoCodeTemplate* t) { GetItem(i)->Assign(t); }
    TMemoCodeTemplate* AddTemplate(const std::string& name, const std::string& description,
                                   const std::string& code);

    // Empty prefix: all templates. Otherwise (case ignored): when the first template whose name
    // begins with the prefix is named exactly so, that one alone with `exactMatch` true; else all
    // whose names begin with the prefix.
    void FilterNames(std::vector<TMemoCodeTemplate*>& list, const std::string& prefix,
                     bool& exactMatch) const;
    // The display lines of FilterNames; the index of the single line of an exact match, else -1.
    int32_t ConvertCodeTemplates(TStrings* lines, const std::string& prefix) const;
};

// Bold marker, name, bold marker, "|", description.
std::string ConvertCodeTemplate(const TMemoCodeTemplate& t);

struct TTemplateRec {
    const char* Name;
    const char* Description;
    const char* Code;
};

using TTemplatesProc = void (*)(TMemoCodeTemplates& templates);
void RegisterTemplatesProc(const std::string& lang, TTemplatesProc proc);
// Clears the collection and adds one template per record (code split into lines at CR LF).
void TemplatesFromArray(TMemoCodeTemplates& templates, const TTemplateRec* records, int32_t high);
void FillWithDelphiTemplates(TMemoCodeTemplates& templates);
void FillWithCppTemplates(TMemoCodeTemplates& templates);
void FillWithClipperTemplates(TMemoCodeTemplates& templates);
// Registers "None", "Custom", "Delphi", "C++" and "Clipper" (once).
void RegisterBuiltinTemplateSets();

// A source's own collection and chosen set ("None" until one is chosen).
TMemoCodeTemplates& GetCodeTemplates(TCustomMemoSource& source);
void SetCodeTemplates(TCustomMemoSource& source, TMemoCodeTemplates* value);
std::string GetTemplatesType(const TCustomMemoSource& source);
// A registered name stores it and runs its fill routine; other names change nothing.
void SetTemplatesType(TCustomMemoSource& source, const std::string& name);
