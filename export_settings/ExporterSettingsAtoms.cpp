#include "export_settings/ExporterSettingsAtoms.h"

#include <cstring>
#include <functional>

#include "platform/ByteOrder.h"
#include "platform/movies/FixMath.h"

namespace {


constexpr OSType kSorensonVideo3 = FOUR_CHAR_CODE("SVQ3");
constexpr SInt16 kSpatialDepth = 24;
constexpr UInt32 codecLosslessQuality = 0x400;
constexpr UInt32 codecHighQuality = 0x300;

// Field offsets within the packed records.
constexpr long kSpatialCodecType = 0, kSpatialCodec = 4, kSpatialDepthField = 8, kSpatialQuality = 10;
constexpr long kTemporalFrameRate = 4, kTemporalKeyFrameRate = 8;
constexpr long kDataRateField = 0, kMinSpatialQuality = 8, kMinTemporalQuality = 12;
constexpr QTAtomType kFileFormatAtomType = FOUR_CHAR_CODE("ffmt");


// The steps the record edits share: take a copy of the settings, find the record atom under
// 'vide' (or, for a file-wide setting, at the root), fill `record` (with the atom's current bytes
// when `keepCurrent`), let `change` rewrite it, store it as the atom's whole data and hand the copy
// back. The copy is disposed of on every path.
OSErr EditVideoRecord(MovieExportComponent exporter, QTAtomType recordType, long recordSize, bool keepCurrent,
                      const std::function<void(UInt8*)>& change, bool atRoot = false) {
  QTAtomContainer settings = nullptr;
  OSErr status = OSErrFromComponentResult(MovieExportGetSettingsAsAtomContainer(exporter, &settings));
  UInt8 record[kSCDataRateSettingsSize] = {};  // room for the largest record

  QTAtom recordAtom = 0;
  if (status == noErr) {
    // Without a 'vide' atom there is nothing to edit; the root's own children are never taken for it.
    const QTAtom video =
        QTFindChildByID(settings, kParentAtomIsContainer, kVideoSettingsAtomType, kVideoSettingsAtomID, nullptr);
    if (atRoot) {
      recordAtom = QTFindChildByID(settings, kParentAtomIsContainer, recordType, kVideoSettingsAtomID, nullptr);
    } else if (video != 0) {
      recordAtom = QTFindChildByID(settings, video, recordType, kVideoSettingsAtomID, nullptr);
    }
    if (recordAtom == 0) status = cannotFindAtomErr;
  }
  if (status == noErr && keepCurrent) {
    status = QTLockContainer(settings);
    if (status == noErr) {
      long dataSize = 0;
      Ptr data = nullptr;
      status = QTGetAtomDataPtr(settings, recordAtom, &dataSize, &data);
      // A record cut short is refused rather than read past its end.
      if (status == noErr && (data == nullptr || dataSize < recordSize)) status = cannotFindAtomErr;
      if (status == noErr) std::memcpy(record, data, size_t(recordSize));
      const OSErr unlocked = QTUnlockContainer(settings);
      if (status == noErr) status = unlocked;
    }
  }
  if (status == noErr) {
    change(record);
    status = QTSetAtomData(settings, recordAtom, recordSize, record);
  }
  if (status == noErr) status = OSErrFromComponentResult(MovieExportSetSettingsFromAtomContainer(exporter, settings));
  if (settings != nullptr) QTDisposeAtomContainer(settings);
  return status;
}

// Writes the value into the atom of that type under `parent`, making the atom when it is missing.
// Failures are not examined: only the final hand-back decides the result.
void PutU32Child(QTAtomContainer settings, QTAtom parent, QTAtomType type, UInt32 value) {
  UInt8 bytes[4];
  WriteU32(bytes, value);
  const QTAtom atom = QTFindChildByID(settings, parent, type, kVideoSettingsAtomID, nullptr);
  if (atom != 0) {
    QTSetAtomData(settings, atom, sizeof bytes, bytes);
  } else {
    QTInsertChild(settings, parent, type, kVideoSettingsAtomID, 0, sizeof bytes, bytes, nullptr);
  }
}

}  // namespace

