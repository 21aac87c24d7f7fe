#include "editor/core/CommandLine.h"

#include "editor/core/AppState.h"
#include "editor/core/EditorLink.h"
#include "editor/core/FileAssociations.h"
#include "editor/core/FormHelpers.h"
#include "editor/core/PathHelpers.h"
#include "framework/ui/Forms.h"

#include <cctype>
#include <cstring>

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

void queueText(const std::string& text) {
    if (!p || p->vol->closing)
        return;
    p->vol->commandQueue.Add(text.c_str(), StringArrayStore::AddAtEnd | StringArrayStore::AddNoCut);
}

} // namespace

std::string NextCommandWord(std::string& rest) {
    size_t i = 0;
    while (i < rest.size() && isBlank(rest[i]))
        ++i;
    std::string word;
    bool quoted = false;
    for (; i < rest.size(); ++i) {
        char c = rest[i];
        if (c == '"') {
            quoted = !quoted;
            continue;
        }
        if (!quoted && isBlank(c))
            break;
        word += c;
    }
    rest.erase(0, i);
    return word;
}

namespace {
// The words that make a queued line a command rather than a list of files.
bool IsSwitch(const std::string& word) {
    return _stricmp(word.c_str(), "-LinkCheckMessage") == 0 || word == "-1" || word == "-2" || word == "-4" ||
           word == "-6" || _stricmp(word.c_str(), "-BringToFront") == 0 || _stricmp(word.c_str(), "-x") == 0;
}
} // namespace

std::vector<std::string> CommandLineFiles(const std::string& line) {
    std::vector<std::string> files;
    std::string rest = line;
    for (std::string word = NextCommandWord(rest); !word.empty(); word = NextCommandWord(rest)) {
        if (files.empty() && IsSwitch(word))
            break;
        files.push_back(word);
    }
    return files;
}

std::string WithFullPathNames(const std::string& line) {
    std::vector<std::string> files = CommandLineFiles(line);
    if (files.empty())
        return line;
    for (std::string& file : files)
        file = FullPathName(file);
    return JoinCommandLine(files);
}

std::string JoinCommandLine(const std::vector<std::string>& words) {
    std::string line;
    for (const std::string& w : words) {
        if (!line.empty())
            line += ' ';
        bool quote = w.empty() || w.find_first_of(" \t") != std::string::npos;
        line += quote ? "\"" + w + "\"" : w;
    }
    return line;
}

int32_t HandOverCommandLine(HWND window, const char* commandLine) {
    if (!window)
        return HandOverNoCopy;
    std::string text = commandLine ? commandLine : "";
    if (text.find_first_not_of(" \t\r\n") == std::string::npos)
        text = "-BringToFront";
    if (text.size() <= ZelAtomTextLimit) {
        ATOM atom = GlobalAddAtomA(text.c_str());
        if (!atom)
            return HandOverFailed;
        if (!PostMessageA(window, ZelHandOverMessage, 0, static_cast<LPARAM>(atom))) {
            GlobalDeleteAtom(atom);
            return HandOverFailed;
        }
        return HandOverDone;
    }
    // An atom name holds at most 255 characters: a longer line goes whole as copied data, and the
    // receiver's answer tells whether it took it.
    COPYDATASTRUCT data{};
    data.dwData = ZelHandOverCopyDataTag;
    data.cbData = static_cast<DWORD>(text.size() + 1);
    data.lpData = const_cast<char*>(text.c_str());
    DWORD_PTR answer = 0;
    LRESULT sent = SendMessageTimeoutA(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                                       SMTO_ABORTIFHUNG | SMTO_BLOCK, 10000, &answer);
    return sent && answer ? HandOverDone : HandOverFailed;
}

void ReceiveHandOverAtom(LPARAM atomValue) {
    ATOM atom = static_cast<ATOM>(atomValue & 0xFFFF);
    if (!atom)
        return;
    char buffer[1025];
    UINT n = GlobalGetAtomNameA(atom, buffer, sizeof buffer);
    GlobalDeleteAtom(atom);
    if (n > 0)
        queueText(std::string(buffer, n));
}

