#include "controls/foundation/DialogPropEdits.h"

#include "controls/foundation/FolderDialog.h"
#include "controls/foundation/FontMetrics.h"
#include "controls/foundation/HSResStrings.h"
#include "framework/core/Exceptions.h"
#include "framework/ui/Graphics.h"
#include "framework/ui/Screen.h"

namespace {

bool IsMonoSpacedName(const std::string& Name) {
    TFont Font;
    Font.SetName(Name);
    return IsFontMonoSpaced(Font);
}

} // namespace

std::vector<std::string> TMonoSpaceFontNamesProperty::GetValues() {
    std::vector<std::string> Names;
    if (!Screen)
        return Names;
    for (const std::string& Name : Screen->Fonts())
        if (IsMonoSpacedName(Name))
            Names.push_back(Name);
    return Names;
}

void TMonoSpaceFontNamesProperty::SetValue(const std::string& Name) {
    if (!IsMonoSpacedName(Name))
        throw Exception(LoadResString(SErrNonMonoSpacedFont));
    FValue = Name;
}

void TDirectoryProperty::Edit() {
    std::string Dir = FValue;
    if (QueryDirectory(LoadResString(SSelectDirectory), Dir))
        FValue = Dir;
}

void TComputerNameProperty::Edit() {
    std::string Computer = FValue;
    if (QueryComputer("Select Computer", Computer))
        FValue = Computer;
}
