#pragma once
// Every export runs its body through exportBody: a fault remembered at attach is shown first, and
// no exception ever leaves the library.

#include "engine/EngineContext.h"

#include <cstdint>

template <typename Result, typename Body>
Result exportBody(const char* function, Result failure, Body&& body) {
    try {
        reportDeferredFault();
        return body();
    } catch (...) {
        ZELErrorMessage(-1, function, "internal error");
        return failure;
    }
}
