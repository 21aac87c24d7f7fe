#include "editor/core/ViewSetup.h"

#include "controls/textmodel/MemoSource.h"
#include "editor/core/AppState.h"

#include <exception>

int32_t InitMemoSource(TCustomMemoSource* source, int32_t) {
    if (!source)
        return -1;
    if (p && p->config) {
        try {
            source->SetTabStops(p->config->tabStops.getString());
        } catch (const std::exception&) {
            // A stored tab-stop text the model refuses leaves the model's own stops.
        }
    }
    TStringsOptions o = source->Options();
    o &= ~static_cast<uint32_t>(soGroupUndo | soLimitEOL);
    o |= soBackUnindents | soAutoIndent | soPersistentBlocks | soOverwriteBlocks;
    source->SetOptions(o);
    return 0;
}
