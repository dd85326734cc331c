// A writer and a reader of the published QT atom container layout, written from the layout alone,
// to check the container calls against.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace atom_layout {

using Bytes = std::vector<uint8_t>;

inline void Put32(Bytes* out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out->push_back(uint8_t(value >> shift));
}

inline uint32_t Get32(const Bytes& in, size_t at) {
  return uint32_t(in[at]) << 24 | uint32_t(in[at + 1]) << 16 | uint32_t(in[at + 2]) << 8 | in[at + 3];
}

inline uint32_t Code(const char* type) {
  return uint32_t(uint8_t(type[0])) << 24 | uint32_t(uint8_t(type[1])) << 16 | uint32_t(uint8_t(type[2])) << 8 |
         uint8_t(type[3]);
}

// One atom: a leaf with `data`, or (when `children` is not empty) a parent of the given atoms.
inline Bytes Atom(const char* type, uint32_t id, const std::vector<Bytes>& children, const Bytes& data = {}) {
  Bytes body = data;
  for (const Bytes& child : children) body.insert(body.end(), child.begin(), child.end());
  Bytes out;
  Put32(&out, uint32_t(20 + body.size()));
  Put32(&out, Code(type));
  Put32(&out, id);
  out.push_back(0);
  out.push_back(0);
  out.push_back(uint8_t(children.size() >> 8));
  out.push_back(uint8_t(children.size()));
  Put32(&out, 0);
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

inline Bytes Container(const std::vector<Bytes>& children) {
  Bytes out(12, 0);
  const Bytes root = Atom("sean", 1, children);
  out.insert(out.end(), root.begin(), root.end());
  return out;
}

namespace detail {
inline bool Walk(const Bytes& in, size_t begin, size_t end, unsigned count, std::string* out) {
  size_t at = begin;
  for (unsigned i = 0; i < count; ++i) {
    if (end - at < 20) return false;
    const uint32_t size = Get32(in, at);
    const unsigned children = unsigned(in[at + 14]) << 8 | in[at + 15];
    if (size < 20 || size > end - at) return false;
    if (i > 0) *out += ",";
    *out += std::string{char(in[at + 4]), char(in[at + 5]), char(in[at + 6]), char(in[at + 7])};
    *out += "#" + std::to_string(Get32(in, at + 8));
    if (children > 0) {
      *out += "[";
      if (!Walk(in, at + 20, at + size, children, out)) return false;
      *out += "]";
    } else {
      *out += "(" + std::to_string(size - 20) + ")";
    }
    at += size;
  }
  return at == end;
}
}  // namespace detail

// The image as "sean#1[vide#1[hegt#1(4),wdth#1(4)]]", leaves with their data sizes; empty when
// the bytes break the layout anywhere.
inline std::string Describe(const Bytes& in) {
  if (in.size() < 32) return "";
  for (int i = 0; i < 10; ++i) {
    if (in[size_t(i)] != 0) return "";
  }
  if (Get32(in, 12) != in.size() - 12) return "";
  std::string out;
  return detail::Walk(in, 12, in.size(), 1, &out) ? out : "";
}

}  // namespace atom_layout
