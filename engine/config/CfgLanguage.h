#pragma once
// Language choice of a record text: "{ENGLISH: "text" FRENCH: "texte"}" holds one text per
// language; anything else is one text for all.

#include <cstdint>
#include <string>

// language: 0 English, 1 French. With fallback, an empty choice becomes the English text, and a
// text that does not begin with "{" is the result as it stands; without it, such a text gives "".
std::string chooseLanguageText(const char* text, int32_t language, bool fallback);
