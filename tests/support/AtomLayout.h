// A writer and a reader of the published QT atom container layout, written from the layout alone,
// to check the container calls against.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace atom_layout {

using Bytes = std::vector<uint8_t>;

inline void Put32(Bytes* out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out->push_back(uint8_t(value >> shift));
}

// The values as big-endian 32-bit words.
inline Bytes Words(std::initializer_list<uint32_t> values) {
  Bytes out;
  for (uint32_t value : values) Put32(&out, value);
  return out;
}

inline uint32_t Get32(const Bytes& in, size_t at) {
  return uint32_t(in[at]) << 24 | uint32_t(in[at + 1]) << 16 | uint32_t(in[at + 2]) << 8 | in[at + 3];
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

namespace detail {
inline bool Walk(const Bytes& in, size_t at, size_t end, unsigned count, std::string* out) {
  for (unsigned i = 0; i < count; ++i) {
    if (end - at < 20) return false;
    const uint32_t size = Get32(in, at);
    const unsigned children = unsigned(in[at + 14]) << 8 | in[at + 15];
    if (size < 20 || size > end - at) return false;
    *out += (i > 0 ? "," : "") + std::string(in.begin() + long(at + 4), in.begin() + long(at + 8));
    *out += "#" + std::to_string(Get32(in, at + 8));
    if (children == 0) {
      *out += "(" + std::to_string(size - 20) + ")";
    } else {
      *out += "[";
      if (!Walk(in, at + 20, at + size, children, out)) return false;
      *out += "]";
    }
    at += size;
  }
  return at == end;
}
}  // namespace detail

// The image as "sean#1[vide#1[hegt#1(4),wdth#1(4)]]", leaves with their data sizes; empty when
// the bytes break the layout anywhere.
inline std::string Describe(const Bytes& in) {
  std::string out;
  if (in.size() < 32 || Get32(in, 12) != in.size() - 12 || Bytes(in.begin(), in.begin() + 10) != Bytes(10)) return "";
  return detail::Walk(in, 12, in.size(), 1, &out) ? out : "";
}

}  // namespace atom_layout
