#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

namespace parlivo {

// Text is scanned a 64-bit word at a time: a word copied from memory with
// std::memcpy holds several lanes, one per code unit (a byte of UTF-8 or a
// unit of UTF-16), and a scan marks the lanes it looks for by setting their
// top bits.
template <typename Unit>
struct Lanes {
  static constexpr std::size_t kPerWord = sizeof(std::uint64_t) / sizeof(Unit);
  static constexpr int kBits = 8 * sizeof(Unit);
  static constexpr std::uint64_t kOneInEach = ~std::uint64_t{0} / ((std::uint64_t{1} << kBits) - 1);
  static constexpr std::uint64_t kTopBitOfEach = kOneInEach << (kBits - 1);
  static constexpr std::uint64_t kLowBitsOfEach = ~kTopBitOfEach;
};

// The index of the first marked lane in memory order, which is the low end
// of the word on little-endian machines and the high end on big-endian
// ones. `marks` must not be zero.
constexpr std::size_t FirstMarkedLane(std::uint64_t marks, int bitsPerLane) {
  const int bit = std::endian::native == std::endian::little ? std::countr_zero(marks)
                                                              : std::countl_zero(marks);
  return static_cast<std::size_t>(bit / bitsPerLane);
}

}  // namespace parlivo
