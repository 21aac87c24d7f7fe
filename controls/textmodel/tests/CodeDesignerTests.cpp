#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/textmodel/CodeDesigners.h"
#include "framework/core/Properties.h"
#include "framework/core/Strings.h"
#include "framework/core/SysUtils.h"

namespace {
using Lines = std::vector<std::string>;

// A component whose published "Lines" a designer can follow.
class TLinesHolder : public TComponent {
    ZEL_DECLARE_CLASS(TLinesHolder)
public:
    using TComponent::TComponent;
    TStringList Text;
};

TPropInfo LinesProp() {
    TPropInfo p;
    p.Name = "Lines";
    p.Kind = tkClass;
    p.PropClass = &TStrings::StaticClass;
    p.GetObj = [](TObject* o) -> TObject* { return &static_cast<TLinesHolder*>(o)->Text; };
    return p;
}

Lines ToLines(const TStrings& s) {
    Lines out;
    for (int i = 0; i < s.Count(); ++i)
        out.push_back(s.Get(i));
    return out;
}

TMethodTypeData Event(std::vector<TMethodParam> params = {}, int32_t kind = 0) {
    TMethodTypeData t;
    t.MethodKind = kind;
    t.Params = std::move(params);
    return t;
}

const TMethodTypeData kNotify = Event({{0, "Sender", "TObject"}});
} // namespace

ZEL_DEFINE_CLASS(TLinesHolder, TComponent, {LinesProp()})

TEST(CodeDesigners, TemplatesPerLanguage) {
    struct Case {
        TStringsCodeDesigner* d;
        TMethodTypeData type;
        Lines expected;
    };
    TVbsCodeDesigner vbs;
    TBasicCodeDesigner basic;
    TJsCodeDesigner js;
    TPerlCodeDesigner perl;
    TPythonCodeDesigner py;
    const TMethodTypeData keyPress = Event({{0, "Sender", "TObject"}, {pfVar, "Key", "Char"}});
    Case cases[] = {
        {&vbs, Event(), {"Sub Click", "", "End Sub"}},
        {&vbs, Event({}, 1), {"Function Click", "", "End Function"}},
        {&vbs, keyPress, {"Sub Click(Sender, Key)", "", "End Sub"}},
        {&basic, keyPress, {"Sub Click(ByVal Sender As Object, Key As Integer)", "", "End Sub"}},
        {&js, Event(), {"function Click()", "{", "", "}"}},
        {&js, keyPress, {"function Click(Sender, Key)", "{", "", "}"}},
        {&perl, keyPress, {"sub Click # Sender, Key", "{", "", "}"}},
        {&py, Event(), {"def Click:", "", "#def"}},
        {&py, kNotify, {"def Click(Sender):", "", "#def"}},
    };
    for (auto& c : cases) {
        c.d->SetStrings({"x = 1"});
        ASSERT_TRUE(c.d->CreateMethod("Click", c.type));
        Lines expected = {"x = 1", ""};
        expected.insert(expected.end(), c.expected.begin(), c.expected.end());
        EXPECT_EQ(c.d->GetStrings(), expected) << c.expected[0];
        EXPECT_EQ(c.d->GetMethodState("Click"), 0) << c.expected[0];
        EXPECT_FALSE(c.d->CreateMethod("Click", c.type)); // already there
    }
    EXPECT_EQ(basic.TypeToString("TDateTime"), "Date");
    RegisterClass(TJsCodeDesigner::StaticClass());
    EXPECT_EQ(basic.TypeToString("TJsCodeDesigner"), "Object");
    UnRegisterClass(TJsCodeDesigner::StaticClass());
    EXPECT_EQ(basic.TypeToString("TNoSuchType"), "Variant");
}

