// Edits of an export component's video settings: each call takes a fresh copy of the settings,
// changes one atom of the 'vide' atom and hands the copy back.
#pragma once

#include "platform/MacTypes.h"
#include "platform/movies/MovieExport.h"
#include "platform/movies/VideoSettingsAtoms.h"

OSErr QTDX_SetExportedMovieDimensions(MovieExportComponent exporter, Fixed height, Fixed width);
OSErr QTDX_SetExportedMovieSpatialSetting(MovieExportComponent exporter);
OSErr QTDX_SetExportedMovieTemporalSetting(MovieExportComponent exporter, double frameRate);
// dataRate in units of 1024 bytes per second.
OSErr QTDX_SetExportedMovieDataRateSetting(MovieExportComponent exporter, SInt32 dataRate);
// The file a '3gpp' component writes ('3g2 ', 'amc '), a root atom of its own; whatever the
// output's name says. The MPEG-4 component ignores it.
OSErr QTDX_SetExportedMovieFileFormat(MovieExportComponent exporter, OSType fileFormat);
