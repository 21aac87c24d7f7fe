#include "engine/run/LineBuffer.h"

namespace zel::run {

int LineBuffer::addLine(const std::string& text, bool continueLine) {
    size_t end = text.size();
    if (end > 0 && text[end - 1] == '\n')
        --end;
    size_t start = 0;
    bool first = true;
    while (true) {
        size_t lf = text.find('\n', start);
        if (lf == std::string::npos || lf > end)
            lf = end;
        std::string part = text.substr(start, lf - start);
        if (first && continuation_) {
            if (lines_.empty())
                return -2;
            lines_.back() += part;
        } else {
            lines_.push_back(std::move(part));
        }
        first = false;
        if (lf >= end)
            break;
        start = lf + 1;
    }
    continuation_ = continueLine;
    return 0;
}

std::string LineBuffer::joined(const char* lineEnd) const {
    std::string out;
    for (const std::string& l : lines_) {
        out += l;
        out += lineEnd;
    }
    return out;
}

} // namespace zel::run
