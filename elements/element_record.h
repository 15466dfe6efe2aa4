#pragma once

#include <array>
#include <string_view>

namespace vostrel {

// Everything the program tells about one element: eight finished display strings.
// They are shown exactly as stored; nothing here is ever parsed as a number.
struct ElementRecord {
    std::string_view AtomicNumber;
    std::string_view OxidationNumbers;
    std::string_view ElementName;
    std::string_view BoilingPoint;
    std::string_view MeltingPoint;
    std::string_view ProtonCount;
    std::string_view Group;
    std::string_view ElectronCount;
};

inline constexpr int kFieldCount = 8;

// Field k (1-based) of a record goes into detail box Text<k>; this is also the order of the writes.
inline constexpr std::array<std::string_view ElementRecord::*, kFieldCount> kFieldOrder{
    &ElementRecord::AtomicNumber, &ElementRecord::OxidationNumbers, &ElementRecord::ElementName,
    &ElementRecord::BoilingPoint, &ElementRecord::MeltingPoint,     &ElementRecord::ProtonCount,
    &ElementRecord::Group,        &ElementRecord::ElectronCount,
};

// A field that is exactly this string has no value; a '-' in front of digits is a minus sign.
inline constexpr std::string_view kNoneMark = "-";

} // namespace vostrel
