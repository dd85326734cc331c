// The atom container calls: edits that keep the image right, and malformed or hostile images
// refused without reading past them.
#include <gtest/gtest.h>

#include "platform/movies/AtomContainers.h"
#include "tests/support/AtomLayout.h"
#include "tests/support/RecordingExporter.h"

using atom_layout::Atom;
using atom_layout::Bytes;
using test_support::ImageOf;

namespace {

constexpr QTAtomType kVide = FOUR_CHAR_CODE("vide");
constexpr QTAtomType kHegt = FOUR_CHAR_CODE("hegt");
constexpr QTAtomType kWdth = FOUR_CHAR_CODE("wdth");

Bytes Leaf(const char* type, uint32_t id, const std::string& data) {
  return Atom(type, id, {}, Bytes(data.begin(), data.end()));
}
// The image of a container holding one 'vide' with these children, written from the layout alone.
Bytes Video(const std::vector<Bytes>& children) { return atom_layout::Container({Atom("vide", 1, children)}); }
const Bytes kHeight = Leaf("hegt", 1, std::string("\0\x90\0\0", 4)),
            kWidth = Leaf("wdth", 1, std::string("\0\xB0\0\0", 4));

// Every call on the image, as a walker of untrusted settings would make them. Returns the
// validation status; the sanitizer build catches any read out of bounds.
OSErr Exercise(const Bytes& image) {
  QTAtomContainer container = test_support::ContainerFrom(image);
  const OSErr status = QTValidateAtomContainer(container);
  const QTAtom video = QTFindChildByID(container, kParentAtomIsContainer, kVide, 1, nullptr);
  QTCountChildrenOfType(container, video, 0);
  QTAtomType type = 0;
  QTGetNextChildType(container, video, 0, &type);
  long size = 0;
  Ptr data = nullptr;
  QTGetAtomDataPtr(container, QTFindChildByIndex(container, video, 0, 1, nullptr), &size, &data);
  const OSErr inserted = QTInsertChild(container, video, kHegt, 9, 0, 4, "abcd", nullptr);
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

// A container with 'vide' holding 'hegt' (4 bytes) and 'wdth' (4 bytes), all ID 1.
struct VideoContainer : ::testing::Test {
  void SetUp() override {
    ASSERT_EQ(QTNewAtomContainer(&container), noErr);
    ASSERT_EQ(QTInsertChild(container, kParentAtomIsContainer, kVide, 1, 0, 0, nullptr, &video), noErr);
    ASSERT_EQ(QTInsertChild(container, video, kHegt, 1, 0, 4, "\0\x90\0\0", nullptr), noErr);
    ASSERT_EQ(QTInsertChild(container, video, kWdth, 1, 0, 4, "\0\xB0\0\0", nullptr), noErr);
    ASSERT_EQ(ImageOf(container), Video({kHeight, kWidth}));
  }
  void TearDown() override { QTDisposeAtomContainer(container); }
  // Looked up afresh: an edit moves the atoms after it.
  QTAtom find(QTAtomType type, QTAtomID id = 1) {
    video = QTFindChildByID(container, kParentAtomIsContainer, kVide, 1, nullptr);
    return QTFindChildByID(container, video, type, id, nullptr);
  }

  QTAtomContainer container = nullptr;
  QTAtom video = 0;
};

}  // namespace

TEST_F(VideoContainer, InsertsWhereAskedAndEditsKeepEveryAncestorRight) {
  // Index n places the atom before the current n-th of its type; 0 after all siblings.
  ASSERT_EQ(QTInsertChild(container, video, kHegt, 2, 1, 1, "a", nullptr), noErr);
  EXPECT_EQ(QTInsertChild(container, find(kHegt), FOUR_CHAR_CODE("deep"), 7, 0, 0, nullptr, nullptr), invalidAtomErr);
  ASSERT_EQ(QTInsertChild(container, video, FOUR_CHAR_CODE("more"), 0, 0, 3, "xyz", nullptr), noErr);
  const Bytes second = Leaf("hegt", 2, "a"), more = Leaf("more", 1, "xyz");
  EXPECT_EQ(ImageOf(container), Video({second, kHeight, kWidth, more}));
  SInt16 index = 0;
  EXPECT_EQ(QTFindChildByID(container, video, kHegt, 1, &index), find(kHegt));
  EXPECT_EQ(index, 2);

  ASSERT_EQ(QTSetAtomData(container, find(kHegt), 12, "twelve bytes"), noErr);
  EXPECT_EQ(ImageOf(container), Video({second, Leaf("hegt", 1, "twelve bytes"), kWidth, more}));
  ASSERT_EQ(QTSetAtomData(container, find(kHegt), 2, "hi"), noErr);
  EXPECT_EQ(ImageOf(container), Video({second, Leaf("hegt", 1, "hi"), kWidth, more}));
  // Data belongs to leaves; the root is no atom to edit, nor is the middle of one.
  EXPECT_EQ(QTSetAtomData(container, video, 1, "x"), notLeafAtomErr);
  EXPECT_NE(QTSetAtomData(container, kParentAtomIsContainer, 1, "x"), noErr);
  EXPECT_NE(QTSetAtomData(container, find(kHegt) + 4, 1, "x"), noErr);
}

TEST_F(VideoContainer, RefusesDuplicatesEditsWhileLockedAndNestingPastWhatReadersAccept) {
  const Bytes before = ImageOf(container);
  EXPECT_EQ(QTInsertChild(container, video, kHegt, 1, 0, 4, "abcd", nullptr), duplicateAtomTypeAndIDErr);
  ASSERT_EQ(QTLockContainer(container), noErr);
  const Bytes locked = ImageOf(container);
  EXPECT_EQ(locked[11], 1);  // the image's lock count
  EXPECT_EQ(QTInsertChild(container, video, kHegt, 5, 0, 4, "abcd", nullptr), memLockedErr);
  EXPECT_EQ(QTSetAtomData(container, find(kHegt), 8, "abcdefgh"), memLockedErr);
  EXPECT_EQ(QTRemoveAtom(container, find(kWdth)), memLockedErr);
  EXPECT_EQ(ImageOf(container), locked);
  ASSERT_EQ(QTUnlockContainer(container), noErr);
  EXPECT_EQ(ImageOf(container), before);
  EXPECT_NE(QTUnlockContainer(container), noErr);

  // 'vide' is level 1; nesting stops at level 64, which a reader still accepts.
  int depth = 1;
  while (depth < 100 && QTInsertChild(container, video, kVide, 1, 0, 0, nullptr, &video) == noErr) ++depth;
  EXPECT_EQ(depth, 64);
  EXPECT_EQ(QTValidateAtomContainer(container), noErr);
}

TEST(HostileContainer, MalformedImagesAreRefusedWithoutReadingPastThem) {
  const Bytes good = Video({kHeight, kWidth});
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
