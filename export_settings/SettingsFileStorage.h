// An export component's whole settings kept in a file: the settings container's bytes, nothing
// else, in a file of type 'Pref' and creator 'Zvok'.
#pragma once

#include "platform/MacTypes.h"
#include "platform/files/Files.h"
#include "platform/movies/MovieExport.h"

constexpr OSType kSettingsFileType = FOUR_CHAR_CODE("Pref");
constexpr OSType kSettingsFileCreator = FOUR_CHAR_CODE("Zvok");

OSErr QTDX_SaveExporterSettingsInFile(MovieExportComponent exporter, const FSSpec* file);
OSErr QTDX_GetExporterSettingsFromFile(MovieExportComponent exporter, const FSSpec* file);
OSErr QTDX_WriteHandleToFile(Handle block, const FSSpec* file);
// A new block with the whole file, owned by the caller, or null.
Handle QTDX_ReadHandleFromFile(const FSSpec* file);