OSErr QTDX_SetExportedMovieDimensions(MovieExportComponent exporter, Fixed height, Fixed width) {
  if (exporter == nullptr) return paramErr;
  QTAtomContainer settings = nullptr;
  const OSErr got = OSErrFromComponentResult(MovieExportGetSettingsAsAtomContainer(exporter, &settings));
  if (settings == nullptr) return got;

  QTAtom video = QTFindChildByID(settings, kParentAtomIsContainer, kVideoSettingsAtomType, kVideoSettingsAtomID, nullptr);
  if (video == 0) {
    QTInsertChild(settings, kParentAtomIsContainer, kVideoSettingsAtomType, kVideoSettingsAtomID, 0, 0, nullptr, &video);
  }
  if (video != 0) {
    // Edits inside 'vide' leave its own place in the image unchanged, so `video` stays good.
    PutU32Child(settings, video, kVideoHeightAtomType, UInt32(height));
    PutU32Child(settings, video, kVideoWidthAtomType, UInt32(width));
  }
  const OSErr status = OSErrFromComponentResult(MovieExportSetSettingsFromAtomContainer(exporter, settings));
  QTDisposeAtomContainer(settings);
  return status;
}

OSErr QTDX_SetExportedMovieSpatialSetting(MovieExportComponent exporter) {
  return EditVideoRecord(exporter, kSpatialSettingsAtomType, kSCSpatialSettingsSize, false, [](UInt8* record) {
    WriteU32(record + kSpatialCodecType, kSorensonVideo3);
    WriteU32(record + kSpatialCodec, 0);
    WriteU16(record + kSpatialDepthField, UInt16(kSpatialDepth));
    WriteU32(record + kSpatialQuality, codecLosslessQuality);
  });
}

OSErr QTDX_SetExportedMovieTemporalSetting(MovieExportComponent exporter, double frameRate) {
  // temporalQuality keeps the value read from the atom.
  return EditVideoRecord(exporter, kTemporalSettingsAtomType, kSCTemporalSettingsSize, true, [frameRate](UInt8* record) {
    WriteU32(record + kTemporalFrameRate, UInt32(X2Fix(frameRate)));
    WriteU32(record + kTemporalKeyFrameRate, 0);
  });
}

OSErr QTDX_SetExportedMovieDataRateSetting(MovieExportComponent exporter, SInt32 dataRate) {
  // frameDuration keeps the value read from the atom. The product wraps in 32 bits.
  return EditVideoRecord(exporter, kDataRateSettingsAtomType, kSCDataRateSettingsSize, true, [dataRate](UInt8* record) {
    WriteU32(record + kDataRateField, UInt32(dataRate) << 10);
    WriteU32(record + kMinSpatialQuality, codecHighQuality);
    WriteU32(record + kMinTemporalQuality, codecHighQuality);
  });
}

OSErr QTDX_SetExportedMovieSizeLimit(MovieExportComponent exporter, SInt32 kilobytes) {
  // As the data rate: the product wraps in 32 bits.
  return EditVideoRecord(
      exporter, kFileSizeLimitAtomType, kFileSizeLimitSize, false,
      [kilobytes](UInt8* record) { WriteU32(record, UInt32(kilobytes) << 10); }, true);
}

OSErr QTDX_SetExportedMovieH264Profile(MovieExportComponent exporter, OSType profile) {
  return EditVideoRecord(
      exporter, kH264ProfileAtomType, 4, false, [profile](UInt8* record) { WriteU32(record, profile); }, true);
}

OSErr QTDX_SetExportedMovieFileFormat(MovieExportComponent exporter, OSType fileFormat) {
  if (exporter == nullptr) return paramErr;
  QTAtomContainer settings = nullptr;
  const OSErr got = OSErrFromComponentResult(MovieExportGetSettingsAsAtomContainer(exporter, &settings));
  if (settings == nullptr) return got;
  PutU32Child(settings, kParentAtomIsContainer, kFileFormatAtomType, fileFormat);
  const OSErr status = OSErrFromComponentResult(MovieExportSetSettingsFromAtomContainer(exporter, settings));
  QTDisposeAtomContainer(settings);
  return status;
}
