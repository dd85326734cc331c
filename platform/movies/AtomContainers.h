// QT atom containers: a handle holding the complete byte image of a container, big-endian:
// a 12-byte header (10 reserved zero bytes, 16-bit lock count), then the root atom 'sean' ID 1.
// Each atom has a 20-byte header (size, type, ID, 16 reserved bits, child count, 32 reserved bits)
// followed by its children or its data. An atom reference is its byte offset in the image;
// kParentAtomIsContainer (0) names the root. References are invalidated by any edit.
//
// Every call checks the whole image before walking it, so any bytes at all are safe to pass.
#pragma once

#include "platform/MacTypes.h"

using QTAtomContainer = Handle;
using QTAtom = SInt32;
using QTAtomType = OSType;
using QTAtomID = SInt32;

constexpr QTAtom kParentAtomIsContainer = 0;
constexpr long kQTAtomContainerHeaderSize = 12;
constexpr long kQTAtomHeaderSize = 20;

OSErr QTNewAtomContainer(QTAtomContainer* container);
OSErr QTDisposeAtomContainer(QTAtomContainer container);
// noErr when the image is a well-formed container: sizes, child counts and nesting in bounds.
OSErr QTValidateAtomContainer(QTAtomContainer container);

// The child with that type and ID, or 0. `index` (may be null) receives its 1-based index among
// the children of that type.
QTAtom QTFindChildByID(QTAtomContainer container, QTAtom parentAtom, QTAtomType atomType, QTAtomID id,
                       SInt16* index);
// The index-th (1-based) child of that type, or 0; `id` (may be null) receives its ID.
QTAtom QTFindChildByIndex(QTAtomContainer container, QTAtom parentAtom, QTAtomType atomType, SInt16 index,
                          QTAtomID* id);
// Children of that type; a type of 0 counts every child.
SInt16 QTCountChildrenOfType(QTAtomContainer container, QTAtom parentAtom, QTAtomType childType);
// The type of the child after `currentChildType` among the distinct types of the parent's children
// (0 starts), or 0 when there are no more.
OSErr QTGetNextChildType(QTAtomContainer container, QTAtom parentAtom, QTAtomType currentChildType,
                         QTAtomType* nextChildType);

// Inserts a child holding a copy of `data`. index 0 places it after its siblings, n before the
// current n-th child. A second child with the same type and ID is refused. newAtom may be null.
OSErr QTInsertChild(QTAtomContainer container, QTAtom parentAtom, QTAtomType atomType, QTAtomID id,
                    SInt16 index, long dataSize, const void* data, QTAtom* newAtom);
// The leaf atom's data becomes exactly these bytes, shorter or longer.
OSErr QTSetAtomData(QTAtomContainer container, QTAtom atom, long dataSize, const void* atomData);
OSErr QTRemoveAtom(QTAtomContainer container, QTAtom atom);

// While locked the container neither moves nor changes: edits fail with memLockedErr.
OSErr QTLockContainer(QTAtomContainer container);
OSErr QTUnlockContainer(QTAtomContainer container);
// The leaf atom's data size and a pointer to its bytes, valid while the container is locked.
OSErr QTGetAtomDataPtr(QTAtomContainer container, QTAtom atom, long* dataSize, Ptr* atomData);
// Copies at most maxSize bytes of the atom's data. Without sizeOrLessOK a size other than maxSize
// is an error.
OSErr QTCopyAtomDataToPtr(QTAtomContainer container, QTAtom atom, Boolean sizeOrLessOK, long maxSize,
                          void* dataPtr, long* actualSize);
