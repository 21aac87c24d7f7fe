#include "controls/foundation/FormNames.h"

#include "framework/core/SysUtils.h"
#include "framework/ui/Forms.h"

static bool IsGlobalComponentName(const std::string& Name) {
    if (!Screen)
        return false;
    for (int I = 0; I < Screen->FormCount(); ++I)
        if (SameText(Screen->Forms(I)->Name(), Name))
            return true;
    return false;
}

std::string FindUniqueName(const std::string& Name) {
    if (!IsGlobalComponentName(Name))
        return Name;
    for (int I = 1;; ++I) {
        std::string Candidate = Name + "_" + std::to_string(I);
        if (!IsGlobalComponentName(Candidate))
            return Candidate;
    }
}
