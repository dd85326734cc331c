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
// The most the whole output file may take, in units of 1024 bytes; 0: no limit. Its atom lies at the
// root, beside 'vide'.
OSErr QTDX_SetExportedMovieSizeLimit(MovieExportComponent exporter, SInt32 kilobytes);
// H.264's profile in an MPEG-4 file: kH264ProfileHigh, or kH264ProfileBaseline for older phones;
// a root atom of its own.
OSErr QTDX_SetExportedMovieH264Profile(MovieExportComponent exporter, OSType profile);
// The file a '3gpp' component writes ('3g2 ', 'amc '), a root atom of its own; whatever the
// output's name says. The MPEG-4 component ignores it.
OSErr QTDX_SetExportedMovieFileFormat(MovieExportComponent exporter, OSType fileFormat);
