#include "platform/movies/AtomImage.h"

namespace atom_image {

UInt16 ReadU16(const UInt8* p) { return UInt16((p[0] << 8) | p[1]); }

UInt32 ReadU32(const UInt8* p) {
  return (UInt32(p[0]) << 24) | (UInt32(p[1]) << 16) | (UInt32(p[2]) << 8) | UInt32(p[3]);
}

void WriteU16(UInt8* p, UInt16 value) {
  p[0] = UInt8(value >> 8);
  p[1] = UInt8(value);
}

void WriteU32(UInt8* p, UInt32 value) {
  p[0] = UInt8(value >> 24);
  p[1] = UInt8(value >> 16);
  p[2] = UInt8(value >> 8);
  p[3] = UInt8(value);
}

int Outline::indexOf(QTAtom reference) const {
  if (reference == kParentAtomIsContainer) return atoms.empty() ? -1 : 0;
  for (size_t i = 1; i < atoms.size(); ++i) {
    if (atoms[i].offset == reference) return int(i);
  }
  return -1;
}

std::vector<int> Outline::childrenOf(int index) const {
  std::vector<int> children;
  for (size_t i = size_t(index) + 1; i < atoms.size(); ++i) {
    if (atoms[i].parent == index) children.push_back(int(i));
  }
  return children;
}

namespace {

// The atoms in [begin, end) must tile the range exactly and number `expected`.
bool ParseChildren(const UInt8* bytes, long begin, long end, int parent, UInt16 expected, int depth, Outline* outline) {
  if (depth > kMaxNestingDepth) return false;
  long position = begin;
  UInt32 found = 0;
  while (position < end) {
    if (end - position < kQTAtomHeaderSize) return false;
    const UInt8* header = bytes + position;
    const UInt32 size = ReadU32(header + kSizeField);
    if (size < UInt32(kQTAtomHeaderSize) || size > UInt32(end - position)) return false;
    if (++found > expected) return false;
    const AtomNode atom{position,
                        long(size),
                        ReadU32(header + kTypeField),
                        QTAtomID(ReadU32(header + kIDField)),
                        ReadU16(header + kChildCountField),
                        parent,
                        depth};
    const int index = int(outline->atoms.size());
    outline->atoms.push_back(atom);
    if (!atom.isLeaf() &&
        !ParseChildren(bytes, atom.dataOffset(), atom.end(), index, atom.childCount, depth + 1, outline)) {
      return false;
    }
    position += long(size);
  }
  return found == expected;
}

}  // namespace

OSErr Parse(const UInt8* bytes, long size, Outline* outline) {
  outline->atoms.clear();
  if (bytes == nullptr || size < kMinImageSize || size > kMaxImageSize) return invalidAtomContainerErr;
  const UInt8* root = bytes + kRootOffset;
  if (ReadU32(root + kSizeField) != UInt32(size - kRootOffset) || ReadU32(root + kTypeField) != kRootAtomType) {
    return invalidAtomContainerErr;
  }
  outline->atoms.push_back(AtomNode{kRootOffset, size - kRootOffset, kRootAtomType, QTAtomID(ReadU32(root + kIDField)),
                                    ReadU16(root + kChildCountField), -1, 0});
  // The root holds only children, never data of its own.
  if (!ParseChildren(bytes, kMinImageSize, size, 0, outline->atoms[0].childCount, 1, outline)) {
    outline->atoms.clear();
    return invalidAtomContainerErr;
  }
  return noErr;
}

}  // namespace atom_image
