// The outline of an atom container's byte image: every atom's place, size, type, ID and child
// count, found by one walk that checks the whole image first. Internal to the atom container calls.
#pragma once

#include <cstddef>
#include <vector>

#include "platform/ByteOrder.h"
#include "platform/MacTypes.h"
#include "platform/movies/AtomContainers.h"

namespace atom_image {

constexpr OSType kRootAtomType = FOUR_CHAR_CODE("sean");
constexpr QTAtomID kRootAtomID = 1;
constexpr long kLockCountOffset = 10;
constexpr long kRootOffset = kQTAtomContainerHeaderSize;
constexpr long kMinImageSize = kQTAtomContainerHeaderSize + kQTAtomHeaderSize;
// Atom references are 32-bit offsets, so an image never grows past what they can name.
constexpr long kMaxImageSize = 0x7FFFFFFF;
// Deeper nesting than any settings need is taken for a hostile image.
constexpr int kMaxNestingDepth = 64;

// Field offsets inside an atom's 20-byte header.
constexpr long kSizeField = 0;
constexpr long kTypeField = 4;
constexpr long kIDField = 8;
constexpr long kChildCountField = 14;

struct AtomNode {
  long offset;  // of the header within the image
  long size;    // header included
  OSType type;
  QTAtomID id;
  UInt16 childCount;
  int parent;  // index into Outline::atoms; -1 for the root
  int depth;   // 0 for the root

  long dataOffset() const { return offset + kQTAtomHeaderSize; }
  long dataSize() const { return size - kQTAtomHeaderSize; }
  long end() const { return offset + size; }
  bool isLeaf() const { return childCount == 0; }
};

struct Outline {
  std::vector<AtomNode> atoms;  // the root first, then every atom in image order

  // Index of the atom that the reference names (kParentAtomIsContainer names the root), or -1.
  int indexOf(QTAtom reference) const;
  // Indexes of the atom's children, in image order.
  std::vector<int> childrenOf(int index) const;
};

// noErr and the outline when the bytes are a well-formed container; otherwise invalidAtomContainerErr
// and nothing is read beyond `size` bytes.
OSErr Parse(const UInt8* bytes, long size, Outline* outline);

}  // namespace atom_image
