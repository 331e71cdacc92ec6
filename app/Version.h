#pragma once

namespace glassfalls {
inline constexpr const char* kVersion = "0.1.0";
}
