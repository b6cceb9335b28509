#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

namespace parlivo {

// Text is scanned a 64-bit word at a time: a word copied from memory with
// std::memcpy holds several lanes (bytes or code units), and a scan marks the
// lanes it looks for with set bits. This is the index of the first marked
// lane in memory order, which is the low end of the word on little-endian
// machines and the high end on big-endian ones. `marks` must not be zero.
constexpr std::size_t FirstMarkedLane(std::uint64_t marks, int bitsPerLane) {
  const int bit = std::endian::native == std::endian::little ? std::countr_zero(marks)
                                                              : std::countl_zero(marks);
  return static_cast<std::size_t>(bit / bitsPerLane);
}

}  // namespace parlivo
