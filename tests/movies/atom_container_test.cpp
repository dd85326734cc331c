#include <gtest/gtest.h>

#include <cstring>

#include "platform/memory/Memory.h"
#include "platform/movies/AtomContainers.h"
#include "tests/support/AtomLayout.h"
#include "tests/support/RecordingExporter.h"

using atom_layout::Atom;
using atom_layout::Bytes;
using atom_layout::Describe;
using test_support::ContainerFrom;
using test_support::ImageOf;

namespace {

constexpr QTAtomType kVide = FOUR_CHAR_CODE("vide");
constexpr QTAtomType kHegt = FOUR_CHAR_CODE("hegt");
constexpr QTAtomType kWdth = FOUR_CHAR_CODE("wdth");

Bytes DataOf(QTAtomContainer container, QTAtom atom) {
  long size = -1;
  Ptr data = nullptr;
  if (QTGetAtomDataPtr(container, atom, &size, &data) != noErr) return {};
  return Bytes(data, data + size);
}

// A container with 'vide' holding 'hegt' (4 bytes) and 'wdth' (4 bytes), all ID 1.
struct VideoContainer : ::testing::Test {
  void SetUp() override {
    ASSERT_EQ(QTNewAtomContainer(&container), noErr);
    ASSERT_EQ(QTInsertChild(container, kParentAtomIsContainer, kVide, 1, 0, 0, nullptr, &video), noErr);
    const UInt8 height[] = {0, 0x90, 0, 0}, width[] = {0, 0xB0, 0, 0};
    ASSERT_EQ(QTInsertChild(container, video, kHegt, 1, 0, 4, height, nullptr), noErr);
    ASSERT_EQ(QTInsertChild(container, video, kWdth, 1, 0, 4, width, nullptr), noErr);
  }
  void TearDown() override { QTDisposeAtomContainer(container); }
  QTAtom find(QTAtomType type, QTAtomID id = 1) {
    video = QTFindChildByID(container, kParentAtomIsContainer, kVide, 1, nullptr);
    return QTFindChildByID(container, video, type, id, nullptr);
  }

  QTAtomContainer container = nullptr;
  QTAtom video = 0;
};

}  // namespace

TEST_F(VideoContainer, BuildsTheLayoutAnIndependentReaderWalks) {
  EXPECT_EQ(Describe(ImageOf(container)), "sean#1[vide#1[hegt#1(4),wdth#1(4)]]");
  EXPECT_EQ(ImageOf(container),
            atom_layout::Container(
                {Atom("vide", 1, {Atom("hegt", 1, {}, {0, 0x90, 0, 0}), Atom("wdth", 1, {}, {0, 0xB0, 0, 0})})}));

  // Index n places the atom before the current n-th of its type; 0 after all siblings.
  ASSERT_EQ(QTInsertChild(container, video, kHegt, 2, 1, 1, "a", nullptr), noErr);
  ASSERT_EQ(QTInsertChild(container, find(kHegt), FOUR_CHAR_CODE("deep"), 7, 0, 0, nullptr, nullptr), invalidAtomErr);
  QTAtom leaf = 0;
  ASSERT_EQ(QTInsertChild(container, video, FOUR_CHAR_CODE("more"), 0, 0, 3, "xyz", &leaf), noErr);
  EXPECT_EQ(Describe(ImageOf(container)), "sean#1[vide#1[hegt#2(1),hegt#1(4),wdth#1(4),more#1(3)]]");
  EXPECT_EQ(DataOf(container, leaf), (Bytes{'x', 'y', 'z'}));

  SInt16 index = 0;
  QTAtomID id = 0;
  EXPECT_EQ(QTFindChildByID(container, video, kHegt, 1, &index), find(kHegt));
  EXPECT_EQ(index, 2);
  EXPECT_NE(QTFindChildByIndex(container, video, kHegt, 1, &id), 0);
  EXPECT_EQ(id, 2);
  EXPECT_EQ(QTCountChildrenOfType(container, video, 0), 4);
  QTAtomType type = 0;
  std::vector<QTAtomType> types;
  while (QTGetNextChildType(container, video, type, &type) == noErr && type != 0) types.push_back(type);
  EXPECT_EQ(types, (std::vector<QTAtomType>{kHegt, kWdth, FOUR_CHAR_CODE("more")}));
}

TEST_F(VideoContainer, SetDataAndRemoveKeepEveryAncestorRight) {
  const char longer[] = "twelve bytes";
  ASSERT_EQ(QTSetAtomData(container, find(kHegt), 12, longer), noErr);
  EXPECT_EQ(Describe(ImageOf(container)), "sean#1[vide#1[hegt#1(12),wdth#1(4)]]");
  EXPECT_EQ(DataOf(container, find(kHegt)), Bytes(longer, longer + 12));
  EXPECT_EQ(DataOf(container, find(kWdth)), (Bytes{0, 0xB0, 0, 0}));

  ASSERT_EQ(QTSetAtomData(container, find(kHegt), 2, "hi"), noErr);
  EXPECT_EQ(Describe(ImageOf(container)), "sean#1[vide#1[hegt#1(2),wdth#1(4)]]");
  char copy[4] = {};
  long copied = 0;
  EXPECT_EQ(QTCopyAtomDataToPtr(container, find(kHegt), true, 4, copy, &copied), noErr);
  EXPECT_EQ(copied, 2);
  EXPECT_NE(QTCopyAtomDataToPtr(container, find(kWdth), true, 3, copy, &copied), noErr);

  // Data belongs to leaves; the root is no atom to edit.
  EXPECT_EQ(QTSetAtomData(container, video, 1, "x"), notLeafAtomErr);
  EXPECT_NE(QTSetAtomData(container, kParentAtomIsContainer, 1, "x"), noErr);
  EXPECT_NE(QTSetAtomData(container, find(kHegt) + 4, 1, "x"), noErr);  // not an atom's start

  ASSERT_EQ(QTRemoveAtom(container, find(kHegt)), noErr);
  EXPECT_EQ(Describe(ImageOf(container)), "sean#1[vide#1[wdth#1(4)]]");
  ASSERT_EQ(QTRemoveAtom(container, video), noErr);
  EXPECT_EQ(Describe(ImageOf(container)), "sean#1(0)");
}

TEST_F(VideoContainer, RefusesDuplicatesAndEditsWhileLocked) {
  const Bytes before = ImageOf(container);
  EXPECT_EQ(QTInsertChild(container, video, kHegt, 1, 0, 4, "abcd", nullptr), duplicateAtomTypeAndIDErr);
  EXPECT_EQ(ImageOf(container), before);

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
  EXPECT_EQ(QTSetAtomData(container, find(kHegt), 8, "abcdefgh"), noErr);
}

TEST(AtomContainer, NestingStopsAtTheDepthEveryReaderAccepts) {
  QTAtomContainer container = nullptr;
  ASSERT_EQ(QTNewAtomContainer(&container), noErr);
  QTAtom parent = kParentAtomIsContainer;
  int depth = 0;
  while (depth < 100 && QTInsertChild(container, parent, kVide, 1, 0, 0, nullptr, &parent) == noErr) ++depth;
  EXPECT_EQ(depth, 64);
  EXPECT_EQ(QTValidateAtomContainer(container), noErr);
  EXPECT_NE(Describe(ImageOf(container)), "");
  QTDisposeAtomContainer(container);
}
