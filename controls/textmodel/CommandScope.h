#pragma once
// One block command as one notification and one undo step, kept balanced on every way out.

#include <cstdint>

#include "controls/textmodel/MemoSource.h"

// While the scope is open the command's own caret moves do not drop the selection.
class TCommandScope {
public:
    TCommandScope(TCustomMemoSource& source, uint8_t reason) : FSource(source) {
        ++FSource.SelectionKeeping();
        FSource.BeginUpdate(reason);
        FSource.BeginUndoBlock();
    }
    ~TCommandScope() {
        FSource.EndUndoBlock();
        FSource.EndUpdate();
        --FSource.SelectionKeeping();
    }
    TCommandScope(const TCommandScope&) = delete;
    TCommandScope& operator=(const TCommandScope&) = delete;

private:
    TCustomMemoSource& FSource;
};
