#pragma once

#include "element_record.h"

namespace vostrel {

inline constexpr int kFirstElement = 1;
inline constexpr int kLastElement = 112;

// Record of element number n, or nullptr when no element has that number.
const ElementRecord* elementRecord(int n) noexcept;

} // namespace vostrel
