#include <gtest/gtest.h>

#include <random>

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

Bytes Good() {
  return atom_layout::Container(
      {Atom("vide", 1, {Atom("hegt", 1, {}, {0, 0x90, 0, 0}), Atom("wdth", 1, {}, {0, 0xB0, 0, 0})})});
}

void Put32At(Bytes* image, size_t at, uint32_t value) {
  Bytes field;
  atom_layout::Put32(&field, value);
  std::copy(field.begin(), field.end(), image->begin() + long(at));
}

}  // namespace

TEST(HostileContainer, MalformedImagesAreRefusedWithoutReadingPastThem) {
  const Bytes good = Good();
  ASSERT_EQ(Exercise(good), noErr);
  for (size_t length = 0; length < good.size(); ++length) {
    EXPECT_NE(Exercise(Bytes(good.begin(), good.begin() + long(length))), noErr) << "truncated to " << length;
  }

  // Offsets: root 12, 'vide' 32, 'hegt' 52, 'wdth' 76.
  const std::vector<std::pair<size_t, uint32_t>> lies = {
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
  Bytes trailing = good;
  trailing.push_back(0);
  EXPECT_NE(Exercise(trailing), noErr);
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

TEST(HostileContainer, RandomBytesNeverCrash) {
  std::mt19937 random(20261206);
  const Bytes good = Good();
  for (int round = 0; round < 2000; ++round) {
    Bytes image = good;
    // Flip a few bytes of a good image, or make it up entirely.
    if (round % 2 == 0) {
      for (int flips = 1 + int(random() % 4); flips > 0; --flips) image[random() % image.size()] = uint8_t(random());
    } else {
      image.resize(random() % 200);
      for (uint8_t& byte : image) byte = uint8_t(random());
      if (image.size() >= 32) Put32At(&image, 12, uint32_t(image.size() - 12));
    }
    Exercise(image);
  }
}
