#pragma once
// The line store of a text source: one record per line with the line's text and everything
// computed or marked for it (colour data, parser states, flags, measures).

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/core/Strings.h"

enum TStringItemState : uint8_t {
    isWasParsed = 0x01,
    isReadOnly = 0x02,
    isHidden = 0x04,
    isExpanded = 0x08,
    isCollapsed = 0x10,
};

// Line end a line had in the file it was loaded from, kept so that a file with mixed line ends
// is written back byte for byte. leDefault means "whatever the source's OutFormat says".
enum TLineEnd : uint8_t { leDefault = 0, leCRLF = 1, leLF = 2, leCR = 3 };

struct TStringItem {
    std::string Text;
    std::string LineData;
    TObject* Object = nullptr;
    std::string ColorData;
    int32_t EndState = 0;
    int32_t StartState = 0;
    uint16_t ImageBits = 0;
    uint8_t State = 0;
    uint8_t TextStyle = 0;
    int32_t Measure[3] = {0, 0, 0};
    uint8_t LineEnd = leDefault;

    bool Has(uint8_t bit) const { return (State & bit) != 0; }
    void Set(uint8_t bit, bool on) { State = on ? uint8_t(State | bit) : uint8_t(State & ~bit); }
};

class TInternalStrings : public TStrings {
public:
    using TGetStringHandler = std::function<void(std::string&)>;

    TInternalStrings() = default;
    ~TInternalStrings() override { Clear(); }

    // Display form of a line (tabs expanded through the handler) unless Raw is set; empty outside the range.
    std::string Get(int index) const override;
    // Stored text of a line, tabs kept.
    const std::string& GetRaw(int32_t index) const;
    // Stores the text and clears the line's parsed flag; ignored outside the range.
    void Put(int index, const std::string& s) override;
    TObject* GetObject(int index) const override;
    void PutObject(int index, TObject* obj) override;
    int GetCount() const override { return int(FItems.size()); }
    int32_t GetCapacity() const { return FCapacity; }
    void SetCapacity(int32_t n);
    void Insert(int index, const std::string& s) override { InsertMove(index, std::string(s)); }
    // The same without copying the text.
    void InsertMove(int32_t index, std::string&& s);
    int32_t AddMove(std::string&& s) {
        const int32_t index = GetCount();
        InsertMove(index, std::move(s));
        return index;
    }
    void Delete(int index) override;
    void Exchange(int, int) override {}
    // Exchanges the lines and their records with another store; the handler and Raw stay.
    void Swap(TInternalStrings& other) noexcept;
    void Clear() override;
    // All lines joined by CR LF, without a line end after the last line.
    std::string GetText() const override;
    std::string GetTextStr() const { return GetText(); }

    TStringItem* Item(int32_t index) const {
        return index >= 0 && index < GetCount() ? FItems[size_t(index)] : nullptr;
    }

    TGetStringHandler OnGetString;
    bool Raw = false;

private:
    // Records come from blocks of a pool rather than one allocation each: a large document is
    // loaded and freed much faster.
    TStringItem* NewItem();
    void FreeItem(TStringItem* item);

    std::vector<TStringItem*> FItems;
    int32_t FCapacity = 0;
    std::vector<std::unique_ptr<TStringItem[]>> FBlocks;
    std::vector<TStringItem*> FFree;
};

// Small string routines shared by the text model. Positions given to them count from 1.
namespace TextRoutines {
// Index (from 0) of the first byte below 14 (tab, line feed, carriage return and the rarer control
// bytes among them) at or after `from`, `size` when there is none. Eight bytes are tested at once:
// loading and wrapping look through every byte of a large text for these.
size_t FindLowByte(const char* text, size_t from, size_t size);
// Index (from 0) of the first tab, the text's size when it has none.
size_t FindTab(const std::string& s);
inline bool HasTab(const std::string& s) {
    return FindTab(s) < s.size();
}
// 1-based position of the first `ch` at or after `from`, 0 when none.
int32_t FindChar(const std::string& s, char ch, int32_t from);
enum TTrimMode { tmLeft = 0, tmRight = 1, tmBoth = 2 };
std::string Trim(const std::string& s, TTrimMode mode, bool keepTrailingTabs = false);
std::string TrimRight(const std::string& s);
std::string TrimLeft(const std::string& s);
// Cuts `s` to `len` or pads it with byte 0.
std::string PadTo(const std::string& s, size_t len, char fill = '\0');
} // namespace TextRoutines
