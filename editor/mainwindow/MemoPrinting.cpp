#include "editor/mainwindow/MemoPrinting.h"

#include <exception>

#include "controls/memo/MemoPrint.h"

std::string PrintMemoWithDialog(TCustomHSMemo& Memo, const std::string& Title) {
    TMemoPrinter Printer(Memo);
    Printer.FileName = Title;
    try {
        Printer.PrintWithDialog();
    } catch (const std::exception& E) {
        return E.what();
    }
    return {};
}
