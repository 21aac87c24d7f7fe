#include "framework/ui/ShellExec.h"

#include <shellapi.h>

namespace {
TShellExecuteFunc& Current() {
    static TShellExecuteFunc Func;
    return Func;
}
} // namespace

TShellExecuteFunc SetShellExecuteFunc(TShellExecuteFunc Func) {
    TShellExecuteFunc Old = std::move(Current());
    Current() = std::move(Func);
    return Old;
}

bool ShellExecuteSeam(const std::string& Verb, const std::string& File, const std::string& Parameters,
                      const std::string& Directory, int ShowCmd) {
    if (Current())
        return Current()(Verb, File, Parameters, Directory, ShowCmd);
    HINSTANCE R = ShellExecuteA(nullptr, Verb.empty() ? nullptr : Verb.c_str(), File.c_str(),
                                Parameters.empty() ? nullptr : Parameters.c_str(),
                                Directory.empty() ? nullptr : Directory.c_str(), ShowCmd);
    return reinterpret_cast<intptr_t>(R) > 32;
}
