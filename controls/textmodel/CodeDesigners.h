#pragma once
// Code designers keep event-handler routines in a source text in step with the components
// being designed: they find, create, rename and delete routines, remove empty ones, keep the
// list of used units and fill a new text with a language's template.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "controls/textmodel/LanguageParsers.h"
#include "framework/core/Component.h"

// Parameter kinds of an event's method type.
enum TParamFlag : uint8_t {
    pfVar = 0x01,
    pfConst = 0x02,
    pfArray = 0x04,
    pfAddress = 0x08,
    pfReference = 0x10,
    pfOut = 0x20
};

struct TMethodParam {
    uint8_t Flags = 0;
    std::string Name;
    std::string TypeName;
};

// The shape of an event handler: kind 1 or 6 has a result.
struct TMethodTypeData {
    int32_t MethodKind = 0;
    std::vector<TMethodParam> Params;
    std::string ResultType;
    bool HasResult() const { return MethodKind == 1 || MethodKind == 6; }
};

struct TCodePoint {
    int32_t X = 0; // character, from 1
    int32_t Y = 0; // line, from 0
};

// Where a routine lies in the text.
struct TCodeRoutine {
    std::string Name;
    TCodePoint Head;      // the routine's first token
    TCodePoint NamePos;   // its name
    int32_t EndLine = -1; // line of its closing token; -1 when the routine never ends
    bool Empty = false;
    std::string ClassName; // the class before the dot of a qualified name
    std::string ParamForm; // the parameter list with every name as '#', without blanks
};

class TCodeDesigner : public TComponent {
    ZEL_DECLARE_CLASS(TCodeDesigner)
public:
    using TComponent::TComponent;
    virtual void SetStrings(const std::vector<std::string>& lines) = 0;
    virtual const std::vector<std::string>& GetStrings() const = 0;
    virtual void ShowSource(const TCodePoint&) {}
    // The tokenizer class the designer reads its text with.
    virtual TClass GetSyntaxParserClass() const = 0;
    virtual bool CreateMethod(const std::string& name, const TMethodTypeData& typeData) = 0;
    virtual bool ShowMethod(const std::string& name) = 0;
    virtual bool RenameMethod(const std::string& oldName, const std::string& newName) = 0;
    virtual bool DeleteMethod(const std::string& name) = 0;
    virtual void DeleteEmptyMethods() = 0;
    virtual void GetMethods(const TMethodTypeData* typeData, std::vector<std::string>& list) = 0;
    virtual bool MethodExists(const std::string& name) = 0;
    virtual void InsertComponent(TComponent*, const std::string&) {}
    virtual void DeleteComponent(TComponent*) {}
    virtual void RenameComponent(TComponent*, const std::string&) {}
    virtual bool ValidIdentifier(const std::string& name) = 0;
    virtual int32_t GetMethodState(const std::string& name) = 0;
    virtual void GetUsedUnits(std::vector<std::string>& list) = 0;
    virtual void UseUnits(const std::vector<std::string>& list) = 0;
    // Whether the designer keeps a clause of used units that its host fills with the units of
    // the components it inserts.
    virtual bool AutoFillUses() const { return false; }
    // Renames the module wherever the text names it; false when it names it nowhere.
    virtual bool RenameModule(const std::string& oldName, const std::string& newName) = 0;
    virtual void FillWithTemplate(const std::string& name, bool force) = 0;
    virtual std::string TypeToString(const std::string& typeName) { return typeName; }
    // Characters that end a word of the language.
    virtual TCharSet GetDelimiters() const;
};

class TStringsCodeDesigner : public TCodeDesigner {
    ZEL_DECLARE_CLASS(TStringsCodeDesigner)
public:
    explicit TStringsCodeDesigner(TComponent* owner = nullptr);
    ~TStringsCodeDesigner() override;

