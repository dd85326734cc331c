#include "platform/movies/AtomContainers.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/memory/Memory.h"
#include "platform/movies/AtomImage.h"

using namespace atom_image;

namespace {

const UInt8* BytesOf(QTAtomContainer container) { return reinterpret_cast<const UInt8*>(*container); }

OSErr ReadOutline(QTAtomContainer container, atom_image::Outline* outline) {
  if (container == nullptr || *container == nullptr) return paramErr;
  return Parse(BytesOf(container), GetHandleSize(container), outline);
}

// An edit works on a copy of the image and replaces the container's bytes only once the copy is
// whole, so a failed resize leaves the container as it was.
struct Edit {
  Outline outline;
  std::vector<UInt8> image;
};

OSErr BeginEdit(QTAtomContainer container, Edit* edit) {
  const OSErr status = ReadOutline(container, &edit->outline);
  if (status != noErr) return status;
  if (HIsLocked(container)) return memLockedErr;
  edit->image.assign(BytesOf(container), BytesOf(container) + GetHandleSize(container));
  return noErr;
}

OSErr CommitEdit(QTAtomContainer container, const Edit& edit) {
  if (edit.image.size() > size_t(kMaxImageSize)) return memFullErr;
  const OSErr status = SetHandleSize(container, Size(edit.image.size()));
  if (status != noErr) return status;
  std::memcpy(*container, edit.image.data(), edit.image.size());
  return noErr;
}

// Adds delta to the size of the atom at `index` and of every atom that holds it.
void GrowWithAncestors(Edit* edit, int index, long delta) {
  for (int i = index; i >= 0; i = edit->outline.atoms[size_t(i)].parent) {
    const AtomNode& atom = edit->outline.atoms[size_t(i)];
    WriteU32(edit->image.data() + atom.offset + kSizeField, UInt32(atom.size + delta));
  }
}

void SetChildCount(Edit* edit, int index, UInt16 count) {
  WriteU16(edit->image.data() + edit->outline.atoms[size_t(index)].offset + kChildCountField, count);
}

// The index of a child atom (never the root), or -1.
int ChildAtom(const Outline& outline, QTAtom atom) {
  const int index = outline.indexOf(atom);
  return index > 0 ? index : -1;
}

std::vector<int> ChildrenOfType(const Outline& outline, int parent, QTAtomType type) {
  std::vector<int> matching;
  for (int child : outline.childrenOf(parent)) {
    if (type == 0 || outline.atoms[size_t(child)].type == type) matching.push_back(child);
  }
  return matching;
}

QTAtomID UnusedID(const Outline& outline, int parent, QTAtomType type) {
  const std::vector<int> siblings = ChildrenOfType(outline, parent, type);
  for (QTAtomID id = 1;; ++id) {
    const bool taken =
        std::any_of(siblings.begin(), siblings.end(), [&](int s) { return outline.atoms[size_t(s)].id == id; });
    if (!taken) return id;
  }
}

}  // namespace

OSErr QTNewAtomContainer(QTAtomContainer* container) {
  if (container == nullptr) return paramErr;
  *container = nullptr;
  Handle handle = NewHandleClear(kMinImageSize);
  if (handle == nullptr) return memFullErr;
  UInt8* root = reinterpret_cast<UInt8*>(*handle) + kRootOffset;
  WriteU32(root + kSizeField, UInt32(kQTAtomHeaderSize));
  WriteU32(root + kTypeField, kRootAtomType);
  WriteU32(root + kIDField, UInt32(kRootAtomID));
  *container = handle;
  return noErr;
}

OSErr QTDisposeAtomContainer(QTAtomContainer container) {
  if (container == nullptr) return nilHandleErr;
  DisposeHandle(container);
  return noErr;
}

OSErr QTValidateAtomContainer(QTAtomContainer container) {
  Outline outline;
  return ReadOutline(container, &outline);
}

QTAtom QTFindChildByID(QTAtomContainer container, QTAtom parentAtom, QTAtomType atomType, QTAtomID id, SInt16* index) {
  Outline outline;
  if (ReadOutline(container, &outline) != noErr) return 0;
  const int parent = outline.indexOf(parentAtom);
  if (parent < 0) return 0;
  const std::vector<int> candidates = ChildrenOfType(outline, parent, atomType);
  for (size_t i = 0; i < candidates.size(); ++i) {
    const AtomNode& atom = outline.atoms[size_t(candidates[i])];
    if (atom.id == id) {
      if (index != nullptr) *index = SInt16(i + 1);
      return QTAtom(atom.offset);
    }
  }
  return 0;
}

