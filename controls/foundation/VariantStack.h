#pragma once
// A stack of values kept in pages of 1024 slots, so that pushing never moves the values already
// on it (callers hold slot addresses).

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "controls/foundation/HSVariant.h"
#include "framework/core/Object.h"

class TVariantStack : public TObject {
public:
    static constexpr int32_t PageSize = 1024;

    void Push(const THSVariant& V);
    void PushInt(int32_t I) { Push(THSVariant(I)); }
    // Both raise "Stack is empty" on an empty stack.
    void PopLast(THSVariant* Dest);
    THSVariant Pop();
    // The slot's address; nil outside 0..Count - 1.
    THSVariant* Items(int32_t I);
    void FillWithItems(THSVariant** Dest, int32_t Start, int32_t N);
    int32_t Count() const { return FCount; }
    bool IsEmpty() const { return FCount == 0; }
    int32_t PageCount() const { return static_cast<int32_t>(FPages.size()); }
    // Drops N values from the top; raises "Stack is empty" when fewer are there.
    void Collapse(int32_t N);
    // Grows by N slots: the rest of the current page stays empty, new pages start with every
    // slot holding the integer 3.
    void Expand(int32_t N);

private:
    using TPage = std::array<THSVariant, PageSize>;
    THSVariant& Slot(int32_t I) {
        return (*FPages[static_cast<size_t>(I >> 10)])[static_cast<size_t>(I & 1023)];
    }

    std::vector<std::unique_ptr<TPage>> FPages;
    int32_t FCount = 0;
};