    // Also written to the linked property, as every other change of the text.
    void SetStrings(const std::vector<std::string>& lines) override;
    const std::vector<std::string>& GetStrings() const override { return FLines; }
    bool CreateMethod(const std::string& name, const TMethodTypeData& typeData) override;
    bool ShowMethod(const std::string& name) override;
    bool RenameMethod(const std::string& oldName, const std::string& newName) override;
    bool DeleteMethod(const std::string& name) override;
    void DeleteEmptyMethods() override;
    void GetMethods(const TMethodTypeData* typeData, std::vector<std::string>& list) override;
    bool MethodExists(const std::string& name) override;
    bool ValidIdentifier(const std::string& name) override;
    // 1 the routine does not exist, 0 it is empty, 2 it has a body.
    int32_t GetMethodState(const std::string& name) override;
    void GetUsedUnits(std::vector<std::string>& list) override;
    void UseUnits(const std::vector<std::string>& list) override;
    bool RenameModule(const std::string& oldName, const std::string& newName) override;
    void FillWithTemplate(const std::string& name, bool force) override;

    // The text follows a string-list property of another component: set both, and the text is
    // read from it; every change of the text is written back.
    void SetLink(TComponent* link);
    TComponent* Link() const { return FLink; }
    void SetPropName(const std::string& name);
    const std::string& PropName() const { return FPropName; }
    // Reads the text again from the linked property; false when there is no such property.
    bool RefreshStrings();

    // With the parser on the first token of the named routine, `point` there.
    bool FindMethodStart(const std::string& name, TCodePoint& point);
    // As FindMethodStart, then steps past the routine's name, where GetMethodEnd reads on.
    bool FindMethod(const std::string& name, TCodePoint& point);
    // With the parser on a routine's first token: reads its name, leaving the parser on it; false
    // for an unnamed routine.
    virtual bool ScanMethodName(TCodeRoutine& r);
    // From the routine's name on: `point` becomes the routine's closing token (line -1 when the
    // routine never ends). True when the routine ends and nothing lies in its body.
    virtual bool GetMethodEnd(TCodePoint& point);
    // Deletes the first empty routine that can be deleted; false when there is none.
    bool DoDeleteEmptyMethods();
    std::vector<TCodeRoutine> ScanRoutines();
    virtual bool IdentsEqual(const std::string& a, const std::string& b) const;
    virtual std::string GetComment() const { return std::string(); }
    virtual std::string GetUseUnitString() const { return GetComment() + "USEUNIT "; }
    virtual void GetMethodTemplate(const std::string& name, const TMethodTypeData& typeData,
                                   std::vector<std::string>& list) = 0;
    // Line shown for a routine whose head is on `head`.
    virtual int32_t GetMethodStart(const TCodeRoutine& routine) const { return routine.Head.Y; }
    TStringsParser& Parser();

protected:
    void Notification(TComponent* component, TOperation operation) override;
    // Writes the text back to the linked property.
    void StringsChanged();
    // Moves the parser to where routines with bodies may start; false when there is no such part.
    virtual bool ScanStart() { return true; }
    // `word` is an identifier-class token, `previous` the valid token before it.
    virtual bool IsMethodStart(const std::string& word, const std::string& previous) const = 0;
    // True when the body follows the head directly, without an opening token.
    virtual bool BeginsAtHead() const { return false; }
    virtual bool IsBlockBegin() = 0;
    // 0 no end, 1 end of a nested block, 2 end of the routine.
    virtual int32_t IsBlockEnd() = 0;
    virtual std::string FileTemplate(const std::string&) const { return std::string(); }
    // Whether a line holds more than blanks: such a text takes a template only when forced.
    bool HasText() const;

    std::vector<std::string> FLines;

private:
    bool BeginScan();
    // Moves the parser to the next token that starts a routine; false at the end of the text.
    bool NextMethodStart(std::string& previous);
    // Whole lines only: false when text outside the routine shares its lines.
    bool DeleteRoutine(const TCodeRoutine& r);
    std::unique_ptr<TStringsParser> FParser;
    TComponent* FLink = nullptr;
    std::string FPropName;
};

class TScriptCodeDesigner : public TStringsCodeDesigner {
    ZEL_DECLARE_CLASS(TScriptCodeDesigner)
public:
    using TStringsCodeDesigner::TStringsCodeDesigner;
    virtual bool AlwaysUseBrackets() const { return false; }
    virtual std::string GetFuncName(const std::string& name, const TMethodTypeData& typeData);
    virtual std::string ParamText(const TMethodParam& p) { return p.Name; }
};