QTAtom QTFindChildByIndex(QTAtomContainer container, QTAtom parentAtom, QTAtomType atomType, SInt16 index,
                          QTAtomID* id) {
  Outline outline;
  if (ReadOutline(container, &outline) != noErr) return 0;
  const int parent = outline.indexOf(parentAtom);
  if (parent < 0 || index < 1) return 0;
  const std::vector<int> candidates = ChildrenOfType(outline, parent, atomType);
  if (size_t(index) > candidates.size()) return 0;
  const AtomNode& atom = outline.atoms[size_t(candidates[size_t(index) - 1])];
  if (id != nullptr) *id = atom.id;
  return QTAtom(atom.offset);
}

SInt16 QTCountChildrenOfType(QTAtomContainer container, QTAtom parentAtom, QTAtomType childType) {
  Outline outline;
  if (ReadOutline(container, &outline) != noErr) return 0;
  const int parent = outline.indexOf(parentAtom);
  if (parent < 0) return 0;
  // A child count is 16 bits unsigned; more than SInt16 can say is reported as the most it can.
  return SInt16(std::min<size_t>(ChildrenOfType(outline, parent, childType).size(), 0x7FFF));
}

OSErr QTGetNextChildType(QTAtomContainer container, QTAtom parentAtom, QTAtomType currentChildType,
                         QTAtomType* nextChildType) {
  if (nextChildType == nullptr) return paramErr;
  *nextChildType = 0;
  Outline outline;
  const OSErr status = ReadOutline(container, &outline);
  if (status != noErr) return status;
  const int parent = outline.indexOf(parentAtom);
  if (parent < 0) return invalidAtomErr;
  std::vector<QTAtomType> types;
  for (int child : outline.childrenOf(parent)) {
    const QTAtomType type = outline.atoms[size_t(child)].type;
    if (std::find(types.begin(), types.end(), type) == types.end()) types.push_back(type);
  }
  if (currentChildType == 0) {
    if (!types.empty()) *nextChildType = types.front();
    return noErr;
  }
  const auto current = std::find(types.begin(), types.end(), currentChildType);
  if (current != types.end() && current + 1 != types.end()) *nextChildType = *(current + 1);
  return noErr;
}

OSErr QTInsertChild(QTAtomContainer container, QTAtom parentAtom, QTAtomType atomType, QTAtomID id, SInt16 index,
                    long dataSize, const void* data, QTAtom* newAtom) {
  if (newAtom != nullptr) *newAtom = 0;
  if (dataSize < 0 || dataSize > kMaxImageSize - kQTAtomHeaderSize) return paramErr;
  Edit edit;
  OSErr status = BeginEdit(container, &edit);
  if (status != noErr) return status;
  const int parent = edit.outline.indexOf(parentAtom);
  if (parent < 0) return invalidAtomErr;
  const AtomNode& parentNode = edit.outline.atoms[size_t(parent)];
  // An atom holds data or children, never both.
  if (parentNode.isLeaf() && parentNode.dataSize() > 0) return invalidAtomErr;
  if (parentNode.childCount == 0xFFFF || parentNode.depth >= kMaxNestingDepth) return paramErr;
  if (id == 0) id = UnusedID(edit.outline, parent, atomType);
  const std::vector<int> sameType = ChildrenOfType(edit.outline, parent, atomType);
  for (int sibling : sameType) {
    if (edit.outline.atoms[size_t(sibling)].id == id) return duplicateAtomTypeAndIDErr;
  }
  if (index < 0 || size_t(index) > sameType.size() + 1) return atomIndexInvalidErr;
  const bool append = index == 0 || size_t(index) == sameType.size() + 1;
  const long position = append ? parentNode.end() : edit.outline.atoms[size_t(sameType[size_t(index) - 1])].offset;
  const long atomSize = kQTAtomHeaderSize + dataSize;
  if (long(edit.image.size()) > kMaxImageSize - atomSize) return memFullErr;

  std::vector<UInt8> atom(size_t(atomSize), 0);
  WriteU32(atom.data() + kSizeField, UInt32(atomSize));
  WriteU32(atom.data() + kTypeField, atomType);
  WriteU32(atom.data() + kIDField, UInt32(id));
  if (data != nullptr && dataSize > 0) std::memcpy(atom.data() + kQTAtomHeaderSize, data, size_t(dataSize));
  SetChildCount(&edit, parent, UInt16(parentNode.childCount + 1));
  GrowWithAncestors(&edit, parent, atomSize);
  edit.image.insert(edit.image.begin() + position, atom.begin(), atom.end());

  status = CommitEdit(container, edit);
  if (status == noErr && newAtom != nullptr) *newAtom = QTAtom(position);
  return status;
}

