#pragma once
// Names for forms that no form on the screen carries yet.
#include "framework/core/Win.h"

#include <string>

// Name, else "Name_1", "Name_2"... until no form on the screen carries it (the program's
// global components are its forms).
std::string FindUniqueName(const std::string& Name);
