// The video settings atom of an export component's settings: the component writes it, the
// settings edits change it. Every child has ID 1; records are big-endian and packed.
#pragma once

#include "platform/movies/AtomContainers.h"

constexpr QTAtomType kVideoSettingsAtomType = FOUR_CHAR_CODE("vide");
constexpr QTAtomType kVideoHeightAtomType = FOUR_CHAR_CODE("hegt");        // Fixed pixels
constexpr QTAtomType kVideoWidthAtomType = FOUR_CHAR_CODE("wdth");         // Fixed pixels
constexpr QTAtomType kSpatialSettingsAtomType = FOUR_CHAR_CODE("sptl");    // SCSpatialSettings
constexpr QTAtomType kTemporalSettingsAtomType = FOUR_CHAR_CODE("tprl");   // SCTemporalSettings
constexpr QTAtomType kDataRateSettingsAtomType = FOUR_CHAR_CODE("drat");   // SCDataRateSettings
constexpr QTAtomID kVideoSettingsAtomID = 1;
// Beside 'vide' at the root: the most bytes the whole output file may take (SInt32; 0: no limit).
constexpr QTAtomType kFileSizeLimitAtomType = FOUR_CHAR_CODE("fsiz");
constexpr long kFileSizeLimitSize = 4;
// Beside 'vide' at the root: H.264's profile in an MPEG-4 file (OSType); missing means High.
constexpr QTAtomType kH264ProfileAtomType = FOUR_CHAR_CODE("avcp");
constexpr OSType kH264ProfileHigh = FOUR_CHAR_CODE("high");
constexpr OSType kH264ProfileBaseline = FOUR_CHAR_CODE("base");  // for older phones

constexpr long kSCSpatialSettingsSize = 14;
constexpr long kSCTemporalSettingsSize = 12;
constexpr long kSCDataRateSettingsSize = 16;
