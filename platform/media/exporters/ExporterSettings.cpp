#include "platform/media/exporters/ExporterSettings.h"

#include <array>
#include <cstring>
#include <optional>
#include <string>

#include "platform/ByteOrder.h"
#include "platform/movies/VideoSettingsAtoms.h"

namespace {

constexpr OSType kFitAtom = FOUR_CHAR_CODE("pfit");
constexpr OSType kSoundAtom = FOUR_CHAR_CODE("soun");
constexpr OSType kSoundCodecAtom = FOUR_CHAR_CODE("cdec");
constexpr OSType kSoundBitRateAtom = FOUR_CHAR_CODE("bitr");
constexpr OSType kSoundSampleRateAtom = FOUR_CHAR_CODE("srat");
constexpr OSType kSoundChannelsAtom = FOUR_CHAR_CODE("chan");
constexpr OSType kFileFormatAtom = FOUR_CHAR_CODE("ffmt");

// Big-endian packing, so that a record's bytes never depend on the machine's layout.
class RecordWriter {
 public:
  RecordWriter& u32(UInt32 v) {
    WriteU32(bytes_.data() + size_, v);
    size_ += 4;
    return *this;
  }
  RecordWriter& u16(UInt16 v) {
    WriteU16(bytes_.data() + size_, v);
    size_ += 2;
    return *this;
  }
  const UInt8* data() const { return bytes_.data(); }
  long size() const { return long(size_); }

 private:
  std::array<UInt8, 16> bytes_{};
  size_t size_ = 0;
};

class RecordReader {
 public:
  explicit RecordReader(const UInt8* bytes) : bytes_(bytes) {}
  UInt32 u32() {
    offset_ += 4;
    return ReadU32(bytes_ + offset_ - 4);
  }
  UInt16 u16() {
    offset_ += 2;
    return ReadU16(bytes_ + offset_ - 2);
  }

 private:
  const UInt8* bytes_;
  size_t offset_ = 0;
};

RecordWriter Spatial(const SpatialSettings& s) {
  return RecordWriter().u32(s.codecType).u32(s.codec).u16(UInt16(s.depth)).u32(s.spatialQuality);
}
RecordWriter Temporal(const TemporalSettings& t) {
  return RecordWriter().u32(t.temporalQuality).u32(UInt32(t.frameRate)).u32(UInt32(t.keyFrameRate));
}
RecordWriter DataRate(const DataRateSettings& d) {
  return RecordWriter()
      .u32(UInt32(d.dataRate))
      .u32(UInt32(d.frameDuration))
      .u32(d.minSpatialQuality)
      .u32(d.minTemporalQuality);
}
RecordWriter Word(UInt32 v) { return RecordWriter().u32(v); }

OSErr InsertRecord(QTAtomContainer container, QTAtom parent, OSType type, const RecordWriter& record) {
  return QTInsertChild(container, parent, type, 1, 0, record.size(), record.data(), nullptr);
}

// The leading `size` bytes of a leaf atom's data: nothing when the atom is absent, an error when
// its data is shorter (a newer, longer record is read by its leading bytes).
OSErr ReadRecord(QTAtomContainer container, QTAtom parent, OSType type, long size,
                 std::optional<std::array<UInt8, 16>>* out) {
  out->reset();
  QTAtom atom = QTFindChildByID(container, parent, type, 1, nullptr);
  if (atom == 0) return noErr;
  OSErr err = QTLockContainer(container);
  if (err != noErr) return err;
  long dataSize = 0;
  Ptr data = nullptr;
  err = QTGetAtomDataPtr(container, atom, &dataSize, &data);
  if (err == noErr && dataSize < size) err = invalidAtomErr;
  if (err == noErr) {
    std::array<UInt8, 16> bytes{};
    std::memcpy(bytes.data(), data, size_t(size));
    *out = bytes;
  }
  QTUnlockContainer(container);
  return err;
}

}  // namespace

ExporterSettings DefaultExporterSettings(ExporterKind kind) {
  ExporterSettings s;
  const bool phone = kind == ExporterKind::threeGPP;
  s.width = (phone ? 176 : 320) << 16;
  s.height = (phone ? 144 : 240) << 16;
  s.spatial.codecType = FirstOutputFormatOf(SubtypeOf(kind)).videoCodec;
  s.temporal.frameRate = 15 << 16;  // an upper limit: a slower source keeps its own rate
  s.dataRate.dataRate = phone ? 8 * 1024 : 32 * 1024;
  return s;
}

