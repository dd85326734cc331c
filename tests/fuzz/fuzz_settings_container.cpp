// Any bytes handed to the export components as a settings container, and walked and edited
// through the generic container calls.
#include <cstring>
#include <vector>

#include "tests/fuzz/FuzzSupport.h"

namespace {

using fuzz::Require;

// Reads every leaf's bytes and checks that lookups by index and by ID agree. The walk is bounded:
// a container may hold many atoms, and one input must stay quick.
void Walk(QTAtomContainer container) {
  std::vector<QTAtom> pending = {kParentAtomIsContainer};
  for (int visits = 0; !pending.empty() && visits < 256; ++visits) {
    const QTAtom parent = pending.back();
    pending.pop_back();
    const SInt16 all = QTCountChildrenOfType(container, parent, 0);
    Require(all >= 0, "a child count is never negative");
    long size = -1;
    Ptr data = nullptr;
    if (all == 0 && parent != kParentAtomIsContainer && QTGetAtomDataPtr(container, parent, &size, &data) == noErr) {
      Require(size >= 0 && (size == 0 || data != nullptr), "a leaf's data is there");
      volatile UInt8 sink = 0;  // every byte read, for the sanitizer to see
      for (long i = 0; i < size; ++i) sink = sink + UInt8(data[i]);
    }
    QTAtomType type = 0;
    int counted = 0;
    while (counted <= all && QTGetNextChildType(container, parent, type, &type) == noErr && type != 0) {
      const SInt16 ofType = QTCountChildrenOfType(container, parent, type);
      Require(ofType > 0, "a type that is there has children");
      counted += ofType;
      for (SInt16 index = 1; index <= ofType && index <= 16; ++index) {
        QTAtomID id = 0;
        const QTAtom child = QTFindChildByIndex(container, parent, type, index, &id);
        SInt16 foundIndex = 0;
        // Two siblings may share type and ID in a foreign image; the first is the one found.
        Require(child > 0 && QTFindChildByID(container, parent, type, id, &foundIndex) > 0 && foundIndex >= 1 &&
                    foundIndex <= index,
                "every counted child is found by index and then by its ID");
        pending.push_back(child);
      }
    }
    // Short only by children of type 0, which no type walk can name.
    Require(counted <= all, "children by type add up to no more than all children");
  }
}

// Inserts and rewrites a leaf, as the settings functions do; every accepted edit leaves a
// well-formed container that reads back.
void Edit(QTAtomContainer container, const uint8_t* data, size_t size) {
  const long chunk = long(size % 24);
  QTAtom video = QTFindChildByID(container, kParentAtomIsContainer, FOUR_CHAR_CODE("vide"), 1, nullptr), width = 0;
  if (video == 0 &&
      QTInsertChild(container, kParentAtomIsContainer, FOUR_CHAR_CODE("vide"), 1, 0, 0, nullptr, &video) != noErr)
    return;
  width = QTFindChildByID(container, video, FOUR_CHAR_CODE("wdth"), 1, nullptr);
  if (width == 0 && QTInsertChild(container, video, FOUR_CHAR_CODE("wdth"), 1, 1, chunk, data, &width) != noErr) return;
  Require(QTValidateAtomContainer(container) == noErr, "an inserted atom keeps the container whole");
  if (QTSetAtomData(container, width, chunk, data) != noErr) return;
  Require(QTValidateAtomContainer(container) == noErr, "rewritten data keeps the container whole");
  long copied = 0;
  char copy[24];
  Require(QTCopyAtomDataToPtr(container, width, true, sizeof copy, copy, &copied) == noErr && copied == chunk &&
              std::memcmp(copy, data, size_t(chunk)) == 0,
          "rewritten data reads back");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const test_support::AtomImage input(data, data + size);
  QTAtomContainer container = test_support::ContainerFrom(input);
  Require(container != nullptr, "a block for the input");
  fuzz::ForEachExporter(
      [&](MovieExportComponent exporter) { return MovieExportSetSettingsFromAtomContainer(exporter, container); });
  Require(test_support::ImageOf(container) == input, "the components leave the caller's container alone");

  if (QTValidateAtomContainer(container) == noErr) {
    Walk(container);
    Edit(container, data, size);
  } else {
    Require(QTCountChildrenOfType(container, kParentAtomIsContainer, 0) == 0 &&
                QTFindChildByIndex(container, kParentAtomIsContainer, 0, 1, nullptr) == 0 &&
                QTInsertChild(container, kParentAtomIsContainer, FOUR_CHAR_CODE("vide"), 1, 0, 0, nullptr, nullptr) !=
                    noErr,
            "a malformed container shows no children and takes no edit");
    long dataSize = 0;
    Ptr atomData = nullptr;
    QTGetAtomDataPtr(container, kQTAtomContainerHeaderSize, &dataSize, &atomData);
    QTSetAtomData(container, kQTAtomContainerHeaderSize + kQTAtomHeaderSize, long(size % 8), data);
  }
  QTDisposeAtomContainer(container);
  return 0;
}
