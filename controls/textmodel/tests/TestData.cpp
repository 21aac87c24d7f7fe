#include "TestData.h"

#include <cstdlib>

std::string TestDataDir() {
    const char* Set = std::getenv("ZEL_TEST_DATA");
    return Set && *Set ? Set : ZEL_TEXTMODEL_TEST_DATA;
}