OSErr QTSetAtomData(QTAtomContainer container, QTAtom atom, long dataSize, const void* atomData) {
  if (dataSize < 0 || dataSize > kMaxImageSize || (dataSize > 0 && atomData == nullptr)) return paramErr;
  Edit edit;
  OSErr status = BeginEdit(container, &edit);
  if (status != noErr) return status;
  const int index = ChildAtom(edit.outline, atom);
  if (index < 0) return invalidAtomErr;
  const AtomNode& node = edit.outline.atoms[size_t(index)];
  if (!node.isLeaf()) return notLeafAtomErr;
  const long delta = dataSize - node.dataSize();
  if (delta > 0 && long(edit.image.size()) > kMaxImageSize - delta) return memFullErr;

  // atomData may point into the container itself; the copy in `edit` keeps it valid meanwhile.
  const UInt8* bytes = static_cast<const UInt8*>(atomData);
  std::vector<UInt8> replacement(bytes, bytes + dataSize);
  GrowWithAncestors(&edit, index, delta);
  edit.image.erase(edit.image.begin() + node.dataOffset(), edit.image.begin() + node.end());
  edit.image.insert(edit.image.begin() + node.dataOffset(), replacement.begin(), replacement.end());
  return CommitEdit(container, edit);
}

OSErr QTRemoveAtom(QTAtomContainer container, QTAtom atom) {
  Edit edit;
  OSErr status = BeginEdit(container, &edit);
  if (status != noErr) return status;
  const int index = ChildAtom(edit.outline, atom);
  if (index < 0) return invalidAtomErr;
  const AtomNode node = edit.outline.atoms[size_t(index)];
  const int parent = node.parent;
  SetChildCount(&edit, parent, UInt16(edit.outline.atoms[size_t(parent)].childCount - 1));
  GrowWithAncestors(&edit, parent, -node.size);
  edit.image.erase(edit.image.begin() + node.offset, edit.image.begin() + node.end());
  return CommitEdit(container, edit);
}

OSErr QTLockContainer(QTAtomContainer container) {
  Outline outline;
  const OSErr status = ReadOutline(container, &outline);
  if (status != noErr) return status;
  HLock(container);
  // The image's own lock count follows the handle's, so a saved image says what it was. It counts
  // modulo 2^16, so that an unlock always undoes a lock even on a foreign image's count.
  UInt8* lockCount = reinterpret_cast<UInt8*>(*container) + kLockCountOffset;
  WriteU16(lockCount, UInt16(ReadU16(lockCount) + 1));
  return noErr;
}

OSErr QTUnlockContainer(QTAtomContainer container) {
  Outline outline;
  const OSErr status = ReadOutline(container, &outline);
  if (status != noErr) return status;
  if (!HIsLocked(container)) return paramErr;
  UInt8* lockCount = reinterpret_cast<UInt8*>(*container) + kLockCountOffset;
  WriteU16(lockCount, UInt16(ReadU16(lockCount) - 1));
  HUnlock(container);
  return noErr;
}

OSErr QTGetAtomDataPtr(QTAtomContainer container, QTAtom atom, long* dataSize, Ptr* atomData) {
  if (dataSize != nullptr) *dataSize = 0;
  if (atomData != nullptr) *atomData = nullptr;
  Outline outline;
  const OSErr status = ReadOutline(container, &outline);
  if (status != noErr) return status;
  const int index = ChildAtom(outline, atom);
  if (index < 0) return invalidAtomErr;
  const AtomNode& node = outline.atoms[size_t(index)];
  if (!node.isLeaf()) return notLeafAtomErr;
  if (dataSize != nullptr) *dataSize = node.dataSize();
  if (atomData != nullptr) *atomData = *container + node.dataOffset();
  return noErr;
}

OSErr QTCopyAtomDataToPtr(QTAtomContainer container, QTAtom atom, Boolean sizeOrLessOK, long maxSize, void* dataPtr,
                          long* actualSize) {
  if (actualSize != nullptr) *actualSize = 0;
  if (maxSize < 0 || (maxSize > 0 && dataPtr == nullptr)) return paramErr;
  long size = 0;
  Ptr data = nullptr;
  const OSErr status = QTGetAtomDataPtr(container, atom, &size, &data);
  if (status != noErr) return status;
  if (size > maxSize || (!sizeOrLessOK && size != maxSize)) return paramErr;
  if (size > 0) std::memcpy(dataPtr, data, size_t(size));
  if (actualSize != nullptr) *actualSize = size;
  return noErr;
}
