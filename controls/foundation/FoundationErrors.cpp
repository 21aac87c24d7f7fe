#include "controls/foundation/FoundationErrors.h"

#include "controls/foundation/HSResStrings.h"

void RaiseListIndexError(int32_t Index) {
    throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
}

void RaiseListCountError(int32_t Count) {
    throw EListError("List count out of bounds (" + std::to_string(Count) + ")");
}

void RaiseListCapacityError(int32_t Capacity) {
    throw EListError("List capacity out of bounds (" + std::to_string(Capacity) + ")");
}

void RaiseDuplicateItemError() {
    throw EHSError(LoadResString(SErrDuplicateItem));
}

void RaiseStackEmptyError() {
    throw EHSError(LoadResString(SErrStackEmpty));
}
