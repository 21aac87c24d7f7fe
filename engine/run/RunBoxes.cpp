#include "engine/run/RunBoxes.h"

#include "engine/EngineMessageBox.h"

namespace zel::run {

int showRunBox(const std::string& text, const std::string& caption, uint32_t style) {
    return engineMessageBox(nullptr, text.c_str(), caption.c_str(), style);
}

} // namespace zel::run