class TVbsCodeDesigner : public TScriptCodeDesigner {
    ZEL_DECLARE_CLASS(TVbsCodeDesigner)
public:
    using TScriptCodeDesigner::TScriptCodeDesigner;
    TClass GetSyntaxParserClass() const override;
    std::string GetComment() const override { return "'"; }
    void GetMethodTemplate(const std::string& name, const TMethodTypeData& typeData,
                           std::vector<std::string>& list) override;
    int32_t GetMethodStart(const TCodeRoutine& routine) const override { return routine.Head.Y + 1; }
    std::string TypeToString(const std::string& typeName) override;

protected:
    bool IsMethodStart(const std::string& word, const std::string& previous) const override;
    bool BeginsAtHead() const override { return true; }
    bool IsBlockBegin() override { return false; }
    int32_t IsBlockEnd() override;
};

class TBasicCodeDesigner : public TVbsCodeDesigner {
    ZEL_DECLARE_CLASS(TBasicCodeDesigner)
public:
    using TVbsCodeDesigner::TVbsCodeDesigner;
    std::string ParamText(const TMethodParam& p) override;
};

class TJsCodeDesigner : public TScriptCodeDesigner {
    ZEL_DECLARE_CLASS(TJsCodeDesigner)
public:
    using TScriptCodeDesigner::TScriptCodeDesigner;
    TClass GetSyntaxParserClass() const override;
    bool AlwaysUseBrackets() const override { return true; }
    std::string GetComment() const override { return "//"; }
    bool IdentsEqual(const std::string& a, const std::string& b) const override { return a == b; }
    void GetMethodTemplate(const std::string& name, const TMethodTypeData& typeData,
                           std::vector<std::string>& list) override;
    int32_t GetMethodStart(const TCodeRoutine& routine) const override { return routine.Head.Y + 2; }

protected:
    virtual std::string Keyword() const { return "function"; }
    bool IsMethodStart(const std::string& word, const std::string& previous) const override;
    bool IsBlockBegin() override;
    int32_t IsBlockEnd() override;
};

class TPerlCodeDesigner : public TJsCodeDesigner {
    ZEL_DECLARE_CLASS(TPerlCodeDesigner)
public:
    using TJsCodeDesigner::TJsCodeDesigner;
    TClass GetSyntaxParserClass() const override;
    bool AlwaysUseBrackets() const override { return false; }
    std::string GetComment() const override { return "#"; }
    std::string GetFuncName(const std::string& name, const TMethodTypeData& typeData) override;

protected:
    std::string Keyword() const override { return "sub"; }
};

class TPythonCodeDesigner : public TScriptCodeDesigner {
    ZEL_DECLARE_CLASS(TPythonCodeDesigner)
public:
    using TScriptCodeDesigner::TScriptCodeDesigner;
    TClass GetSyntaxParserClass() const override;
    std::string GetComment() const override { return "#"; }
    void GetMethodTemplate(const std::string& name, const TMethodTypeData& typeData,
                           std::vector<std::string>& list) override;
    int32_t GetMethodStart(const TCodeRoutine& routine) const override { return routine.Head.Y + 1; }

protected:
    bool IsMethodStart(const std::string& word, const std::string& previous) const override;
    bool IsBlockBegin() override;
    int32_t IsBlockEnd() override;
};

// Only the file template: an HTML page has no routines of its own.
class THTMLCodeDesigner : public TStringsCodeDesigner {
    ZEL_DECLARE_CLASS(THTMLCodeDesigner)
public:
    using TStringsCodeDesigner::TStringsCodeDesigner;
    TClass GetSyntaxParserClass() const override;
    void GetMethodTemplate(const std::string&, const TMethodTypeData&, std::vector<std::string>&) override {}

protected:
    bool IsMethodStart(const std::string&, const std::string&) const override { return false; }
    bool IsBlockBegin() override { return false; }
    int32_t IsBlockEnd() override { return 0; }
    std::string FileTemplate(const std::string& name) const override;
};

class TSqlCodeDesigner : public TStringsCodeDesigner {
    ZEL_DECLARE_CLASS(TSqlCodeDesigner)
public:
    using TStringsCodeDesigner::TStringsCodeDesigner;
    TClass GetSyntaxParserClass() const override;
    void GetMethodTemplate(const std::string&, const TMethodTypeData&, std::vector<std::string>&) override {}

protected:
    bool IsMethodStart(const std::string&, const std::string&) const override { return false; }
    bool IsBlockBegin() override { return false; }
    int32_t IsBlockEnd() override { return 0; }
};

