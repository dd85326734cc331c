// The complete settings of one export component instance, and their form as an atom container.
// Values are kept as they were given; ResolveExportJob (MovieExporterJob.h) turns them into what
// the pipeline can write (even sizes, clamped ranges, the codec's own constraints).
#pragma once

#include <string_view>

#include "platform/MacTypes.h"
#include "platform/media/stages/ExportJob.h"
#include "platform/movies/AtomContainers.h"
#include "platform/movies/MovieExport.h"
#include "platform/movies/VideoSettingsAtoms.h"

// Which of the two components: 'mpg4' writes MPEG-4 files, '3gpp' the 3GPP family.
enum class ExporterKind { mpeg4, threeGPP };
// The formats a component writes are the rows of its subtype in the table of formats.
constexpr OSType SubtypeOf(ExporterKind kind) { return kind == ExporterKind::mpeg4 ? kQTFileTypeMP4 : kQTFileType3GPP; }

// Video codec types as the compressor settings name them.
constexpr OSType kMPEG4VisualCodecType = FOUR_CHAR_CODE("mp4v");
constexpr OSType kH263CodecType = FOUR_CHAR_CODE("h263");
constexpr OSType kH264CodecType = FOUR_CHAR_CODE("avc1");

// Sound codecs; 0 stands for "the output format's default".
constexpr OSType kSoundCodecFormatDefault = 0;
constexpr OSType kSoundCodecNone = FOUR_CHAR_CODE("none");
constexpr OSType kAACCodecType = FOUR_CHAR_CODE("mp4a");
constexpr OSType kAMRNBCodecType = FOUR_CHAR_CODE("samr");

// The 3GPP family's file format; "by extension" lets the output file's name decide.
constexpr OSType kFileFormatByExtension = FOUR_CHAR_CODE("bext");
constexpr OSType kFileFormat3GPP = OutputFormatOf(OutputContainer::threeGPP).fileFormat;
constexpr OSType kFileFormat3GPP2 = OutputFormatOf(OutputContainer::threeGPP2).fileFormat;
constexpr OSType kFileFormatAMC = OutputFormatOf(OutputContainer::amc).fileFormat;

constexpr OSType kFitKeepShape = FOUR_CHAR_CODE("keep");
constexpr OSType kFitStretch = FOUR_CHAR_CODE("strt");

struct SpatialSettings {
  OSType codecType = 0;
  UInt32 codec = 0;  // a compressor component reference; 0 names none in particular
  SInt16 depth = 24;
  UInt32 spatialQuality = 0x300;
};

struct TemporalSettings {
  UInt32 temporalQuality = 0x300;
  Fixed frameRate = 0;      // frames per second; 0 or less keeps the source's rate
  SInt32 keyFrameRate = 0;  // 0 lets the component choose
};

struct DataRateSettings {
  SInt32 dataRate = 0;  // video, bytes per second; 0 or less: the codec's quality default
  SInt32 frameDuration = 0;
  UInt32 minSpatialQuality = 0;
  UInt32 minTemporalQuality = 0;
};

struct SoundSettings {
  OSType codec = kSoundCodecFormatDefault;
  SInt32 bitRate = 0;     // bits per second; 0: the codec's default
  SInt32 sampleRate = 0;  // Hz; 0: the codec's default
  SInt32 channels = 0;    // 0: the codec's default
};

struct ExporterSettings {
  Fixed width = 0;
  Fixed height = 0;
  SpatialSettings spatial;
  TemporalSettings temporal;
  DataRateSettings dataRate;
  OSType fit = kFitKeepShape;
  SoundSettings sound;
  OSType fileFormat = kFileFormatByExtension;  // the 3GPP family only
  SInt32 fileSizeLimit = 0;  // bytes for the whole output file; 0 or less: no limit
  OSType h264Profile = kH264ProfileHigh;  // the 3GPP family writes Baseline whatever this says
};

ExporterSettings DefaultExporterSettings(ExporterKind kind);

bool ExporterOffersVideoCodec(ExporterKind kind, OSType codecType);
bool ExporterOffersSoundCodec(ExporterKind kind, OSType codec);
bool ExporterOffersFileFormat(ExporterKind kind, OSType fileFormat);

// The canonical container: the same settings always give the same bytes.
OSErr ExporterSettingsToAtomContainer(const ExporterSettings& settings, ExporterKind kind, QTAtomContainer* container);
// Reads `container` over `settings`: atoms it does not know are ignored, missing ones keep their
// value. A malformed container, a record that is too short or a choice this component cannot
// write is refused with a nonzero status and `settings` is left as it was.
OSErr ReadExporterSettings(QTAtomContainer container, ExporterKind kind, ExporterSettings* settings);

// The container the output will be: the file format setting, or the file's extension when that
// setting says "by extension" (a name without a known extension gives 3GPP).
OutputContainer OutputContainerFor(ExporterKind kind, OSType fileFormat, std::string_view outputPath);
