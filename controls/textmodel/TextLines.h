#pragma once
// Text handed to the source as one string (typed, pasted, streamed) becomes lines here.

#include <string>
#include <vector>

// Splits at CR LF, CR or LF; a text that ends with a line end gives a last, empty line.
std::vector<std::string> SplitTextLines(const std::string& text);