TEST(CodeDesigners, EmptyRoutinesAndNameCase) {
    TVbsCodeDesigner vbs;
    vbs.SetStrings({"Sub A(x)", "  If x Then Exit Sub", "End Sub", "", "Sub B", "End Sub", "", "Function C",
                    "  ' note", "End Function", "rest"});
    EXPECT_EQ(vbs.GetMethodState("a"), 2);
    EXPECT_EQ(vbs.GetMethodState("b"), 0);
    EXPECT_EQ(vbs.GetMethodState("C"), 2);
    EXPECT_EQ(vbs.GetMethodState("D"), 1);
    vbs.DeleteEmptyMethods();
    EXPECT_EQ(vbs.GetStrings(), (Lines{"Sub A(x)", "  If x Then Exit Sub", "End Sub", "", "Function C",
                                       "  ' note", "End Function", "rest"}));

    TJsCodeDesigner js;
    js.SetStrings({"function Go(a) {", "  if (a) { a(); }", "}", "function Empty()", "{", "}", "var z = 1;"});
    EXPECT_EQ(js.GetMethodState("Go"), 2);
    EXPECT_EQ(js.GetMethodState("go"), 1);
    js.DeleteEmptyMethods();
    EXPECT_EQ(js.GetStrings(), (Lines{"function Go(a) {", "  if (a) { a(); }", "}", "var z = 1;"}));

    TPythonCodeDesigner py;
    py.SetStrings({"def run(self):", "    pass", "#def", "def idle():", "#def"});
    EXPECT_EQ(py.GetMethodState("RUN"), 2);
    py.DeleteEmptyMethods();
    EXPECT_EQ(py.GetStrings(), (Lines{"def run(self):", "    pass", "#def"}));

    TPerlCodeDesigner perl;
    perl.SetStrings({"sub Work # a", "{", "  print 1;", "}"});
    EXPECT_EQ(perl.GetMethodState("Work"), 2);
    EXPECT_EQ(perl.GetMethodState("work"), 1);
}

TEST(CodeDesigners, RenameDeleteUnitsAndIdentifiers) {
    TJsCodeDesigner js;
    js.SetStrings({"function  Old(a) {", "  return 1;", "}"});
    EXPECT_TRUE(js.RenameMethod("Old", "Fresh"));
    EXPECT_EQ(js.GetStrings()[0], "function  Fresh(a) {");
    EXPECT_FALSE(js.RenameMethod("Fresh", "while"));
    EXPECT_FALSE(js.RenameMethod("Fresh", "9x"));
    EXPECT_TRUE(js.ValidIdentifier("While")); // JS reserves only the word as written

    js.UseUnits({"lib", "util", "LIB"});
    js.UseUnits({"util", "more"});
    EXPECT_EQ(js.GetStrings()[0], "//USEUNIT more");
    EXPECT_EQ(js.GetStrings()[1], "//USEUNIT lib");
    EXPECT_EQ(js.GetStrings()[2], "//USEUNIT util");
    std::vector<std::string> used;
    js.GetUsedUnits(used);
    EXPECT_EQ(used, (Lines{"more", "lib", "util"}));

    // A routine that never ends is left alone rather than cut to the end of the text.
    js.SetStrings({"function Open() {", "  x();"});
    EXPECT_FALSE(js.DeleteMethod("Open"));
    EXPECT_EQ(js.GetStrings().size(), 2u);

    TVbsCodeDesigner vbs;
    EXPECT_FALSE(vbs.ValidIdentifier("END"));
    EXPECT_TRUE(vbs.ValidIdentifier("Ending"));
    EXPECT_FALSE(vbs.CreateMethod("Sub", kNotify));
}

TEST(CodeDesigners, HtmlTemplate) {
    THTMLCodeDesigner html;
    html.SetStrings({"kept"});
    html.FillWithTemplate("Page", false);
    EXPECT_EQ(html.GetStrings(), (Lines{"kept"}));
    html.FillWithTemplate("Page", true);
    EXPECT_EQ(html.GetStrings(), (Lines{"<html>", "", "<head>", "<title>Page</title>", "</head>", "",
                                        "<body>", "</body>", "</html>"}));
}

TEST(CodeDesigners, ObjectPascalHeadsAndDeclarations) {
    TComponent form(nullptr);
    form.SetName("Form1");
    TDelphiCodeDesigner d(&form);
    const TMethodTypeData keys = Event({{0, "Sender", "TObject"},
                                        {pfVar, "Key", "Word"},
                                        {pfVar, "Shift", "Word"},
                                        {pfConst, "Names", "string"},
                                        {pfArray | pfConst, "Args", "TVarRec"},
                                        {pfOut, "R", "Integer"}});
    EXPECT_EQ(d.CreateEventName("KeyDown", keys, true),
              "procedure TForm1.KeyDown(Sender: TObject; var Key, Shift: Word; const Names: string; "
              "const Args: Array of TVarRec; out R: Integer);");
    EXPECT_EQ(d.CreateEventName("Ask", Event({}, 1), false).substr(0, 13), "function Ask:");
    EXPECT_EQ(TDelphiCodeDesigner::DeclarationForm(kNotify), "#:TObject");

    d.FillWithTemplate("Unit1", true);
    EXPECT_EQ(d.GetStrings(), (Lines{"unit Unit1;", "", "interface", "", "implementation", "", "end.", ""}));
}

