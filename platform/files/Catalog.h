// The process-wide catalog behind FSSpec and FSRef: volume numbers per device, folder IDs per
// folder, entry numbers for references, and short stand-ins for names longer than an FSSpec holds.
// Internal to the file services.
#pragma once

#include <sys/types.h>

#include <string>

#include "platform/files/Files.h"

namespace catalog {

// The volume number of a device, made on first sight; 0 when no more numbers are left.
SInt16 VolumeOfDevice(dev_t device);
bool IsKnownVolume(SInt16 vRefNum);

// The path an FSSpec names (the file itself need not exist; its folder must be known).
OSErr PathOfSpec(const FSSpec* spec, std::string* path);
// The FSSpec of the entry `name` in the existing folder `folder` (an absolute, resolved path).
// An empty folder and name stand for the root.
OSErr SpecOfEntry(const std::string& folder, const std::string& name, FSSpec* spec);

// Reference numbers for whole paths, so an FSRef stays small and opaque.
UInt32 EntryNumberOf(const std::string& path);
bool PathOfEntry(UInt32 entry, std::string* path);

// Splits a UTF-8 path into its resolved folder and the last name, without following the last name.
// The folder must exist. "/" gives an empty folder and name.
OSErr SplitResolvedPath(const char* path, std::string* folder, std::string* name);
std::string JoinPath(const std::string& folder, const std::string& name);

}  // namespace catalog
