#include "controls/foundation/VariantStack.h"

#include <algorithm>

#include "controls/foundation/FoundationErrors.h"

void TVariantStack::Push(const THSVariant& V) {
    if (FCount % PageSize == 0 && FCount / PageSize == PageCount())
        FPages.push_back(std::make_unique<TPage>());
    Slot(FCount) = V;
    ++FCount;
}

void TVariantStack::PopLast(THSVariant* Dest) {
    if (FCount == 0)
        RaiseStackEmptyError();
    THSVariant& Top = Slot(FCount - 1);
    if (Dest)
        *Dest = Top;
    Top = THSVariant();
    --FCount;
    if (FCount % PageSize == 0)
        FPages.pop_back();
}

THSVariant TVariantStack::Pop() {
    THSVariant V;
    PopLast(&V);
    return V;
}

THSVariant* TVariantStack::Items(int32_t I) {
    return I >= 0 && I < FCount ? &Slot(I) : nullptr;
}

void TVariantStack::FillWithItems(THSVariant** Dest, int32_t Start, int32_t N) {
    for (int32_t K = 0; K < N; ++K)
        Dest[K] = Items(Start + K);
}

void TVariantStack::Collapse(int32_t N) {
    if (N < 0 || FCount < N)
        RaiseStackEmptyError();
    while (N > 0) {
        const int32_t Used = FCount % PageSize == 0 ? PageSize : FCount % PageSize;
        if (Used > N)
            break;
        FPages.pop_back();
        FCount -= Used;
        N -= Used;
    }
    for (; N > 0; --N)
        Slot(--FCount) = THSVariant();
}

void TVariantStack::Expand(int32_t N) {
    if (N <= 0)
        return;
    const int32_t RoomInPage = (PageSize - FCount % PageSize) % PageSize;
    const int32_t InPage = std::min(N, FCount / PageSize < PageCount() ? RoomInPage : 0);
    FCount += InPage;
    N -= InPage;
    while (N > 0) {
        auto Page = std::make_unique<TPage>();
        Page->fill(THSVariant(int32_t{3}));
        FPages.push_back(std::move(Page));
        const int32_t Take = std::min(N, PageSize);
        FCount += Take;
        N -= Take;
    }
}