TEST(CodeDesigners, ObjectPascalRoutines) {
    TComponent form(nullptr);
    form.SetName("Form1");
    TDelphiCodeDesigner d(&form);
    d.SetStrings({"unit Unit1;", "interface", "uses Windows, Forms;", "type", "  TForm1 = class(TForm)",
                  "    procedure Full(Sender: TObject);", "  private", "  end;", "implementation",
                  "procedure TForm1.Full(Sender: TObject);", "  procedure Inner;", "  begin", "  end;",
                  "begin", "  case Tag of 1: try Inner; finally end; end;", "end;", "", "end."});
    EXPECT_EQ(d.GetMethodState("full"), 2);
    ASSERT_TRUE(d.CreateMethod("Click", kNotify));
    EXPECT_FALSE(d.CreateMethod("Click", kNotify));
    const Lines& l = d.GetStrings();
    EXPECT_EQ(l[6], "    procedure Click(Sender: TObject);");
    EXPECT_EQ(l[7], "  private");
    const Lines tail(l.end() - 6, l.end());
    EXPECT_EQ(tail, (Lines{"procedure TForm1.Click(Sender: TObject);", "begin", "", "end;", "", "end."}));
    EXPECT_EQ(d.GetMethodState("Click"), 0);

    std::vector<std::string> names;
    d.GetMethods(&kNotify, names);
    EXPECT_EQ(names, (Lines{"Full", "Click"}));
    names.clear();
    d.GetMethods(nullptr, names);
    EXPECT_EQ(names.size(), 2u);
    names.clear();
    const TMethodTypeData other = Event({{pfVar, "Key", "Char"}});
    d.GetMethods(&other, names);
    EXPECT_TRUE(names.empty());

    EXPECT_TRUE(d.RenameMethod("Click", "Pressed"));
    EXPECT_EQ(d.GetStrings()[5], "    procedure Full(Sender: TObject);");
    EXPECT_EQ(d.GetStrings()[6], "    procedure Pressed(Sender: TObject);");
    d.DeleteEmptyMethods();
    EXPECT_EQ(d.GetMethodState("Pressed"), 1);
    EXPECT_EQ(d.GetMethodState("Full"), 2);
    EXPECT_EQ(d.GetStrings().back(), "end.");

    d.UseUnits({"SysUtils", "forms", "Dialogs"});
    EXPECT_EQ(d.GetStrings()[2], "uses Windows, Forms, SysUtils, Dialogs;");
    std::vector<std::string> used;
    d.GetUsedUnits(used);
    EXPECT_EQ(used, (Lines{"Windows", "Forms", "SysUtils", "Dialogs"}));
}

TEST(CodeDesigners, ObjectPascalComponents) {
    TComponent form(nullptr);
    form.SetName("Form1");
    TComponent button(&form);
    button.SetName("Button1");
    TDelphiCodeDesigner d(&form);
    d.SetStrings({"unit Unit1;", "interface", "type", "  TForm1 = class(TForm)",
                  "    procedure Go(Sender: TObject);", "  private", "  end;", "  TForm10 = class(TForm)",
                  "  end;", "var", "  Form1: TForm1;", "implementation",
                  "procedure TForm1.Go(Sender: TObject);", "begin", "  Go(nil);", "end;", "end."});
    d.InsertComponent(&button, "Button1");
    EXPECT_EQ(d.GetStrings()[4], "    Button1: TComponent;");
    d.InsertComponent(&button, "Button1");
    EXPECT_EQ(d.GetStrings()[5], "    procedure Go(Sender: TObject);");

    d.RenameComponent(&button, "OkButton");
    button.SetName("OkButton");
    EXPECT_EQ(d.GetStrings()[4], "    OkButton: TComponent;");

    d.RenameComponent(&form, "Main");
    form.SetName("Main");
    EXPECT_EQ(d.GetStrings()[3], "  TMain = class(TForm)");
    EXPECT_EQ(d.GetStrings()[8], "  TForm10 = class(TForm)");
    EXPECT_EQ(d.GetStrings()[11], "  Main: TMain;");
    EXPECT_EQ(d.GetStrings()[13], "procedure TMain.Go(Sender: TObject);");

    d.DeleteComponent(&button);
    EXPECT_EQ(d.GetStrings()[4], "    procedure Go(Sender: TObject);");
    EXPECT_EQ(d.GetStrings().size(), 17u);
}

