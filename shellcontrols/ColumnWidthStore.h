#pragma once
// The column widths that every shell list of the program shares: when a list leaves a folder on
// the file system, or its window goes, the widths of its columns are kept here, and the next list
// that shows a file-system folder takes them again. The store is one block of little-endian
// 32-bit numbers: the count, then one width per column. It also remembers the shell's own
// "DirectoryCols" bytes last read, so that a change there wins over the kept widths.
#include <cstdint>
#include <vector>

// Keeps Widths in place of what was kept before.
void NVSaveColumnWidths(const std::vector<int>& Widths);
// The kept widths (empty when none were kept).
std::vector<int> NVLoadColumnWidths();
// Whether the bytes equal those remembered the previous time (never the first time); then
// remembers them.
bool NVSameDirectoryColsAsBefore(const std::vector<uint8_t>& Bytes);
// Forgets the widths and the remembered bytes, as at the program's start.
void NVClearColumnWidths();
