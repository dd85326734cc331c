#include <gtest/gtest.h>

#include "export_settings/ExporterSettingsAtoms.h"
#include "platform/movies/FixMath.h"
#include "tests/support/AtomLayout.h"
#include "tests/support/RecordingExporter.h"

using atom_layout::Atom;
using atom_layout::Bytes;
using atom_layout::Container;
using atom_layout::Describe;
using namespace test_support;

namespace {

const std::vector<std::string> kGetThenSet = {kGetSettingsCall, kSetSettingsCall};
const std::vector<std::string> kGetOnly = {kGetSettingsCall};

// The data of the atom of that type under 'vide' in the exporter's current settings.
Bytes VideoChild(const AtomImage& image, const char* type) {
  QTAtomContainer container = ContainerFrom(image);
  const QTAtom video = QTFindChildByID(container, kParentAtomIsContainer, FOUR_CHAR_CODE("vide"), 1, nullptr);
  char code[5] = {type[0], type[1], type[2], type[3], 0};
  const QTAtom atom = video ? QTFindChildByID(container, video, FOUR_CHAR_CODE(code), 1, nullptr) : 0;
  Bytes data;
  long size = 0;
  Ptr bytes = nullptr;
  if (atom != 0 && QTGetAtomDataPtr(container, atom, &size, &bytes) == noErr) data.assign(bytes, bytes + size);
  QTDisposeAtomContainer(container);
  return data;
}

Bytes Slice(const Bytes& bytes, size_t from, size_t count) {
  return from + count <= bytes.size() ? Bytes(bytes.begin() + long(from), bytes.begin() + long(from + count)) : Bytes{};
}

}  // namespace

TEST(SettingsAtoms, SizeWritesHeightAndWidthMakingWhatIsMissing) {
  // 'hegt' present with another value, 'wdth' missing.
  ScopedRecordingExporter exporter(Container({Atom("vide", 1, {Atom("hegt", 1, {}, {0, 1, 0, 0})})}));
  EXPECT_EQ(QTDX_SetExportedMovieDimensions(exporter.instance(), X2Fix(144), X2Fix(176)), noErr);
  EXPECT_EQ(exporter.state().callNames(), kGetThenSet);
  EXPECT_EQ(Describe(exporter.state().settings), "sean#1[vide#1[hegt#1(4),wdth#1(4)]]");
  EXPECT_EQ(VideoChild(exporter.state().settings, "hegt"), (Bytes{0x00, 0x90, 0x00, 0x00}));
  EXPECT_EQ(VideoChild(exporter.state().settings, "wdth"), (Bytes{0x00, 0xB0, 0x00, 0x00}));

  // No 'vide' at all: it is made, empty, and then both children in it.
  ScopedRecordingExporter bare(Container({Atom("soun", 1, {}, {1, 2})}));
  EXPECT_EQ(QTDX_SetExportedMovieDimensions(bare.instance(), X2Fix(96), X2Fix(128)), noErr);
  EXPECT_EQ(Describe(bare.state().settings), "sean#1[soun#1(2),vide#1[hegt#1(4),wdth#1(4)]]");
  EXPECT_EQ(VideoChild(bare.state().settings, "wdth"), (Bytes{0x00, 0x80, 0x00, 0x00}));
}