TEST(CodeDesigners, FindMethodAndItsEnd) {
    TComponent form(nullptr);
    form.SetName("Form1");
    TVbsCodeDesigner vbs;
    TJsCodeDesigner js;
    TPerlCodeDesigner perl;
    TPythonCodeDesigner py;
    TDelphiCodeDesigner pas(&form);
    struct Case {
        TStringsCodeDesigner* d;
        Lines text;
        std::string name;
        bool found;
        TCodePoint start; // the routine's first token
        TCodePoint end;   // its closing token; line -1 when it never closes
        bool empty;
    };
    const Case cases[] = {
        {&vbs, {"x = 1", "  Sub Go(a)", "End Sub"}, "GO", true, {3, 1}, {1, 2}, true},
        {&vbs, {"Sub Go", "  If a Then Exit Sub", "End Sub"}, "Go", true, {1, 0}, {1, 2}, false},
        {&vbs, {"Sub Go", "  ' only a note", "End Sub"}, "Go", true, {1, 0}, {1, 2}, false},
        {&js, {"function go() {}", "function Go() {", "  { }", "}"}, "Go", true, {1, 1}, {1, 3}, false},
        {&js, {"function Go() {}"}, "Go", true, {1, 0}, {16, 0}, true},
        {&js, {"function Go() {", "  x();"}, "Go", true, {1, 0}, {0, -1}, false},
        {&js, {"function Go() {}"}, "go", false, {}, {}, false},
        {&perl, {"sub Go # a", "{", "}"}, "Go", true, {1, 0}, {1, 2}, true},
        {&py, {"def go(self):", "#def"}, "GO", true, {1, 0}, {1, 1}, true},
        {&pas,
         {"unit U;", "interface", "procedure Go;", "implementation", "procedure TForm1.Go(A, B: Integer);",
          "begin", "end;", "end."},
         "go",
         true,
         {1, 4},
         {1, 6},
         true},
        // The routine nested in another is no handler of its own.
        {&pas,
         {"implementation", "procedure TForm1.Outer;", "  procedure Go;", "  begin", "    Beep;", "  end;",
          "begin", "end;", "end."},
         "Go",
         false,
         {},
         {},
         false},
    };
    for (const auto& c : cases) {
        const std::string label = c.text[c.text.size() > 4 ? 4 : 0] + " / " + c.name;
        c.d->SetStrings(c.text);
        TCodePoint start{-5, -5};
        ASSERT_EQ(c.d->FindMethodStart(c.name, start), c.found) << label;
        if (!c.found) {
            TCodePoint p;
            EXPECT_FALSE(c.d->FindMethod(c.name, p)) << label;
            EXPECT_EQ(c.d->GetMethodState(c.name), 1) << label;
            continue;
        }
        EXPECT_EQ(start.X, c.start.X) << label;
        EXPECT_EQ(start.Y, c.start.Y) << label;
        EXPECT_EQ(c.d->Parser().LineNo(), c.start.Y) << label; // left on the routine's first token

        TCodePoint p;
        ASSERT_TRUE(c.d->FindMethod(c.name, p)) << label;
        EXPECT_EQ(p.Y, c.start.Y) << label;
        // Past the name token: the parser stands on the (last part of the) name.
        EXPECT_TRUE(SameText(c.d->Parser().TokenString(), c.name)) << label;
        TCodePoint end;
        EXPECT_EQ(c.d->GetMethodEnd(end), c.empty) << label;
        EXPECT_EQ(end.Y, c.end.Y) << label;
        if (c.end.Y >= 0) {
            EXPECT_EQ(end.X, c.end.X) << label;
        }
        EXPECT_EQ(c.d->GetMethodState(c.name), c.empty ? 0 : 2) << label;
    }

    // ScanMethodName reads a qualified head's routine name and its parameters' shape.
    pas.SetStrings(
        {"implementation", "procedure TForm1.Click(Sender: TObject; var Key: Char);", "begin", "end;"});
    TCodePoint p;
    ASSERT_TRUE(pas.FindMethodStart("Click", p));
    TCodeRoutine r;
    ASSERT_TRUE(pas.ScanMethodName(r));
    EXPECT_EQ(r.Name, "Click");
    EXPECT_EQ(r.ClassName, "TForm1");
    EXPECT_EQ(r.NamePos.X, 18);
    EXPECT_EQ(r.ParamForm, "#:TObject;var#:Char");
    EXPECT_EQ(pas.Parser().TokenString(), "Click");
}

