#include <gtest/gtest.h>

#include "platform/movies/AtomContainers.h"
#include "tests/support/AtomLayout.h"
#include "tests/support/RecordingExporter.h"

using atom_layout::Atom;
using atom_layout::Bytes;

namespace {

// Every call on the image, as a walker of untrusted settings would make them. Returns the
// validation status; the sanitizer build catches any read out of bounds.
OSErr Exercise(const Bytes& image) {
  QTAtomContainer container = test_support::ContainerFrom(image);
  const OSErr status = QTValidateAtomContainer(container);
  const QTAtom video = QTFindChildByID(container, kParentAtomIsContainer, FOUR_CHAR_CODE("vide"), 1, nullptr);
  QTCountChildrenOfType(container, video, 0);
  QTAtomType type = 0;
  QTGetNextChildType(container, video, 0, &type);
  long size = 0;
  Ptr data = nullptr;
  QTGetAtomDataPtr(container, QTFindChildByIndex(container, video, 0, 1, nullptr), &size, &data);
  const OSErr inserted = QTInsertChild(container, video, FOUR_CHAR_CODE("hegt"), 9, 0, 4, "abcd", nullptr);
  if (status != noErr) {
    EXPECT_EQ(video, 0);
    EXPECT_NE(inserted, noErr);
    EXPECT_NE(QTLockContainer(container), noErr);
  }
  QTDisposeAtomContainer(container);
  return status;
}

void Put32At(Bytes* image, size_t at, uint32_t value) {
  const Bytes field = atom_layout::Words({value});
  std::copy(field.begin(), field.end(), image->begin() + long(at));
}

}  // namespace

TEST(HostileContainer, MalformedImagesAreRefusedWithoutReadingPastThem) {
  const Bytes good = atom_layout::Container(
      {Atom("vide", 1, {Atom("hegt", 1, {}, {0, 0x90, 0, 0}), Atom("wdth", 1, {}, {0, 0xB0, 0, 0})})});
  ASSERT_EQ(Exercise(good), noErr);
  for (size_t length = 0; length <= good.size(); ++length) {
    Bytes cut(good.begin(), good.begin() + long(length));
    if (length == good.size()) cut.push_back(0);  // one byte too many instead
    EXPECT_NE(Exercise(cut), noErr) << "truncated to " << length;
  }

  // Offsets: root 12, 'vide' 32, 'hegt' 52, 'wdth' 76.
  const std::pair<size_t, uint32_t> lies[] = {
      {12, 0xFFFFFFF0},  // root larger than the image
      {32, 0x7FFFFFFF},  // 'vide' larger than the root
      {52, 19},          // smaller than an atom header
      {52, 28},          // 'hegt' swallows part of 'wdth'
      {76, 0},
      {44, 3},  // 'vide' claims three children, holds two
      {44, 0xFFFF},
      {44, 1},                       // one child, two atoms
      {64, 1},                       // the leaf 'hegt' claims a child in its 4 data bytes
      {16, FOUR_CHAR_CODE("moov")},  // not a container's root
  };
  for (const auto& [at, value] : lies) {
    Bytes bad = good;
    Put32At(&bad, at, value);
    EXPECT_NE(Exercise(bad), noErr) << "field at " << at;
  }
}

TEST(HostileContainer, DeepNestingIsRefusedWithoutExhaustingTheStack) {
  // Each atom holds the next: 65 levels is one more than accepted, 100000 would overflow a naive walk.
  for (int depth : {64, 65, 100000}) {
    Bytes image;
    const Bytes header = Atom("vide", 1, {});
    for (int level = 0; level < depth; ++level) image.insert(image.end(), header.begin(), header.end());
    for (int level = 0; level < depth; ++level) {
      const size_t at = size_t(level) * 20;
      Put32At(&image, at, uint32_t(image.size() - at));
      if (level + 1 < depth) image[at + 15] = 1;
    }
    EXPECT_EQ(Exercise(atom_layout::Container({image})) == noErr, depth == 64) << depth;
  }
}
