// An export component's whole settings kept in a file: the container's bytes, nothing more.
#include "export_settings/SettingsFileStorage.h"

#include "platform/memory/Memory.h"

OSErr QTDX_WriteHandleToFile(Handle block, const FSSpec* file) {
  OSErr status = paramErr;
  if (block == nullptr) return status;
  // Blocks never exceed kMaxHandleSize, so the size fits a 32-bit count.
  Size size = GetHandleSize(block);
  if (size == 0) return status;

  HLock(block);
  // Written beside and synced before it takes the old file's place in one step: a failure at any
  // point, or a crash, leaves the previous settings as they were.
  FSSpec temporary = {};
  status = FSpCreateTemporaryBeside(file, kSettingsFileCreator, kSettingsFileType, &temporary);
  const bool created = status == noErr;
  SInt16 refNum = 0;
  if (status == noErr) status = FSpOpenDF(&temporary, fsRdWrPerm, &refNum);
  const bool opened = status == noErr;
  SInt32 count = SInt32(size);
  if (status == noErr) status = FSWrite(refNum, &count, *block);
  if (status == noErr) status = SetEOF(refNum, count);
  SInt16 vRefNum = 0;
  if (status == noErr) status = GetVRefNum(refNum, &vRefNum);
  if (status == noErr) status = FlushVol(nullptr, vRefNum);
  if (opened) {
    // Closed on every path; its status counts only when nothing failed before it.
    OSErr closeStatus = FSClose(refNum);
    if (status == noErr) status = closeStatus;
  }
  if (status == noErr) status = FSpReplaceFile(&temporary, file);
  if (status != noErr && created) FSpDelete(&temporary);
  HUnlock(block);
  return status;
}

Handle QTDX_ReadHandleFromFile(const FSSpec* file) {
  Handle block = nullptr;
  SInt16 refNum = 0;
  SInt32 size = 0;
  OSErr status = FSpOpenDF(file, fsRdPerm, &refNum);
  if (status == noErr) status = SetFPos(refNum, fsFromStart, 0);
  if (status == noErr) status = GetEOF(refNum, &size);
  if (status == noErr && size != 0) {
    block = NewHandleClear(size);
    if (block != nullptr) {
      // A short read leaves the tail zero; the block goes back all the same.
      SInt32 count = size;
      FSRead(refNum, &count, *block);
    }
  }
  if (refNum != 0) FSClose(refNum);
  return block;
}

OSErr QTDX_SaveExporterSettingsInFile(MovieExportComponent exporter, const FSSpec* file) {
  QTAtomContainer container = nullptr;
  OSErr status = OSErrFromComponentResult(MovieExportGetSettingsAsAtomContainer(exporter, &container));
  if (status == noErr) status = QTDX_WriteHandleToFile(container, file);
  if (container != nullptr) QTDisposeAtomContainer(container);
  return status;
}

OSErr QTDX_GetExporterSettingsFromFile(MovieExportComponent exporter, const FSSpec* file) {
  Handle block = QTDX_ReadHandleFromFile(file);
  if (block == nullptr) return fnfErr;
  OSErr status = OSErrFromComponentResult(MovieExportSetSettingsFromAtomContainer(exporter, block));
  DisposeHandle(block);
  return status;
}