// An Object Pascal unit: its template and its "uses" clause.
class TUnitCodeDesigner : public TStringsCodeDesigner {
    ZEL_DECLARE_CLASS(TUnitCodeDesigner)
public:
    using TStringsCodeDesigner::TStringsCodeDesigner;
    TClass GetSyntaxParserClass() const override;
    void GetMethodTemplate(const std::string&, const TMethodTypeData&, std::vector<std::string>&) override {}
    void GetUsedUnits(std::vector<std::string>& list) override;
    void UseUnits(const std::vector<std::string>& list) override;
    bool AutoFillUses() const override { return true; }
    // The unit's heading and its entry in the "uses" clause.
    bool RenameModule(const std::string& oldName, const std::string& newName) override;

protected:
    bool IsMethodStart(const std::string&, const std::string&) const override { return false; }
    bool IsBlockBegin() override { return false; }
    int32_t IsBlockEnd() override { return 0; }
    std::string FileTemplate(const std::string& name) const override;
};

// Event handlers of a form unit: methods of the class named after the designer's owner.
class TDelphiCodeDesigner : public TUnitCodeDesigner {
    ZEL_DECLARE_CLASS(TDelphiCodeDesigner)
public:
    using TUnitCodeDesigner::TUnitCodeDesigner;
    // "procedure TOwner.Name(Sender: TObject);"; qualified only when asked and the owner has a name.
    std::string CreateEventName(const std::string& name, const TMethodTypeData& typeData,
                                bool qualified) const;
    // The parameter groups with every name as '#', without blanks.
    static std::string DeclarationForm(const TMethodTypeData& typeData);
    bool IsEqualDeclaration(const TCodeRoutine& routine, const TMethodTypeData& typeData) const;
    std::string OwnerClassName() const;

    void GetMethodTemplate(const std::string& name, const TMethodTypeData& typeData,
                           std::vector<std::string>& list) override;
    bool CreateMethod(const std::string& name, const TMethodTypeData& typeData) override;
    bool RenameMethod(const std::string& oldName, const std::string& newName) override;
    void GetMethods(const TMethodTypeData* typeData, std::vector<std::string>& list) override;
    int32_t GetMethodStart(const TCodeRoutine& routine) const override { return routine.Head.Y + 2; }
    // A field line "    Name: TClass;" of the owner's class, kept with the component.
    void InsertComponent(TComponent* component, const std::string& name) override;
    void DeleteComponent(TComponent* component) override;
    // Called before the component takes the new name. Renaming the owner renames its class, its
    // variable and every routine head.
    void RenameComponent(TComponent* component, const std::string& name) override;
    // Names the unit that declares a class; empty when it is not known.
    using TUnitOfClass = std::function<std::string(TClass)>;
    // Replaces the text with the form unit of the owner and the named components it owns. Our
    // classes carry no unit of their own, so `unitOfClass` supplies them; false, with the text
    // unchanged, without an owner or when a component's unit is not known.
    bool GenerateCodeForComp(const std::string& unitName, const TUnitOfClass& unitOfClass);
    // The units of classes for the form unit that FillWithTemplate writes for an owner.
    TUnitOfClass OnGetUnitOfClass;
    // With an owner and OnGetUnitOfClass: the form unit of GenerateCodeForComp, the text left as
    // it was when that refuses. Otherwise the plain unit.
    void FillWithTemplate(const std::string& name, bool force) override;
    // Also reads the parameter list, with every name as '#', into ParamForm.
    bool ScanMethodName(TCodeRoutine& r) override;
    bool GetMethodEnd(TCodePoint& point) override;

protected:
    bool ScanStart() override;
    bool IsMethodStart(const std::string& word, const std::string& previous) const override;

private:
    std::string ParamGroups(const TMethodTypeData& typeData, bool names) const;
    // Skips a nested routine's head and body; false at the end of the text.
    bool SkipNestedRoutine();
    // From the token after a body's "begin" (or "asm"): true when it closed, `empty` when nothing was in it.
    bool ReadBlock(bool& empty);
    int32_t FindClassDeclaration() const;
    int32_t FindFieldLine(const std::string& name) const;
};
