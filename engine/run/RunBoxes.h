#pragma once
// Message boxes of the run. All of them go through the engine's one box function, so tests
// record them instead of showing them.

#include <cstdint>
#include <string>

namespace zel::run {

constexpr uint32_t kStopBoxStyle = 0x10010; // stop icon, brought to the foreground

int showRunBox(const std::string& text, const std::string& caption, uint32_t style = kStopBoxStyle);

} // namespace zel::run
