#pragma once
// The property editors whose values come from the screen or from a dialog: monospaced font
// names, a font without its dialog, a folder and a computer of the network.

#include <cstdint>
#include <string>
#include <vector>

#include "controls/foundation/PropertyEditors.h"

// A font name restricted to the screen's monospaced fonts, as a code view needs.
class TMonoSpaceFontNamesProperty {
public:
    explicit TMonoSpaceFontNamesProperty(std::string& Value) : FValue(Value) {}
    static uint32_t GetAttributes() { return paValueList | paMultiSelect | paSortList; }
    // The screen's monospaced fonts.
    static std::vector<std::string> GetValues();
    std::string GetValue() const { return FValue; }
    // Raises an Exception ("Only monospaced fonts can be used") and keeps the old name when the
    // font is not monospaced.
    void SetValue(const std::string& Name);

private:
    std::string& FValue;
};

// A font edited through its sub-properties only: the font dialog would offer proportional fonts.
class TMonoFontProperty {
public:
    static uint32_t GetAttributes() { return paSubProperties | paMultiSelect; }
    static void Edit() {}
};

// A folder name, typed or chosen with the folder browser.
class TDirectoryProperty {
public:
    explicit TDirectoryProperty(std::string& Value) : FValue(Value) {}
    static uint32_t GetAttributes() { return paMultiSelect | paDialog; }
    // Asks for a folder ("Select Directory"), starting at the current value; a cancelled
    // question keeps it.
    void Edit();

private:
    std::string& FValue;
};

// The name of a computer of the network, typed or chosen by browsing the network.
class TComputerNameProperty {
public:
    explicit TComputerNameProperty(std::string& Value) : FValue(Value) {}
    static uint32_t GetAttributes() { return paMultiSelect | paDialog; }
    // A cancelled question keeps the current name.
    void Edit();

private:
    std::string& FValue;
};
