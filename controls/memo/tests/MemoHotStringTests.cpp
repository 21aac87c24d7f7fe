// Hot strings: which addresses reach the shell, and how.
#include <gtest/gtest.h>

#include <vector>

#include "controls/memo/Memo.h"
#include "controls/memo/MemoHotStrings.h"
#include "framework/ui/ShellExec.h"

namespace {

class TUrlMemo : public THSMemo {
public:
    TUrlMemo() : THSMemo(nullptr) {}
    using THSMemo::MemoJumpToUrl;
};

TEST(HotStrings, OnlyWebFileTransferAndMailAddressesOpen) {
    struct Case {
        const char* Text;
        const char* Url;
    } Cases[] = {
        {"http://example.org/a?b=1", "http://example.org/a?b=1"},
        {"HTTPS://example.org", "HTTPS://example.org"},
        {"ftp://host/file", "ftp://host/file"},
        {"MailTo:someone@example.org", "MailTo:someone@example.org"},
        {"www.example.org", "http://www.example.org"},
        {"someone@example.org", "mailto:someone@example.org"},
        {"file:///C:/Windows/system32/calc.exe", ""},
        {"javascript:alert(1)", ""},
        {"C:\\Windows\\notepad.exe", ""},
        {"\\\\server\\share\\x.exe", ""},
        {"calc.exe", ""},
        {"http://a b", ""},
        {"http://", ""},
        {"", ""},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(HotStringToUrl(C.Text), C.Url) << C.Text;
}

TEST(HotStrings, TheMemoOpensThroughTheShellSeamUnlessAHandlerTakesIt) {
    std::vector<std::string> Opened;
    const TShellExecuteFunc Old = SetShellExecuteFunc(
        [&](const std::string&, const std::string& File, const std::string&, const std::string&, int) {
            Opened.push_back(File);
            return true;
        });
    {
        TUrlMemo Memo;
        Memo.MemoJumpToUrl("www.example.org");
        Memo.MemoJumpToUrl("file:///C:/evil.exe");
        Memo.MemoJumpToUrl("cmd.exe");
        Memo.OnJumpToUrl = [](TObject*, const std::string&, bool& Handled) { Handled = true; };
        Memo.MemoJumpToUrl("http://taken.example");
    }
    SetShellExecuteFunc(Old);
    EXPECT_EQ(Opened, (std::vector<std::string>{"http://www.example.org"}));
}

} // namespace
