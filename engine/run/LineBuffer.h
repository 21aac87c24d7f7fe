#pragma once
// Where output lines go. The run writes through this interface so the same writers fill a
// results object's line stores, a log entry or a test's buffer.

#include <cstdint>
#include <string>
#include <vector>

namespace zel::run {

class LineSink {
public:
    virtual ~LineSink() = default;
    // Adds text as lines: "\n" splits it, one trailing "\n" is dropped; with continueLine the
    // next text added goes on the last line. 0 on success, negative on failure.
    virtual int addLine(const std::string& text, bool continueLine) = 0;
    virtual int32_t lineCount() const = 0;
};

// A plain list of lines with the same adding rules as the engine's file store.
class LineBuffer : public LineSink {
public:
    int addLine(const std::string& text, bool continueLine) override;
    int32_t lineCount() const override { return static_cast<int32_t>(lines_.size()); }
    const std::vector<std::string>& lines() const { return lines_; }
    std::string joined(const char* lineEnd = "\n") const;

private:
    std::vector<std::string> lines_;
    bool continuation_ = false;
};

} // namespace zel::run
