#include "shellcontrols/ColumnWidthStore.h"

#include <optional>

namespace {

std::vector<uint8_t> GStream;
std::optional<std::vector<uint8_t>> GDirectoryCols;

void PutInt32(std::vector<uint8_t>& Out, int32_t Value) {
    auto U = static_cast<uint32_t>(Value);
    for (int I = 0; I < 4; ++I)
        Out.push_back(static_cast<uint8_t>(U >> (8 * I)));
}

int32_t GetInt32(const std::vector<uint8_t>& In, size_t At) {
    uint32_t U = 0;
    for (int I = 0; I < 4; ++I)
        U |= static_cast<uint32_t>(In[At + static_cast<size_t>(I)]) << (8 * I);
    return static_cast<int32_t>(U);
}

} // namespace

void NVSaveColumnWidths(const std::vector<int>& Widths) {
    GStream.clear();
    PutInt32(GStream, static_cast<int32_t>(Widths.size()));
    for (int W : Widths)
        PutInt32(GStream, W);
}

std::vector<int> NVLoadColumnWidths() {
    std::vector<int> Widths;
    if (GStream.size() < 4)
        return Widths;
    int32_t Count = GetInt32(GStream, 0);
    for (size_t I = 0; I < static_cast<size_t>(Count > 0 ? Count : 0) && 4 + 4 * (I + 1) <= GStream.size();
         ++I)
        Widths.push_back(GetInt32(GStream, 4 + 4 * I));
    return Widths;
}

bool NVSameDirectoryColsAsBefore(const std::vector<uint8_t>& Bytes) {
    bool Same = GDirectoryCols && *GDirectoryCols == Bytes;
    GDirectoryCols = Bytes;
    return Same;
}

void NVClearColumnWidths() {
    GStream.clear();
    GDirectoryCols.reset();
}
