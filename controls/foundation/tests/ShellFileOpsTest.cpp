#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/foundation/PropertyUtils.h"
#include "controls/foundation/ShellFileOps.h"
#include "controls/foundation/tests/TestFolder.h"
#include "framework/core/Streams.h"
#include "framework/core/SysUtils.h"
#include "framework/core/Win.h"

#include <shellapi.h>

namespace {
std::vector<TShellFileRequest> gRequests;
TShellFileResult gAnswer;

TShellFileResult Recorder(const TShellFileRequest& r) {
    gRequests.push_back(r);
    return gAnswer;
}

// The shell seam records instead of acting while a test holds one of these.
struct RecordingShell {
    RecordingShell(TShellFileResult answer = {}) {
        gRequests.clear();
        gAnswer = answer;
        THSFileOperation::SetShellFileFunction(&Recorder);
    }
    ~RecordingShell() { THSFileOperation::SetShellFileFunction(nullptr); }
};

std::string Z(const std::string& s) {
    std::string r = s;
    for (char& c : r)
        if (c == '|')
            c = '\0';
    return r;
}

constexpr TFileOperationFlags kQuiet = FileOpFlag(ffNoConfirmation) | FileOpFlag(ffNoErrorUI) |
                                       FileOpFlag(ffSilent) | FileOpFlag(ffNoConfirmMkDir);
} // namespace

// The component keeps its settings as published properties: only what differs from the defaults
// is written, and everything comes back.
TEST(ShellFileOps, SettingsTravelAsPublishedProperties) {
    THSFileOperation Plain;
    TStringStream PlainText;
    WriteObjToTextStream(PlainText, &Plain);
    EXPECT_EQ(PlainText.DataString().find("Operation ="), std::string::npos);
    EXPECT_EQ(PlainText.DataString().find("Options ="), std::string::npos);

    THSFileOperation Op;
    Op.SourceFiles()->Add("a.txt");
    Op.SourceFiles()->Add("b.txt=c.txt");
    Op.SetDestFolder("C:\\Out");
    Op.SetProgressTitle("Copying");
    Op.SetOperation(foMove);
    Op.SetOptions(FileOpFlag(ffSilent) | FileOpFlag(ffNoErrorUI));
    TStringStream Text;
    WriteObjToTextStream(Text, &Op);
    EXPECT_NE(Text.DataString().find("Operation = foMove"), std::string::npos) << Text.DataString();
    EXPECT_NE(Text.DataString().find("Options = [ffNoErrorUI, ffSilent]"), std::string::npos)
        << Text.DataString();
    THSFileOperation Back;
    Text.SetPosition(0);
    ReadObjFromStream(Text, &Back);
    EXPECT_EQ(Back.SourceFiles()->Text(), Op.SourceFiles()->Text());
    EXPECT_EQ(Back.DestFolder(), "C:\\Out");
    EXPECT_EQ(Back.ProgressTitle(), "Copying");
    EXPECT_EQ(Back.Operation(), foMove);
    EXPECT_EQ(Back.Options(), Op.Options());
}

TEST(ShellFileOps, ListsFlagsAndOperationCodes) {
    RecordingShell shell;
    struct Case {
        std::vector<std::string> lines;
        const char* dest;
        TFileOperationType type;
        const char* from;
        const char* to;
        uint32_t function;
        uint16_t extraFlags;
    } cases[] = {
        {{"a", "b"}, "D", foCopy, "a|b||", "D||", FO_COPY, 0},
        // A ';' belongs to the path: it never splits one entry into two.
        {{"C:\\x;C:\\Windows"}, "", foDelete, "C:\\x;C:\\Windows||", "||", FO_DELETE, 0},
        {{"x=y", "u=v"}, "", foMove, "x|u||", "y|v||", FO_MOVE, FOF_MULTIDESTFILES},
        {{"x=y", "", "u=v"}, "D\\", foCopy, "x|u||", "D\\y|D\\v||", FO_COPY, FOF_MULTIDESTFILES},
        // One stray '=' does not turn a list of paths into pairs, and a delete never maps.
        {{"a", "b=c"}, "D", foCopy, "a|b=c||", "D||", FO_COPY, 0},
        {{"x=y"}, "", foDelete, "x=y||", "||", FO_DELETE, 0},
        {{}, "", foRename, "||", "||", FO_RENAME, 0},
    };
    for (const auto& c : cases) {
        THSFileOperation op;
        for (const auto& l : c.lines)
            op.SourceFiles()->Add(l);
        op.SetDestFolder(c.dest);
        op.SetOperation(c.type);
        ASSERT_TRUE(op.Execute());
        const TShellFileRequest& r = gRequests.back();
        EXPECT_EQ(r.From, Z(c.from)) << c.from;
        EXPECT_EQ(r.To, Z(c.to)) << c.to;
        EXPECT_EQ(r.Function, c.function);
        EXPECT_EQ(r.Flags, uint16_t(FOF_ALLOWUNDO | FOF_FILESONLY | FOF_RENAMEONCOLLISION | c.extraFlags));
    }
    THSFileOperation all;
    all.SetOptions(0xFF);
    all.SetOperation(foDelete);
    all.Copy();
    EXPECT_EQ(gRequests.back().Function, uint32_t(FO_COPY));
    EXPECT_EQ(all.Operation(), foDelete);
    EXPECT_EQ(gRequests.back().Flags, 0x7DC);
}

