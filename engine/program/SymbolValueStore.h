#pragma once
// The symbol table of configuration programs and template symbols: symbols kept in the order of
// their names, compared case-blind (upper-cased through the system locale), each with up to
// 1000 string values.

#include <cstdint>
#include <string>
#include <vector>

constexpr int32_t SYMBOL_MAX_VALUES = 1000;

class SymbolValueClass {
public:
    explicit SymbolValueClass(std::string symbolName) : name(std::move(symbolName)) {}
    std::string name;
    int32_t flag = 0;
    std::vector<std::string> values; // one past the highest index in use
    int32_t valueCount() const { return static_cast<int32_t>(values.size()); }
};

class SymbolValueStore {
public:
    // Stores value at index of the symbol (index -1: one past the highest in use, or 0 for a new
    // symbol) and replaces its flag. The index used, -1 for a bad index, -2 when the symbol
    // cannot be made.
    int32_t setValue(const char* name, const char* value, int32_t index, int32_t flag);
    // The same with the name given as the characters [begin, end).
    int32_t setValue(const char* begin, const char* end, const char* value, int32_t index, int32_t flag);

    int32_t count() const { return static_cast<int32_t>(symbols_.size()); }
    const SymbolValueClass* symbol(int32_t i) const;
    const char* value(int32_t symbol, int32_t index) const; // NULL when there is no such value
    int32_t valueCount(int32_t symbol) const;               // -1 when there is no such symbol
    int32_t indexOf(const char* name) const;                // -1 for NULL or a name not held
    void clear() { symbols_.clear(); }

private:
    std::vector<SymbolValueClass> symbols_;
};
