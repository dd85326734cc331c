// Any bytes handed to the export components as a settings container, and walked and edited
// through the generic container calls.
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/media/BuiltInExporters.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

using fuzz::Require;

// Reads every leaf's bytes and checks that lookups by index and by ID agree. The walk is bounded:
// a container may hold many atoms, and one input must stay quick.
void Walk(QTAtomContainer container) {
  std::vector<QTAtom> pending = {kParentAtomIsContainer};
  unsigned long checksum = 0;
  for (int visits = 0; !pending.empty() && visits < 256; ++visits) {
    const QTAtom parent = pending.back();
    pending.pop_back();
    const SInt16 all = QTCountChildrenOfType(container, parent, 0);
    Require(all >= 0, "a child count is never negative");
    if (all == 0 && parent != kParentAtomIsContainer) {
      Require(QTLockContainer(container) == noErr, "a well-formed container locks");
      long size = -1;
      Ptr data = nullptr;
      if (QTGetAtomDataPtr(container, parent, &size, &data) == noErr) {
        Require(size >= 0 && (size == 0 || data != nullptr), "a leaf's data is there");
        for (long i = 0; i < size; ++i) checksum += UInt8(data[i]);
      }
      QTUnlockContainer(container);
      continue;
    }
    QTAtomType type = 0;
    int counted = 0;
    while (QTGetNextChildType(container, parent, type, &type) == noErr && type != 0) {
      const SInt16 ofType = QTCountChildrenOfType(container, parent, type);
      Require(ofType > 0, "a type that is there has children");
      counted += ofType;
      for (SInt16 index = 1; index <= ofType && index <= 16; ++index) {
        QTAtomID id = 0;
        const QTAtom child = QTFindChildByIndex(container, parent, type, index, &id);
        Require(child > 0, "every counted child can be found by index");
        SInt16 foundIndex = 0;
        const QTAtom byID = QTFindChildByID(container, parent, type, id, &foundIndex);
        // Two siblings may share type and ID in a foreign image; the first is the one found.
        Require(byID > 0 && foundIndex >= 1 && foundIndex <= index, "a child found by index is found by its ID");
        pending.push_back(child);
      }
      if (counted > all) break;
    }
    // Short only by children of type 0, which no type walk can name.
    Require(counted <= all, "children by type add up to no more than all children");
  }
  if (checksum == 0xFFFFFFFFul) std::puts("");  // keeps the reads from being optimised away
}

// Inserts and rewrites atoms, as the settings functions do; every accepted edit leaves a
// well-formed container.
void Edit(QTAtomContainer container, const uint8_t* data, size_t size) {
  const long chunk = long(size % 24);
  QTAtom video = QTFindChildByID(container, kParentAtomIsContainer, FOUR_CHAR_CODE("vide"), 1, nullptr);
  if (video == 0) {
    if (QTInsertChild(container, kParentAtomIsContainer, FOUR_CHAR_CODE("vide"), 1, 0, 0, nullptr, &video) != noErr)
      return;
    Require(QTValidateAtomContainer(container) == noErr, "an inserted parent keeps the container whole");
  }
  QTAtom width = QTFindChildByID(container, video, FOUR_CHAR_CODE("wdth"), 1, nullptr);
  if (width == 0) {
    if (QTInsertChild(container, video, FOUR_CHAR_CODE("wdth"), 1, 1, chunk, data, &width) != noErr) return;
    Require(QTValidateAtomContainer(container) == noErr, "an inserted leaf keeps the container whole");
  }
  if (QTSetAtomData(container, width, chunk, data) == noErr) {
    Require(QTValidateAtomContainer(container) == noErr, "rewritten data keeps the container whole");
    long copied = 0;
    char copy[24];
    Require(QTCopyAtomDataToPtr(container, width, true, sizeof copy, copy, &copied) == noErr && copied == chunk &&
                std::memcmp(copy, data, size_t(chunk)) == 0,
            "rewritten data reads back");
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  RegisterBuiltInMovieExporters();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  QTAtomContainer container = fuzz::ContainerOf(data, size);
  for (OSType subType : fuzz::kExporterSubTypes) {
    MovieExportComponent exporter = OpenDefaultComponent(MovieExportType, subType);
    Require(exporter != nullptr, "the export component opens");
    const std::string before = fuzz::SettingsOf(exporter);
    const ComponentResult status = MovieExportSetSettingsFromAtomContainer(exporter, container);
    const std::string after = fuzz::SettingsOf(exporter);
    if (status != noErr) Require(after == before, "a refused container changes nothing");
    Require(fuzz::BytesOf(container) == std::string(reinterpret_cast<const char*>(data), size),
            "the component leaves the caller's container alone");
    CloseComponent(exporter);
  }

  const bool wellFormed = QTValidateAtomContainer(container) == noErr;
  if (wellFormed) {
    Walk(container);
    Edit(container, data, size);
  } else {
    Require(QTCountChildrenOfType(container, kParentAtomIsContainer, 0) == 0 &&
                QTFindChildByIndex(container, kParentAtomIsContainer, 0, 1, nullptr) == 0,
            "a malformed container shows no children");
    Require(QTInsertChild(container, kParentAtomIsContainer, FOUR_CHAR_CODE("vide"), 1, 0, 0, nullptr, nullptr) !=
                noErr,
            "a malformed container takes no edit");
    long dataSize = 0;
    Ptr atomData = nullptr;
    QTGetAtomDataPtr(container, kQTAtomContainerHeaderSize, &dataSize, &atomData);
    QTSetAtomData(container, kQTAtomContainerHeaderSize + kQTAtomHeaderSize, long(size % 8), data);
  }
  QTDisposeAtomContainer(container);
  return 0;
}
