#include "engine/run/OutputFile.h"

#include <windows.h>

#include <cstdio>
#include <memory>

#include "engine/ConfigClass.h"
#include "engine/EngineContext.h"
#include "engine/EngineMessageBox.h"
#include "engine/JobClass.h"
#include "engine/OptionBits.h"
#include "engine/ResultClass.h"
#include "engine/run/MsgStore.h"
#include "engine/run/RunBoxes.h"
#include "engine/run/ValidateArgs.h"

namespace zel::run {

namespace {

constexpr uint32_t kQuestionBoxStyle = MB_YESNO | MB_ICONQUESTION | MB_SETFOREGROUND; // 0x10024

std::string quoted(const std::string& s) {
    return "\"" + s + "\"";
}

bool fileExists(const std::string& name) {
    return GetFileAttributesA(name.c_str()) != INVALID_FILE_ATTRIBUTES;
}

struct FileCloser {
    void operator()(FILE* f) const {
        if (f)
            std::fclose(f);
    }
};
using File = std::unique_ptr<FILE, FileCloser>;

void openFailedBox(const std::string& name) {
    showRunBox("There was an error opening the output file " + quoted(name) +
                   ". Orvalent cannot continue with this operation.",
               "Orvalent: Error Opening Output File");
}

// Writes the lines and closes the file; false when any byte did not reach it.
bool writeAndClose(File file, const FileStore& lines, const std::string& lineEnd) {
    const bool written = lines.write(file.get(), lineEnd.c_str()) == 0;
    return std::fclose(file.release()) == 0 && written;
}

} // namespace

std::string outputLineEnd(int32_t lineEndCode, int32_t toolsFileType) {
    if (lineEndCode == 5)
        return toolsFileType == 2 ? "\r" : toolsFileType == 3 ? "\n" : "\r\n";
    if (lineEndCode == 2)
        return "\n";
    if (lineEndCode == 3)
        return "\r";
    return "\r\n";
}

int32_t runOutputStep(ArgsClass& args, int32_t mode) {
    if (!args.options)
        return -3;
    if (!args.job || !args.results)
        return -4;
    const ConfigClass& options = *args.options;
    const std::string name = args.job->outputFile.getString();
    const std::string lineEnd = outputLineEnd(args.job->lineEnd, options.tools.ConvertToolFileType);
    const FileStore& lines = args.results->lines1;

    if (mode == 2) {
        File file(name.empty() ? nullptr : std::fopen(name.c_str(), "wb"));
        if (!file) {
            openFailedBox(name);
            return -5;
        }
        if (!writeAndClose(std::move(file), lines, lineEnd)) {
            DeleteFileA(name.c_str());
            return -2;
        }
        return 0;
    }

    const std::string backup = name + ".bak";
    if (fileExists(backup) && !DeleteFileA(backup.c_str())) {
        showRunBox("An error occurred while attempting to delete the backup file " + quoted(backup) +
                       ". Orvalent cannot continue with this operation.",
                   "Orvalent: Error Deleting File");
        return -1;
    }
    // A first output has no earlier file to keep.
    const bool hadFile = fileExists(name);
    if (hadFile && !MoveFileA(name.c_str(), backup.c_str())) {
        showRunBox("There was an error trying to rename the file " + quoted(name) +
                       ". Orvalent cannot continue with this operation.",
                   "Orvalent: Error Renaming File");
        return -1;
    }
    auto restore = [&] {
        if (hadFile)
            MoveFileA(backup.c_str(), name.c_str());
    };
    File file(name.empty() ? nullptr : std::fopen(name.c_str(), "wb"));
    if (!file) {
        openFailedBox(name);
        restore();
        return -1;
    }
    if (!writeAndClose(std::move(file), lines, lineEnd)) {
        DeleteFileA(name.c_str());
        restore();
        return -2;
    }
    if (hadFile && !(options.tools.Flags40 & bits::tools::ToolsCreateBAKFiles))
        DeleteFileA(backup.c_str());
    return 0;
}

void showCompletion(ArgsClass& args) {
    if (!args.options || !args.job || !args.results)
        return;
    const JobClass& job = *args.job;
    const ResultClass& results = *args.results;
    const uint32_t general = args.options->general.Flags40;
    const uint32_t jobFlags = job.flags;
    auto chosen = [&](uint32_t overrideBit, uint32_t valueBit, uint32_t generalBit) {
        return (jobFlags & overrideBit) ? (jobFlags & valueBit) != 0 : (general & generalBit) != 0;
    };
    namespace jb = bits::job;
    namespace gb = bits::general;
    const bool valFiles = chosen(jb::ValChoiceSet, jb::ValChoice, gb::UseVALFiles);
    const bool neverView = chosen(jb::NeverViewSet, jb::NeverView, gb::NeverOpenVALFiles);
    const bool alwaysView = chosen(jb::AlwaysViewSet, jb::AlwaysView, gb::AlwaysOpenViewer);
    const bool quietWhenClean = (general & gb::IfNoErrorsWarningsDontView) != 0;
    const uint32_t noQuestion = jb::RecordMode | jb::NoCompletionQuestion | jb::NoCompletionQuestion2;
    const int32_t errors = results.messages ? results.messages->errorCount() : 0;
    const int32_t warnings = results.messages ? results.messages->warningCount() : 0;
    const bool clean = errors == 0 && warnings == 0;
    const std::string input = job.input.getString();
    const std::string output = job.outputFile.getString();
    const std::string counts = " is complete. This document contains " + std::to_string(errors) +
                               " error(s) and " + std::to_string(warnings) + " warning(s).";

    bool view = false;
    if (valFiles && neverView) {
        if (!(jobFlags & noQuestion) && !(jobFlags & jb::NoCompletionBox))
            showRunBox("The validation check of " + quoted(input) + counts + " The output file " +
                           quoted(output) + " was created with the validation results.",
                       "Orvalent: Validation Check Complete", ZEL_BOX_INFO);
    } else if (alwaysView) {
        view = true;
    } else if (quietWhenClean && clean && (jobFlags & noQuestion)) {
        view = false;
    } else if (quietWhenClean && !clean) {
        view = true;
    } else {
        view = showRunBox("The validation check of " + quoted(input) + counts +
                              " Do you want to open the viewer with the results?",
                          "Orvalent: Open Viewer?", kQuestionBoxStyle) == IDYES;
    }

    bool opened = false;
    if (view) {
        const std::string viewer = args.options->general.OutputViewer.getString();
        const std::string commandLine = viewer + " " + quoted(output);
        opened = startProgram(commandLine.c_str(),
                              (general & gb::OpenViewerMaximized) ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
        if (!opened)
            showRunBox("There was an error starting the application " + quoted(viewer) + ".",
                       "Orvalent: Error Starting Application");
    }
    if (quietWhenClean && clean && !opened && !(jobFlags & jb::RecordMode))
        DeleteFileA(output.c_str());
}

} // namespace zel::run