TEST(CodeDesigners, DeleteEmptyMethodsKeepsEverythingElse) {
    struct Case {
        TStringsCodeDesigner* d;
        Lines text;
        int deletions;
        Lines expected;
    };
    TComponent form(nullptr);
    form.SetName("Form1");
    TVbsCodeDesigner vbs;
    TJsCodeDesigner js;
    TPythonCodeDesigner py;
    TDelphiCodeDesigner pas(&form);
    const Case cases[] = {
        {&vbs,
         {"Dim a", "Sub A", "End Sub", "x = 1", "", "Sub B", "End Sub", "Sub C", "  a = 1", "End Sub",
          "y = 2"},
         2,
         {"Dim a", "x = 1", "Sub C", "  a = 1", "End Sub", "y = 2"}},
        // A routine sharing a line with other text is left whole rather than cut.
        {&js,
         {"x(); function A() {}", "function B() { y(); }", "function C()", "{", "}", "z();"},
         1,
         {"x(); function A() {}", "function B() { y(); }", "z();"}},
        {&py,
         {"import os", "def a():", "#def", "def b():", "    pass", "#def", "def c():", "#def"},
         2,
         {"import os", "def b():", "    pass", "#def"}},
        // Same name in two classes: only the empty one goes, whichever comes first.
        {&pas,
         {"implementation", "procedure TOther.Click(Sender: TObject);", "begin", "  Beep;", "end;", "",
          "procedure TForm1.Click(Sender: TObject);", "begin", "end;", "", "end."},
         1,
         {"implementation", "procedure TOther.Click(Sender: TObject);", "begin", "  Beep;", "end;", "",
          "end."}},
        {&pas, {"implementation", "end."}, 0, {"implementation", "end."}},
    };
    for (const auto& c : cases) {
        c.d->SetStrings(c.text);
        int deletions = 0;
        while (c.d->DoDeleteEmptyMethods())
            ++deletions;
        EXPECT_EQ(deletions, c.deletions) << c.text[0];
        EXPECT_EQ(c.d->GetStrings(), c.expected) << c.text[0];
        c.d->SetStrings(c.text);
        c.d->DeleteEmptyMethods();
        EXPECT_EQ(c.d->GetStrings(), c.expected) << c.text[0];
    }
}

TEST(CodeDesigners, RenameModule) {
    struct Case {
        TStringsCodeDesigner* d;
        Lines text;
        bool renamed;
        Lines expected;
    };
    TUnitCodeDesigner unit;
    TJsCodeDesigner js;
    TVbsCodeDesigner vbs;
    const Case cases[] = {
        {&unit,
         {"unit Old;", "interface", "implementation", "end."},
         true,
         {"unit Fresh;", "interface", "implementation", "end."}},
        // Another unit that uses it: the clause's entry, not its file name nor qualified names.
        {&unit,
         {"unit Main;", "interface", "uses Windows, Old in 'Old.pas',", "  Older;", "implementation",
          "procedure X; begin Old.Run; end;", "end."},
         true,
         {"unit Main;", "interface", "uses Windows, Fresh in 'Old.pas',", "  Older;", "implementation",
          "procedure X; begin Old.Run; end;", "end."}},
        {&unit,
         {"unit Main;", "interface", "uses Older;", "implementation", "end."},
         false,
         {"unit Main;", "interface", "uses Older;", "implementation", "end."}},
        {&js,
         {"//USEUNIT old", "//USEUNIT Older", "var Old = 1;"},
         true,
         {"//USEUNIT Fresh", "//USEUNIT Older", "var Old = 1;"}},
        {&vbs, {"  'USEUNIT  Old", "Old = 1"}, true, {"  'USEUNIT  Fresh", "Old = 1"}},
        {&vbs, {"Old = 1"}, false, {"Old = 1"}},
    };
    for (const auto& c : cases) {
        c.d->SetStrings(c.text);
        EXPECT_EQ(c.d->RenameModule("Old", "Fresh"), c.renamed) << c.text[0];
        EXPECT_EQ(c.d->GetStrings(), c.expected) << c.text[0];
    }
    unit.SetStrings({"unit Old;"});
    EXPECT_FALSE(unit.RenameModule("Old", "end"));
    EXPECT_EQ(unit.GetStrings()[0], "unit Old;");
}

