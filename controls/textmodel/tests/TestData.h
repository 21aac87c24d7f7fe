#pragma once
// Where the text model's test programs find their data (the colouring goldens): ZEL_TEST_DATA
// when it is set, as the test run sets it, else the folder the program was built from, so the
// program also runs alone.

#include <string>

std::string TestDataDir();
