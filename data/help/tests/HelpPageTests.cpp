// The help pages as they are installed beside the program: every page a window of the editor or
// of the engine opens is there, every link between them leads somewhere, and the program's own
// validator finds no error in any of them.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "editor/core/EngineFunctionTable.h"

namespace fs = std::filesystem;

namespace {

fs::path OwnFolder() {
    char Path[MAX_PATH];
    GetModuleFileNameA(nullptr, Path, MAX_PATH);
    return fs::path(Path).parent_path();
}

fs::path HelpFolder() {
    return OwnFolder() / "Documentation";
}

std::string ReadFile(const fs::path& Name) {
    std::ifstream In(Name, std::ios::binary);
    std::ostringstream S;
    S << In.rdbuf();
    return S.str();
}

std::vector<std::string> ShippedPages() {
    std::vector<std::string> Pages;
    std::error_code Ec;
    for (const fs::directory_entry& E : fs::directory_iterator(HelpFolder(), Ec))
        if (E.path().extension() == ".html")
            Pages.push_back(E.path().filename().string());
    std::sort(Pages.begin(), Pages.end());
    return Pages;
}

// Every string literal of the program's sources (tests left out) that names a bare page, "x.html" or
// "\\x.html": the names the code hands to the help opener, taken from where they are written.
std::map<std::string, std::string> PageNamesInTheCode() {
    const char* Root = std::getenv("ZEL_SOURCE_ROOT");
    std::map<std::string, std::string> Names; // name -> the file that names it
    if (!Root)
        return Names;
    const std::regex Literal(R"re("(?:\\\\)?([a-z0-9_]+\.html)")re");
    for (const char* Folder : {"editor", "engine"}) {
        for (auto It = fs::recursive_directory_iterator(fs::path(Root) / Folder);
             It != fs::recursive_directory_iterator(); ++It) {
            if (It->is_directory() && It->path().filename() == "tests") {
                It.disable_recursion_pending();
                continue;
            }
            const std::string Ext = It->path().extension().string();
            if (Ext != ".cpp" && Ext != ".h")
                continue;
            const std::string Text = ReadFile(It->path());
            for (std::sregex_iterator M(Text.begin(), Text.end(), Literal), End; M != End; ++M)
                Names.emplace((*M)[1].str(), It->path().lexically_relative(Root).generic_string());
        }
    }
    return Names;
}

TEST(HelpPages, EveryPageTheProgramOpensIsInstalled) {
    const std::map<std::string, std::string> Names = PageNamesInTheCode();
    ASSERT_NE(std::getenv("ZEL_SOURCE_ROOT"), nullptr) << "the test needs the source folder";
    // The reader must find the pages it is there for: the menu's, a dialog's and the engine's.
    for (const char* Known : {"contents.html", "findreplacedialog.html", "valenginegeneraltab.html"})
        EXPECT_EQ(Names.count(Known), 1u) << Known << " was not found in the sources";
    for (const auto& [Name, Source] : Names)
        EXPECT_TRUE(fs::is_regular_file(HelpFolder() / Name)) << Name << ", opened in " << Source;
}

// The pages' own links: each names an installed page, and a fragment names a place in it.
TEST(HelpPages, EveryLinkLeadsToAPageAndPlace) {
    const std::vector<std::string> Pages = ShippedPages();
    ASSERT_FALSE(Pages.empty()) << HelpFolder().string();
    const std::regex Href(R"re(href="([^"]*)")re", std::regex::icase);
    std::set<std::string> Linked;
    for (const std::string& Page : Pages) {
        const std::string Text = ReadFile(HelpFolder() / Page);
        for (std::sregex_iterator M(Text.begin(), Text.end(), Href), End; M != End; ++M) {
            const std::string Link = (*M)[1].str();
            if (Link.find("://") != std::string::npos)
                continue;
            const size_t Hash = Link.find('#');
            const std::string Target = Hash == std::string::npos ? Link : Link.substr(0, Hash);
            const std::string To = Target.empty() ? Page : Target;
            Linked.insert(To);
            ASSERT_TRUE(fs::is_regular_file(HelpFolder() / To)) << Page << " links to " << Link;
            if (Hash != std::string::npos) {
                const std::string Id = "id=\"" + Link.substr(Hash + 1) + "\"";
                EXPECT_NE(ReadFile(HelpFolder() / To).find(Id), std::string::npos)
                    << Page << " links to " << Link;
            }
        }
    }
    // Every page can be reached from the contents, directly or through another page.
    for (const std::string& Page : Pages) {
        if (Page != "contents.html") {
            EXPECT_EQ(Linked.count(Page), 1u) << Page << " is linked from no page";
        }
    }
}

// Errors and warnings of one page, one line each: "line: text".
std::string Findings(int32_t Results) {
    std::string Out;
    const int32_t N = Engine.ZELGetIntegerEZ(Results, ZELID_RESULT_RECORDS);
    for (int32_t I = 1; I <= N; ++I) {
        const int32_t Kind = Engine.ZELGetInteger2EZ(Results, ZELID_RESULT_MSGKIND, I);
        if (Kind != ZEL_MSG_ERROR && Kind != ZEL_MSG_WARNING)
            continue;
        const char* Text = Engine.ZELGetString2(Results, ZELID_RESULT_MSGTEXT, I);
        Out += std::to_string(Engine.ZELGetInteger2EZ(Results, ZELID_RESULT_MSGLINE, I)) + ": " +
               (Text ? Text : "") + "\n";
    }
    return Out;
}

// With the shipped configuration and a new user's options, as F6 in the editor checks a page.
TEST(HelpPages, TheValidatorFindsNothingWrongInAnyPage) {
    // The engine looks for its folder when it is loaded, as an installer leaves it; its boxes are
    // written to a file instead of waiting for someone.
    const fs::path BoxLog =
        fs::temp_directory_path() / ("zel_help_boxes_" + std::to_string(GetCurrentProcessId()));
    SetEnvironmentVariableA("ZEL_MESSAGE_BOX_LOG", BoxLog.string().c_str());
    HKEY Key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Nortavia\\ZEL Orvalent Lite v2", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &Key, nullptr),
              ERROR_SUCCESS);
    const std::string Folder = OwnFolder().string();
    RegSetValueExA(Key, "InstallDirV30", 0, REG_SZ, reinterpret_cast<const BYTE*>(Folder.c_str()),
                   static_cast<DWORD>(Folder.size() + 1));
    RegCloseKey(Key);

    const std::vector<std::string> Pages = ShippedPages();
    ASSERT_FALSE(Pages.empty());
    {
        // Bound by name as the editor binds it.
        const HMODULE Module = LoadLibraryA((OwnFolder() / "zelvalidatorliteV30.dll").string().c_str());
        ASSERT_NE(Module, nullptr);
        ASSERT_EQ(BindEngineFunctions(Module), 0);
        const int32_t Options = Engine.ZELGetNewHandle(ZEL_HANDLE_OPTIONS);
        ASSERT_GE(Options, 0);
        ASSERT_EQ(Engine.ZELSetString(Options, ZELID_OPT_CONFIGFILE,
                                      (OwnFolder() / "orvalenlite30.cfg").string().c_str()),
                  0);
        ASSERT_GE(Engine.ZELHTMLConfiguration(nullptr, Options, ZEL_CFG_LOADDEFAULT | ZEL_CFG_SILENT), 0);
        // One job over a page's text, as the editor hands its document to the engine.
        const auto Validate = [&](const std::string& Name, const std::string& Text) {
            const int32_t Job = Engine.ZELGetNewHandle(ZEL_HANDLE_JOB);
            if (Job < 0)
                return Job;
            Engine.ZELSetInteger(Job, ZELID_JOB_TYPE, ZEL_JOBTYPE_VALIDATE);
            Engine.ZELSetFlag(Job, ZELID_JOB_FLAGS, ZEL_JOB_SHOWPROGRESS | ZEL_JOB_HIDEPROGRESSAFTER, 0);
            Engine.ZELSetFlag(Job, ZELID_JOB_FLAGS, ZEL_JOB_TEXTFROMEDITOR, 1);
            std::istringstream Lines(Text);
            for (std::string Line; std::getline(Lines, Line);) {
                if (!Line.empty() && Line.back() == '\r')
                    Line.pop_back();
                Engine.ZELSetString(Job, ZELID_JOB_ADDPATH, Line.c_str());
            }
            Engine.ZELSetString(Job, ZELID_JOB_INPUT, Name.c_str());
            const int32_t Results = Engine.ZELRunJob(nullptr, Options, Job, 0);
            Engine.ZELFreeHandle(Job, 0);
            return Results;
        };
        // The check must be able to fail: a page with an element closed out of order is an error.
        {
            std::string Broken = ReadFile(HelpFolder() / "contents.html");
            const size_t Body = Broken.find("<body>");
            ASSERT_NE(Body, std::string::npos);
            Broken.insert(Body + 6, "\n<p><b>bold</p></b>\n");
            const int32_t Results = Validate("broken.html", Broken);
            ASSERT_GE(Results, 0);
            EXPECT_GT(Engine.ZELGetIntegerEZ(Results, ZELID_RESULT_ERRORS), 0);
            Engine.ZELFreeHandle(Results, 0);
        }
        for (const std::string& Page : Pages) {
            const int32_t Results = Validate(Page, ReadFile(HelpFolder() / Page));
            ASSERT_GE(Results, 0) << Page;
            EXPECT_EQ(Engine.ZELGetIntegerEZ(Results, ZELID_RESULT_ERRORS), 0) << Page << "\n"
                                                                               << Findings(Results);
            EXPECT_EQ(Engine.ZELGetIntegerEZ(Results, ZELID_RESULT_WARNINGS), 0) << Page << "\n"
                                                                                 << Findings(Results);
            Engine.ZELFreeHandle(Results, 0);
        }
        Engine.ZELFreeHandle(Options, 0);
        ClearEngineFunctions();
        FreeLibrary(Module);
    }
    SetEnvironmentVariableA("ZEL_MESSAGE_BOX_LOG", nullptr);
    EXPECT_EQ(ReadFile(BoxLog), "") << "the engine showed a box";
    std::error_code Ec;
    fs::remove(BoxLog, Ec);
}

} // namespace