bool ExporterOffersVideoCodec(ExporterKind kind, OSType codecType) {
  if (codecType == kMPEG4VisualCodecType || codecType == kH264CodecType) return true;
  // H.263 has no place in an MPEG-4 file.
  return codecType == kH263CodecType && kind == ExporterKind::threeGPP;
}

bool ExporterOffersSoundCodec(ExporterKind kind, OSType codec) {
  if (codec == kSoundCodecFormatDefault || codec == kSoundCodecNone || codec == kAACCodecType) return true;
  return codec == kAMRNBCodecType && kind == ExporterKind::threeGPP;
}

bool ExporterOffersFileFormat(ExporterKind kind, OSType fileFormat) {
  if (kind != ExporterKind::threeGPP) return false;
  if (fileFormat == kFileFormatByExtension) return true;
  for (const OutputFormat& format : kOutputFormats) {
    if (format.exporter == SubtypeOf(kind) && format.fileFormat == fileFormat) return true;
  }
  return false;
}

OSErr ExporterSettingsToAtomContainer(const ExporterSettings& s, ExporterKind kind, QTAtomContainer* container) {
  if (container == nullptr) return paramErr;
  *container = nullptr;
  QTAtomContainer c = nullptr;
  OSErr err = QTNewAtomContainer(&c);
  if (err != noErr) return err;
  QTAtom video = 0;
  QTAtom sound = 0;
  err = QTInsertChild(c, kParentAtomIsContainer, kVideoSettingsAtomType, 1, 0, 0, nullptr, &video);
  if (err == noErr) err = InsertRecord(c, video, kVideoWidthAtomType, Word(UInt32(s.width)));
  if (err == noErr) err = InsertRecord(c, video, kVideoHeightAtomType, Word(UInt32(s.height)));
  if (err == noErr) err = InsertRecord(c, video, kSpatialSettingsAtomType, Spatial(s.spatial));
  if (err == noErr) err = InsertRecord(c, video, kTemporalSettingsAtomType, Temporal(s.temporal));
  if (err == noErr) err = InsertRecord(c, video, kDataRateSettingsAtomType, DataRate(s.dataRate));
  if (err == noErr) err = InsertRecord(c, video, kFitAtom, Word(s.fit));
  if (err == noErr) err = QTInsertChild(c, kParentAtomIsContainer, kSoundAtom, 1, 0, 0, nullptr, &sound);
  if (err == noErr) err = InsertRecord(c, sound, kSoundCodecAtom, Word(s.sound.codec));
  if (err == noErr) err = InsertRecord(c, sound, kSoundBitRateAtom, Word(UInt32(s.sound.bitRate)));
  if (err == noErr) err = InsertRecord(c, sound, kSoundSampleRateAtom, Word(UInt32(s.sound.sampleRate)));
  if (err == noErr) err = InsertRecord(c, sound, kSoundChannelsAtom, Word(UInt32(s.sound.channels)));
  if (err == noErr) err = InsertRecord(c, kParentAtomIsContainer, kFileSizeLimitAtomType, Word(UInt32(s.fileSizeLimit)));
  if (err == noErr) err = InsertRecord(c, kParentAtomIsContainer, kH264ProfileAtomType, Word(s.h264Profile));
  if (err == noErr && kind == ExporterKind::threeGPP)
    err = InsertRecord(c, kParentAtomIsContainer, kFileFormatAtom, Word(s.fileFormat));
  if (err != noErr) {
    QTDisposeAtomContainer(c);
    return err;
  }
  *container = c;
  return noErr;
}

