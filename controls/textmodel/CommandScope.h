#pragma once
// Brackets of a source kept balanced on every way out: one notification per update, and one
// notification and one undo step per block command.

#include <cstdint>

#include "controls/textmodel/MemoSource.h"

class TUpdateScope {
public:
    TUpdateScope(TCustomMemoSource& source, uint8_t reason) : FSource(source) { FSource.BeginUpdate(reason); }
    ~TUpdateScope() { FSource.EndUpdate(); }
    TUpdateScope(const TUpdateScope&) = delete;
    TUpdateScope& operator=(const TUpdateScope&) = delete;

private:
    TCustomMemoSource& FSource;
};

// One notification and one undo step for a command that moves the caret as the user would, so
// that its moves may drop the selection.
class TUndoStepScope {
public:
    TUndoStepScope(TCustomMemoSource& source, uint8_t reason) : FSource(source) {
        FSource.BeginUpdate(reason);
        FSource.BeginUndoBlock();
    }
    ~TUndoStepScope() {
        FSource.EndUndoBlock();
        FSource.EndUpdate();
    }
    TUndoStepScope(const TUndoStepScope&) = delete;
    TUndoStepScope& operator=(const TUndoStepScope&) = delete;

private:
    TCustomMemoSource& FSource;
};

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