TEST(SettingsAtoms, SizeStatuses) {
  ScopedRecordingExporter exporter(VideoSettingsImage());
  EXPECT_EQ(QTDX_SetExportedMovieDimensions(nullptr, X2Fix(144), X2Fix(176)), paramErr);
  EXPECT_TRUE(exporter.state().calls.empty());

  // A failed get that still hands out a container goes on; only the hand-back decides.
  exporter.state().failures[kGetSettingsCall] = memFullErr;
  exporter.state().failedGetGivesContainer = true;
  EXPECT_EQ(QTDX_SetExportedMovieDimensions(exporter.instance(), X2Fix(144), X2Fix(176)), noErr);
  EXPECT_EQ(exporter.state().callNames(), kGetThenSet);

  exporter.state().calls.clear();
  exporter.state().failedGetGivesContainer = false;
  EXPECT_EQ(QTDX_SetExportedMovieDimensions(exporter.instance(), X2Fix(1), X2Fix(1)), memFullErr);
  EXPECT_EQ(exporter.state().callNames(), kGetOnly);

  exporter.state().calls.clear();
  exporter.state().failures = {{kSetSettingsCall, ioErr}};
  EXPECT_EQ(QTDX_SetExportedMovieDimensions(exporter.instance(), X2Fix(1), X2Fix(1)), ioErr);
  EXPECT_EQ(VideoChild(exporter.state().settings, "hegt"), (Bytes{0x00, 0x90, 0x00, 0x00}));
}

TEST(SettingsAtoms, RecordsGetExactBytesAndKeepTheFieldsLeftAlone) {
  ScopedRecordingExporter exporter(VideoSettingsImage());
  const AtomImage& settings = exporter.state().settings;

  EXPECT_EQ(QTDX_SetExportedMovieTemporalSetting(exporter.instance(), 15.0), noErr);
  EXPECT_EQ(VideoChild(settings, "tprl"), (Bytes{0, 0, 0x02, 0xAB, 0x00, 0x0F, 0x00, 0x00, 0, 0, 0, 0}));
  EXPECT_EQ(QTDX_SetExportedMovieTemporalSetting(exporter.instance(), 12.5), noErr);
  EXPECT_EQ(Slice(VideoChild(settings, "tprl"), 4, 4), (Bytes{0x00, 0x0C, 0x80, 0x00}));

  EXPECT_EQ(QTDX_SetExportedMovieDataRateSetting(exporter.instance(), 8), noErr);
  EXPECT_EQ(VideoChild(settings, "drat"), (Bytes{0, 0, 0x20, 0, 0, 0, 0x12, 0x34, 0, 0, 3, 0, 0, 0, 3, 0}));
  EXPECT_EQ(QTDX_SetExportedMovieDataRateSetting(exporter.instance(), -5), noErr);
  EXPECT_EQ(Slice(VideoChild(settings, "drat"), 0, 4), (Bytes{0xFF, 0xFF, 0xEC, 0x00}));
  EXPECT_EQ(QTDX_SetExportedMovieDataRateSetting(exporter.instance(), 1 << 21), noErr);
  EXPECT_EQ(Slice(VideoChild(settings, "drat"), 0, 4), (Bytes{0x80, 0, 0, 0}));

  EXPECT_EQ(QTDX_SetExportedMovieSpatialSetting(exporter.instance()), noErr);
  EXPECT_EQ(VideoChild(settings, "sptl"), (Bytes{'S', 'V', 'Q', '3', 0, 0, 0, 0, 0x00, 0x18, 0x00, 0x00, 0x04, 0x00}));

  EXPECT_EQ(exporter.state().count(kGetSettingsCall), 6u);
  EXPECT_EQ(exporter.state().count(kSetSettingsCall), 6u);
  EXPECT_EQ(Describe(settings), "sean#1[vide#1[wdth#1(4),hegt#1(4),sptl#1(14),tprl#1(12),drat#1(16)]]");
}