OSErr ReadExporterSettings(QTAtomContainer container, ExporterKind kind, ExporterSettings* settings) {
  if (container == nullptr || settings == nullptr) return paramErr;
  OSErr err = QTValidateAtomContainer(container);
  if (err != noErr) return err;

  ExporterSettings s = *settings;
  // Every lookup below happens before any value is taken, so that a refusal changes nothing.
  QTAtom video = QTFindChildByID(container, kParentAtomIsContainer, kVideoSettingsAtomType, 1, nullptr);
  QTAtom sound = QTFindChildByID(container, kParentAtomIsContainer, kSoundAtom, 1, nullptr);
  struct Field {
    QTAtom parent;
    OSType type;
    long size;
    std::optional<std::array<UInt8, 16>> bytes;
  };
  std::array<Field, 13> fields{{{video, kVideoWidthAtomType, 4, {}},
                                {video, kVideoHeightAtomType, 4, {}},
                                {video, kSpatialSettingsAtomType, kSCSpatialSettingsSize, {}},
                                {video, kTemporalSettingsAtomType, kSCTemporalSettingsSize, {}},
                                {video, kDataRateSettingsAtomType, kSCDataRateSettingsSize, {}},
                                {video, kFitAtom, 4, {}},
                                {sound, kSoundCodecAtom, 4, {}},
                                {sound, kSoundBitRateAtom, 4, {}},
                                {sound, kSoundSampleRateAtom, 4, {}},
                                {sound, kSoundChannelsAtom, 4, {}},
                                {kParentAtomIsContainer, kFileFormatAtom, 4, {}},
                                {kParentAtomIsContainer, kFileSizeLimitAtomType, kFileSizeLimitSize, {}},
                                {kParentAtomIsContainer, kH264ProfileAtomType, 4, {}}}};
  for (Field& f : fields) {
    // A missing 'vide' or 'soun' atom means its children are missing too, not that they lie at the root.
    const bool atRoot = f.type == kFileFormatAtom || f.type == kFileSizeLimitAtomType || f.type == kH264ProfileAtomType;
    if (f.parent == 0 && !atRoot) continue;
    // The file format belongs to the 3GPP family; an MPEG-4 component ignores it like any unknown atom.
    if (f.type == kFileFormatAtom && kind != ExporterKind::threeGPP) continue;
    err = ReadRecord(container, f.parent, f.type, f.size, &f.bytes);
    if (err != noErr) return err;
  }
  auto word = [](const Field& f) { return RecordReader(f.bytes->data()).u32(); };
  if (fields[0].bytes) s.width = Fixed(word(fields[0]));
  if (fields[1].bytes) s.height = Fixed(word(fields[1]));
  if (fields[2].bytes) {
    RecordReader r(fields[2].bytes->data());
    s.spatial.codecType = r.u32();
    s.spatial.codec = r.u32();
    s.spatial.depth = SInt16(r.u16());
    s.spatial.spatialQuality = r.u32();
  }
  if (fields[3].bytes) {
    RecordReader r(fields[3].bytes->data());
    s.temporal.temporalQuality = r.u32();
    s.temporal.frameRate = Fixed(r.u32());
    s.temporal.keyFrameRate = SInt32(r.u32());
  }
  if (fields[4].bytes) {
    RecordReader r(fields[4].bytes->data());
    s.dataRate.dataRate = SInt32(r.u32());
    s.dataRate.frameDuration = SInt32(r.u32());
    s.dataRate.minSpatialQuality = r.u32();
    s.dataRate.minTemporalQuality = r.u32();
  }
  if (fields[5].bytes) s.fit = word(fields[5]);
  if (fields[6].bytes) s.sound.codec = word(fields[6]);
  if (fields[7].bytes) s.sound.bitRate = SInt32(word(fields[7]));
  if (fields[8].bytes) s.sound.sampleRate = SInt32(word(fields[8]));
  if (fields[9].bytes) s.sound.channels = SInt32(word(fields[9]));
  if (fields[10].bytes) s.fileFormat = word(fields[10]);
  if (fields[11].bytes) s.fileSizeLimit = SInt32(word(fields[11]));
  if (fields[12].bytes) s.h264Profile = word(fields[12]);

  if (!ExporterOffersVideoCodec(kind, s.spatial.codecType) || !ExporterOffersSoundCodec(kind, s.sound.codec) ||
      (kind == ExporterKind::threeGPP && !ExporterOffersFileFormat(kind, s.fileFormat)) ||
      (s.fit != kFitKeepShape && s.fit != kFitStretch) ||
      (s.h264Profile != kH264ProfileHigh && s.h264Profile != kH264ProfileBaseline))
    return paramErr;
  *settings = s;
  return noErr;
}

OutputContainer OutputContainerFor(ExporterKind kind, OSType fileFormat, std::string_view outputPath) {
  const OSType subtype = SubtypeOf(kind);
  const OutputFormat* named = OutputFormatOfName(outputPath);
  for (const OutputFormat& format : kOutputFormats) {
    if (format.exporter != subtype) continue;
    if (kind == ExporterKind::mpeg4 || format.fileFormat == fileFormat) return format.container;
    if (fileFormat == kFileFormatByExtension && named == &format) return format.container;
  }
  return FirstOutputFormatOf(subtype).container;
}