TEST(CodeDesigners, ParserClassUsesAndDelimiters) {
    struct Case {
        TCodeDesigner* d;
        TClass parser;
        bool autoFillUses;
    };
    TVbsCodeDesigner vbs;
    TBasicCodeDesigner basic;
    TJsCodeDesigner js;
    TPerlCodeDesigner perl;
    TPythonCodeDesigner py;
    THTMLCodeDesigner html;
    TSqlCodeDesigner sql;
    TUnitCodeDesigner unit;
    TDelphiCodeDesigner pas;
    const Case cases[] = {
        {&vbs, TVBScriptParser::StaticClass(), false},  {&basic, TVBScriptParser::StaticClass(), false},
        {&js, TJavaScriptParser::StaticClass(), false}, {&perl, TPerlParser::StaticClass(), false},
        {&py, TPythonParser::StaticClass(), false},     {&html, THTMLParser::StaticClass(), false},
        {&sql, TSqlParser::StaticClass(), false},       {&unit, TDelphiParser::StaticClass(), true},
        {&pas, TDelphiParser::StaticClass(), true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.d->GetSyntaxParserClass(), c.parser) << c.d->ClassName();
        EXPECT_EQ(c.d->AutoFillUses(), c.autoFillUses) << c.d->ClassName();
        auto* strings = dynamic_cast<TStringsCodeDesigner*>(c.d);
        ASSERT_NE(strings, nullptr);
        EXPECT_EQ(strings->Parser().ClassType(), c.parser) << c.d->ClassName();
    }
    const TCharSet delims = js.GetDelimiters();
    for (char c : std::string(" \t.,;:()"))
        EXPECT_TRUE(delims.test(uint8_t(c))) << c;
    for (char c : std::string("aZ_09"))
        EXPECT_FALSE(delims.test(uint8_t(c))) << c;
}

TEST(CodeDesigners, LinkedStringsProperty) {
    TJsCodeDesigner js;
    {
        TLinesHolder holder(nullptr);
        holder.Text.Add("var a = 1;");
        js.SetLink(&holder);
        EXPECT_TRUE(js.GetStrings().empty()); // no property named yet
        EXPECT_FALSE(js.RefreshStrings());
        js.SetPropName("Lines");
        EXPECT_EQ(js.GetStrings(), (Lines{"var a = 1;"}));

        // Changes reach the linked list.
        ASSERT_TRUE(js.CreateMethod("Go", Event()));
        EXPECT_EQ(ToLines(holder.Text), (Lines{"var a = 1;", "", "function Go()", "{", "", "}"}));
        js.DeleteEmptyMethods();
        EXPECT_EQ(ToLines(holder.Text), (Lines{"var a = 1;"}));
        js.UseUnits({"lib"});
        EXPECT_EQ(ToLines(holder.Text), (Lines{"//USEUNIT lib", "var a = 1;"}));
        js.SetStrings({"a();", "var a = 1;"});
        EXPECT_EQ(ToLines(holder.Text), (Lines{"a();", "var a = 1;"}));
        js.SetStrings({"//USEUNIT lib", "var a = 1;"});
        EXPECT_EQ(ToLines(holder.Text), (Lines{"//USEUNIT lib", "var a = 1;"}));

        // Changes of the list are read on request.
        holder.Text.Add("b();");
        EXPECT_EQ(js.GetStrings().size(), 2u);
        EXPECT_TRUE(js.RefreshStrings());
        EXPECT_EQ(js.GetStrings().size(), 3u);

        js.SetPropName("Nothing");
        EXPECT_FALSE(js.RefreshStrings());
        js.SetPropName("Lines");
    }
    // The holder's end unlinks the designer.
    EXPECT_EQ(js.Link(), nullptr);
    EXPECT_FALSE(js.RefreshStrings());
    EXPECT_EQ(js.GetStrings().size(), 3u);
}

