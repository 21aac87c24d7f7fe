#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/textmodel/CodeDesigners.h"

namespace {
using Lines = std::vector<std::string>;

TMethodTypeData Event(std::vector<TMethodParam> params = {}, int32_t kind = 0) {
    TMethodTypeData t;
    t.MethodKind = kind;
    t.Params = std::move(params);
    return t;
}

const TMethodTypeData kNotify = Event({{0, "Sender", "TObject"}});
} // namespace

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
