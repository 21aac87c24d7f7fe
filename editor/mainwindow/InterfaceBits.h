#pragma once
// The bits of the interface settings words as the main window's files read them: F is the first
// flag word, F2 the second, bits numbered from 0. Both read 0 without a state record.
#include <cstdint>

#include "editor/core/AppState.h"

namespace mainwindow {

inline bool Bit(uint32_t Word, int Index) {
    return (Word >> Index) & 1u;
}

inline uint32_t F() {
    return p && p->iface ? p->iface->flags : 0;
}

inline uint32_t F2() {
    return p && p->iface ? p->iface->flags2 : 0;
}

} // namespace mainwindow