TEST(CodeDesigners, FormUnitFromOwnerAndComponents) {
    TComponent form(nullptr);
    form.SetName("Main");
    TComponent ok(&form);
    ok.SetName("OkButton");
    TComponent unnamed(&form);
    TLinesHolder notes(&form);
    notes.SetName("Notes");
    TLinesHolder more(&form);
    more.SetName("More");
    TDelphiCodeDesigner d(&form);
    std::string unknownFor;
    auto units = [&](TClass cls) -> std::string {
        if (cls == TComponent::StaticClass())
            return "classes"; // already listed, in another case
        if (cls == TLinesHolder::StaticClass())
            return "LineHolders";
        unknownFor = cls->ClassName();
        return std::string();
    };
    ASSERT_TRUE(d.GenerateCodeForComp("MainUnit", units));
    EXPECT_EQ(d.GetStrings(), (Lines{"unit MainUnit;",
                                     "",
                                     "interface",
                                     "",
                                     "uses Windows, Messages, SysUtils, Classes, Graphics, Controls, Forms,",
                                     "     Dialogs, LineHolders;",
                                     "",
                                     "type",
                                     "  TMain = class(TComponent)",
                                     "    OkButton: TComponent;",
                                     "    Notes: TLinesHolder;",
                                     "    More: TLinesHolder;",
                                     "  private",
                                     "    {private declarations}",
                                     "  protected",
                                     "    {protected declarations}",
                                     "  public",
                                     "    {public declarations}",
                                     "  end;",
                                     "",
                                     "var",
                                     "  Main: TMain;",
                                     "",
                                     "implementation",
                                     "",
                                     "{$R *.DFM}",
                                     "",
                                     "end."}));
    // The generated unit is one the designer works on.
    ASSERT_TRUE(d.CreateMethod("Click", kNotify));
    EXPECT_EQ(d.GetMethodState("Click"), 0);
    EXPECT_EQ(d.GetStrings()[12], "    procedure Click(Sender: TObject);");

    // A component whose unit is unknown leaves the text as it was.
    const Lines before = d.GetStrings();
    TDelphiCodeDesigner other(nullptr);
    TComponent* stray = new TDelphiCodeDesigner(&form);
    stray->SetName("Stray");
    EXPECT_FALSE(d.GenerateCodeForComp("MainUnit", units));
    EXPECT_EQ(unknownFor, "TDelphiCodeDesigner");
    EXPECT_EQ(d.GetStrings(), before);
    EXPECT_FALSE(d.GenerateCodeForComp("MainUnit", nullptr));
    EXPECT_FALSE(other.GenerateCodeForComp("MainUnit", units)); // no owner
}

TEST(CodeDesigners, TemplateOfAnOwnedDesignerIsItsFormUnit) {
    TComponent form(nullptr);
    form.SetName("Main");
    TLinesHolder notes(&form);
    notes.SetName("Notes");
    TDelphiCodeDesigner d(&form);
    bool known = true;
    d.OnGetUnitOfClass = [&](TClass) { return known ? std::string("LineHolders") : std::string(); };
    d.FillWithTemplate("MainUnit", false);
    const Lines formUnit = d.GetStrings();
    ASSERT_GT(formUnit.size(), 10u);
    EXPECT_EQ(formUnit[0], "unit MainUnit;");
    EXPECT_EQ(formUnit[5], "     Dialogs, LineHolders;");
    EXPECT_EQ(formUnit[9], "    Notes: TLinesHolder;");
    EXPECT_EQ(formUnit.back(), "end.");

    // Text is kept unless forced; forced, a unit that cannot be named keeps it too.
    d.SetStrings({"kept"});
    d.FillWithTemplate("MainUnit", false);
    EXPECT_EQ(d.GetStrings(), (Lines{"kept"}));
    known = false;
    d.FillWithTemplate("MainUnit", true);
    EXPECT_EQ(d.GetStrings(), (Lines{"kept"}));
    known = true;
    d.FillWithTemplate("MainUnit", true);
    EXPECT_EQ(d.GetStrings(), formUnit);

    // Without an owner there is no form: the plain unit.
    TDelphiCodeDesigner lone(nullptr);
    lone.OnGetUnitOfClass = d.OnGetUnitOfClass;
    lone.FillWithTemplate("Unit1", true);
    EXPECT_EQ(lone.GetStrings(),
              (Lines{"unit Unit1;", "", "interface", "", "implementation", "", "end.", ""}));
}