TEST(SettingsAtoms, LongerRecordsAreCutToTheRecord) {
  Bytes temporal(20, 0xAA), dataRate(24, 0xBB), spatial(30, 0xCC);
  ScopedRecordingExporter exporter(Container(
      {Atom("vide", 1, {Atom("sptl", 1, {}, spatial), Atom("tprl", 1, {}, temporal), Atom("drat", 1, {}, dataRate)})}));
  EXPECT_EQ(QTDX_SetExportedMovieTemporalSetting(exporter.instance(), 15.0), noErr);
  EXPECT_EQ(QTDX_SetExportedMovieDataRateSetting(exporter.instance(), 4), noErr);
  EXPECT_EQ(QTDX_SetExportedMovieSpatialSetting(exporter.instance()), noErr);
  EXPECT_EQ(Describe(exporter.state().settings), "sean#1[vide#1[sptl#1(14),tprl#1(12),drat#1(16)]]");
  EXPECT_EQ(Slice(VideoChild(exporter.state().settings, "tprl"), 0, 4), (Bytes{0xAA, 0xAA, 0xAA, 0xAA}));
  EXPECT_EQ(Slice(VideoChild(exporter.state().settings, "drat"), 4, 4), (Bytes{0xBB, 0xBB, 0xBB, 0xBB}));
}

TEST(SettingsAtoms, RecordsThatAreNotThereAreNeverHandedBack) {
  // Neither a missing record, nor one lying under the root instead of 'vide', nor one cut short.
  const std::vector<Bytes> images = {
      Container({Atom("vide", 1, {Atom("hegt", 1, {}, {0, 1, 0, 0})})}),
      Container({Atom("sptl", 1, {}, Bytes(14)), Atom("tprl", 1, {}, Bytes(12)), Atom("drat", 1, {}, Bytes(16))}),
      Container({Atom("vide", 1, {Atom("tprl", 1, {}, Bytes(11)), Atom("drat", 1, {}, Bytes(4))})}),
  };
  for (size_t i = 0; i < images.size(); ++i) {
    ScopedRecordingExporter exporter(images[i]);
    EXPECT_EQ(QTDX_SetExportedMovieTemporalSetting(exporter.instance(), 15.0), cannotFindAtomErr) << i;
    EXPECT_EQ(QTDX_SetExportedMovieDataRateSetting(exporter.instance(), 8), cannotFindAtomErr) << i;
    if (i < 2) {
      EXPECT_EQ(QTDX_SetExportedMovieSpatialSetting(exporter.instance()), cannotFindAtomErr) << i;
    }
    EXPECT_EQ(exporter.state().count(kSetSettingsCall), 0u) << i;
    EXPECT_EQ(exporter.state().settings, images[i]) << i;
  }
}

TEST(SettingsAtoms, RecordFailuresArePassedOn) {
  ScopedRecordingExporter exporter(VideoSettingsImage());
  const AtomImage before = exporter.state().settings;
  exporter.state().failures[kGetSettingsCall] = memFullErr;
  exporter.state().failedGetGivesContainer = true;  // disposed of all the same: the sanitizer build would see a leak
  EXPECT_EQ(QTDX_SetExportedMovieTemporalSetting(exporter.instance(), 15.0), memFullErr);
  EXPECT_EQ(QTDX_SetExportedMovieDataRateSetting(exporter.instance(), 8), memFullErr);
  EXPECT_EQ(QTDX_SetExportedMovieSpatialSetting(exporter.instance()), memFullErr);
  EXPECT_EQ(exporter.state().callNames(), (std::vector<std::string>(3, kGetSettingsCall)));

  exporter.state().failures = {{kSetSettingsCall, ioErr}};
  EXPECT_EQ(QTDX_SetExportedMovieDataRateSetting(exporter.instance(), 8), ioErr);
  EXPECT_EQ(exporter.state().settings, before);
  // A 32-bit failure whose low half is 0 must not come out as success.
  exporter.state().failures = {{kSetSettingsCall, 0x00010000}};
  EXPECT_NE(QTDX_SetExportedMovieSpatialSetting(exporter.instance()), noErr);
  EXPECT_NE(QTDX_SetExportedMovieDimensions(exporter.instance(), X2Fix(1), X2Fix(1)), noErr);

  // A null instance is the get call's to refuse, and nothing is set.
  EXPECT_NE(QTDX_SetExportedMovieTemporalSetting(nullptr, 15.0), noErr);
  EXPECT_EQ(exporter.state().count(kSetSettingsCall), 3u);
}