bool ReceiveHandOverCopyData(LPARAM copyData) {
    auto* data = reinterpret_cast<const COPYDATASTRUCT*>(copyData);
    if (!data || data->dwData != ZelHandOverCopyDataTag || !data->lpData || data->cbData == 0)
        return false;
    const char* text = static_cast<const char*>(data->lpData);
    size_t n = strnlen(text, data->cbData);
    if (!p || p->vol->closing)
        return false;
    queueText(std::string(text, n));
    return true;
}

bool IsRemoveAssociationsSwitch(const char* commandLine) {
    if (!commandLine)
        return false;
    std::string rest = commandLine;
    std::string word = NextCommandWord(rest);
    return word.size() == 2 && word[0] == '-' && (word[1] == 'x' || word[1] == 'X');
}

int32_t ParseCommandLine(HWND owner, const char* commandLine) {
    if (!p || !commandLine || !*commandLine)
        return 1;
    p->vol->hasCommandLine = 1;
    // Only the whole switch counts: a file named "-xmas.html" is a file to open. The removal runs
    // here, before any window exists, so it cannot wait for the main window to offer it.
    if (IsRemoveAssociationsSwitch(commandLine)) {
        RemoveFileAssociations(owner, 0);
        return 0;
    }
    p->vol->commandQueue.Add(commandLine, 1 | StringArrayStore::AddAtEnd | StringArrayStore::AddNoCut);
    return 1;
}

int32_t ProcessCommandQueue(StringArrayStore& queue) {
    HWND previous = GetForegroundWindow();
    TEditorLink& link = EditorLink();
    auto front = [&] {
        if (link.BringToFront)
            link.BringToFront();
    };
    auto mainForm = [&]() -> HWND { return link.MainFormHandle ? link.MainFormHandle() : nullptr; };
    auto call = [](const std::function<void()>& f) {
        if (f)
            f();
    };
    std::string item;
    while (queue.TakeFirst(item)) {
        std::string rest = item;
        std::string word = NextCommandWord(rest);
        if (word.empty())
            continue;
        if (!IsSwitch(word)) {
            front();
            for (const std::string& file : CommandLineFiles(item))
                if (link.AddNewFileTab)
                    link.AddNewFileTab(file);
        } else if (_stricmp(word.c_str(), "-LinkCheckMessage") == 0) {
            continue;
        } else if (word == "-1" || word == "-2" || word == "-4") {
            front();
            call(word == "-1"   ? link.OpenValidatorOptions
                 : word == "-2" ? link.OptionsHTMLConfigurationEditorClick
                                : link.OptionsEditorOptionsClick);
            if (previous)
                SetForegroundWindow(previous);
        } else if (word == "-6") {
            if (link.AddFileAssociations)
                link.AddFileAssociations();
            else
                AddFileAssociations(mainForm(), 1, 0);
        } else if (_stricmp(word.c_str(), "-BringToFront") == 0) {
            front();
        } else {
            if (link.RemoveFileAssociations)
                link.RemoveFileAssociations();
            else
                RemoveFileAssociations(mainForm(), 0);
        }
    }
    return 0;
}

int32_t BringFormToFront(TCustomForm* form, int32_t flags) {
    if (!form)
        return -1;
    if (flags & BringAll) {
        flags |= BringShow | BringFocus | BringForeground | BringRestoreForm | BringRestoreApplication;
        if (flags & BringNoApplication)
            flags &= ~BringRestoreApplication;
    }
    if ((flags & BringRestoreApplication) && Application && Application->MainForm() &&
        Application->MainForm()->HandleAllocated() && IsIconic(Application->MainForm()->Handle()))
        ShowWindow(Application->MainForm()->Handle(), SW_RESTORE);
    if ((flags & BringRestoreForm) && form->WindowState() == TWindowState::wsMinimized)
        SetFormWindowState(form, 0);
    if (flags & BringShow)
        form->Show();
    if (flags & BringForeground)
        SetForegroundWindow(form->Handle());
    if ((flags & BringFocus) && form->Showing())
        SetFocus(form->Handle());
    if (flags & BringActive)
        SetActiveWindow(form->Handle());
    return 0;
}