TEST(ShellFileOps, ErrorsAndAbort) {
    std::vector<std::string> errors;
    auto run = [&](TShellFileResult answer) {
        RecordingShell shell(answer);
        THSFileOperation op;
        op.SourceFiles()->Add("a");
        op.OnError = [&](TObject* sender, const std::string& text, bool& handled) {
            EXPECT_EQ(sender, &op);
            errors.push_back(text);
            handled = true;
        };
        bool ok = op.Execute();
        EXPECT_EQ(op.Aborted(), answer.Aborted);
        return ok;
    };
    EXPECT_TRUE(run({0, false}));
    EXPECT_TRUE(errors.empty());
    EXPECT_FALSE(run({2, false}));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], THSFileOperation::GetSystemError(2));
    EXPECT_FALSE(errors[0].empty());
    EXPECT_FALSE(run({18, false}));
    EXPECT_EQ(errors.size(), 1u);
    // The user stopped it: not a success even though the shell answers 0.
    EXPECT_FALSE(run({0, true}));
    EXPECT_EQ(THSFileOperation::GetSystemError(0), "");
    THSFileOperation quiet;
    EXPECT_FALSE(quiet.Error("x"));
}

TEST(ShellFileOps, RealOperationsOnATemporaryTree) {
    TTestFolder dir;
    // A folder whose name holds ';' and '=' next to folders that a split name would point at.
    const std::string odd = dir / "keep;gone=x";
    ASSERT_TRUE(ForceDirectories(odd));
    ASSERT_TRUE(ForceDirectories(dir / "keep"));
    ASSERT_TRUE(ForceDirectories(dir / "gone"));
    WriteWholeFile(dir / "keep\\k.txt", "k");
    WriteWholeFile(dir / "gone\\g.txt", "g");
    WriteWholeFile(odd + "\\o.txt", "o");

    THSFileOperation del;
    del.SetOperation(foDelete);
    del.SetOptions(kQuiet);
    del.SourceFiles()->Add(odd);
    EXPECT_TRUE(del.Execute());
    EXPECT_FALSE(DirectoryExists(odd));
    EXPECT_TRUE(FileExists(dir / "keep\\k.txt"));
    EXPECT_TRUE(FileExists(dir / "gone\\g.txt"));

    TStringList pairs;
    pairs.Add(dir / "keep\\k.txt=" + dir / "copy1.txt");
    pairs.Add(dir / "gone\\g.txt=" + dir / "sub\\copy2.txt");
    THSFileOperation copy;
    copy.SetSourceFiles(&pairs);
    copy.SetOptions(kQuiet);
    EXPECT_TRUE(copy.Execute());
    EXPECT_EQ(ReadWholeFile(dir / "copy1.txt"), "k");
    EXPECT_EQ(ReadWholeFile(dir / "sub\\copy2.txt"), "g");

    THSFileOperation move;
    move.SetOptions(kQuiet);
    move.SourceFiles()->Add(dir / "copy1.txt");
    move.SetDestFolder(dir / "gone");
    EXPECT_TRUE(move.Move());
    EXPECT_FALSE(FileExists(dir / "copy1.txt"));
    EXPECT_TRUE(FileExists(dir / "gone\\copy1.txt"));

    EXPECT_TRUE(DeleteFolder(dir / "missing"));
    EXPECT_TRUE(DeleteFolder(dir / "gone\\"));
    EXPECT_FALSE(DirectoryExists(dir / "gone"));
    EXPECT_TRUE(DirectoryExists(dir / "keep"));
    EXPECT_FALSE(DeleteFolder("C:\\"));
    EXPECT_TRUE(DirectoryExists("C:\\windows"));
}
