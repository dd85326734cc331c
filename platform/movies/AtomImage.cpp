#include "platform/movies/AtomImage.h"

namespace atom_image {

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
