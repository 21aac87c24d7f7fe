#pragma once
// Tab stops and the mapping between stored text (which may hold tab characters) and display
// columns. Columns are 0-based; a tab whose 1-based position is P fills the display up to and
// including 1-based position S, the first stop not below P.

#include <cstdint>
#include <string>
#include <vector>

#include "framework/core/Exceptions.h"

ZEL_DECLARE_EXCEPTION(EMemoSourceError, Exception)

class TTabRack {
public:
    TTabRack() { SetTabStops("9,17"); }

    // Accepts values of at least 1 in strictly increasing order; raises "Invalid Tab Rack" otherwise.
    // An empty text gives the single stop 8.
    void SetTabStops(const std::string& text);
    const std::string& TabStops() const { return FText; }
    const std::vector<int32_t>& Stops() const { return FStops; }

    // Stop of 0-based tab index `index`, continuing past the list by its last interval.
    int32_t VirtualStop(int32_t index) const;
    // Number of blanks a tab at 1-based position `pos` expands to.
    int32_t TabWidthAt(int32_t pos) const;
    // The most blanks a tab expands to anywhere in a line.
    int32_t WidestTab() const;

    std::string Expand(const std::string& s, char fill = ' ') const;
    // Display width of the first `index` stored characters (past the end each counts one column).
    int32_t RelativeIndex(const std::string& s, int32_t index) const;
    // Stored index of the character under display column `col` (past the end: one per column).
    int32_t RealIndex(const std::string& s, int32_t col) const;
    // When `col` lies inside a tab's expansion (not on its first column), gives the distance to
    // the expansion's end (forward) or start and returns true.
    bool TabDelta(const std::string& s, int32_t col, int32_t& delta, bool forward) const;

private:
    std::string FText;
    std::vector<int32_t> FStops;
};
