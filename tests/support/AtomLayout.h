// A writer of the published QT atom container layout, written from the layout alone, to check the
// container calls against.
#pragma once

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <vector>

namespace atom_layout {

using Bytes = std::vector<uint8_t>;

// The values as big-endian 32-bit words.
inline Bytes Words(std::initializer_list<uint32_t> values) {
  Bytes out;
  for (uint32_t value : values) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(uint8_t(value >> shift));
  }
  return out;
}

// One atom: a leaf with `data`, or (when `children` is not empty) a parent of the given atoms.
inline Bytes Atom(const char* type, uint32_t id, const std::vector<Bytes>& children, const Bytes& data = {}) {
  Bytes out = Words({0, 0, id, uint32_t(children.size()), 0});
  out.insert(out.end(), data.begin(), data.end());
  for (const Bytes& child : children) out.insert(out.end(), child.begin(), child.end());
  std::copy(type, type + 4, out.begin() + 4);
  for (int i = 0; i < 4; ++i) out[size_t(i)] = uint8_t(out.size() >> (24 - 8 * i));
  return out;
}

inline Bytes Container(const std::vector<Bytes>& children) {
  Bytes out(12, 0);
  const Bytes root = Atom("sean", 1, children);
  out.insert(out.end(), root.begin(), root.end());
  return out;
}

}  // namespace atom_layout
