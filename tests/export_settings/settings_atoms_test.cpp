#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

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

// Up to `count` bytes from `from` of the data of the atom of that type under 'vide' in the image.
Bytes VideoChild(const AtomImage& image, const char* type, size_t from = 0, size_t count = 100) {
  QTAtomContainer container = ContainerFrom(image);
  const QTAtom video = QTFindChildByID(container, kParentAtomIsContainer, FOUR_CHAR_CODE("vide"), 1, nullptr);
  const QTAtom atom =
      video ? QTFindChildByID(container, video, atom_layout::Get32(Bytes(type, type + 4), 0), 1, nullptr) : 0;
  Bytes data;
  long size = 0;
  Ptr bytes = nullptr;
  if (atom != 0 && QTGetAtomDataPtr(container, atom, &size, &bytes) == noErr && size_t(size) >= from) {
    data.assign(bytes + from, bytes + std::min(size_t(size), from + count));
  }
  QTDisposeAtomContainer(container);
  return data;
}

// The four setters, each with a representative value.
const std::function<OSErr(MovieExportComponent)> kSetters[] = {
    [](MovieExportComponent e) { return QTDX_SetExportedMovieDimensions(e, X2Fix(144), X2Fix(176)); },
    [](MovieExportComponent e) { return QTDX_SetExportedMovieTemporalSetting(e, 15.0); },
    [](MovieExportComponent e) { return QTDX_SetExportedMovieDataRateSetting(e, 8); },
    [](MovieExportComponent e) { return QTDX_SetExportedMovieSpatialSetting(e); },
};

}  // namespace

TEST(SettingsAtoms, SizeWritesHeightAndWidthMakingWhatIsMissing) {
  // 'hegt' present with another value, 'wdth' missing.
  ScopedRecordingExporter exporter(Container({Atom("vide", 1, {Atom("hegt", 1, {}, {0, 1, 0, 0})})}));
  EXPECT_EQ(kSetters[0](exporter.instance()), noErr);
  EXPECT_EQ(exporter.state().callNames(), (std::vector{kGetSettingsCall, kSetSettingsCall}));
  EXPECT_EQ(Describe(exporter.state().settings), "sean#1[vide#1[hegt#1(4),wdth#1(4)]]");
  EXPECT_EQ(VideoChild(exporter.state().settings, "hegt"), (Bytes{0x00, 0x90, 0x00, 0x00}));
  EXPECT_EQ(VideoChild(exporter.state().settings, "wdth"), (Bytes{0x00, 0xB0, 0x00, 0x00}));

  // No 'vide' at all: it is made, and then both children in it.
  ScopedRecordingExporter bare(Container({Atom("soun", 1, {}, {1, 2})}));
  EXPECT_EQ(QTDX_SetExportedMovieDimensions(bare.instance(), X2Fix(96), X2Fix(128)), noErr);
  EXPECT_EQ(Describe(bare.state().settings), "sean#1[soun#1(2),vide#1[hegt#1(4),wdth#1(4)]]");
  EXPECT_EQ(VideoChild(bare.state().settings, "wdth"), (Bytes{0x00, 0x80, 0x00, 0x00}));
}

TEST(SettingsAtoms, RecordsGetExactBytesAndKeepTheFieldsLeftAlone) {
  // Records longer than they should be are cut to the record, keeping their leading bytes.
  ScopedRecordingExporter longer(
      Container({Atom("vide", 1,
                      {Atom("sptl", 1, {}, Bytes(30, 0xCC)), Atom("tprl", 1, {}, Bytes(20, 0xAA)),
                       Atom("drat", 1, {}, Bytes(24, 0xBB))})}));
  for (int i = 1; i < 4; ++i) EXPECT_EQ(kSetters[i](longer.instance()), noErr);
  EXPECT_EQ(Describe(longer.state().settings), "sean#1[vide#1[sptl#1(14),tprl#1(12),drat#1(16)]]");
  EXPECT_EQ(VideoChild(longer.state().settings, "tprl", 0, 4), (Bytes{0xAA, 0xAA, 0xAA, 0xAA}));
  EXPECT_EQ(VideoChild(longer.state().settings, "drat", 4, 4), (Bytes{0xBB, 0xBB, 0xBB, 0xBB}));

  ScopedRecordingExporter exporter(VideoSettingsImage());
  const AtomImage& settings = exporter.state().settings;
  EXPECT_EQ(kSetters[1](exporter.instance()), noErr);
  EXPECT_EQ(VideoChild(settings, "tprl"), (Bytes{0, 0, 0x02, 0xAB, 0x00, 0x0F, 0x00, 0x00, 0, 0, 0, 0}));
  EXPECT_EQ(QTDX_SetExportedMovieTemporalSetting(exporter.instance(), 12.5), noErr);
  EXPECT_EQ(VideoChild(settings, "tprl", 4, 4), (Bytes{0x00, 0x0C, 0x80, 0x00}));
  EXPECT_EQ(kSetters[2](exporter.instance()), noErr);
  EXPECT_EQ(VideoChild(settings, "drat"), (Bytes{0, 0, 0x20, 0, 0, 0, 0x12, 0x34, 0, 0, 3, 0, 0, 0, 3, 0}));
  EXPECT_EQ(QTDX_SetExportedMovieDataRateSetting(exporter.instance(), -5), noErr);
  EXPECT_EQ(VideoChild(settings, "drat", 0, 4), (Bytes{0xFF, 0xFF, 0xEC, 0x00}));
  EXPECT_EQ(QTDX_SetExportedMovieDataRateSetting(exporter.instance(), 1 << 21), noErr);
  EXPECT_EQ(VideoChild(settings, "drat", 0, 4), (Bytes{0x80, 0, 0, 0}));
  EXPECT_EQ(kSetters[3](exporter.instance()), noErr);
  EXPECT_EQ(VideoChild(settings, "sptl"), (Bytes{'S', 'V', 'Q', '3', 0, 0, 0, 0, 0x00, 0x18, 0x00, 0x00, 0x04, 0x00}));
  EXPECT_EQ(Describe(settings), "sean#1[vide#1[wdth#1(4),hegt#1(4),sptl#1(14),tprl#1(12),drat#1(16)]]");
}

TEST(SettingsAtoms, RecordsThatAreNotThereAreNeverHandedBack) {
  // Neither a missing record, nor one lying under the root instead of 'vide', nor one cut short.
  const Bytes images[] = {
      Container({Atom("vide", 1, {Atom("hegt", 1, {}, {0, 1, 0, 0})})}),
      Container({Atom("sptl", 1, {}, Bytes(14)), Atom("tprl", 1, {}, Bytes(12)), Atom("drat", 1, {}, Bytes(16))}),
      Container({Atom("vide", 1, {Atom("tprl", 1, {}, Bytes(11)), Atom("drat", 1, {}, Bytes(4))})}),
  };
  for (const Bytes& image : images) {
    ScopedRecordingExporter exporter(image);
    for (int i = 1; i < 4; ++i) {
      EXPECT_EQ(kSetters[i](exporter.instance()), cannotFindAtomErr) << Describe(image) << " setter " << i;
    }
    EXPECT_EQ(exporter.state().count(kSetSettingsCall), 0u) << Describe(image);
    EXPECT_EQ(exporter.state().settings, image);
  }
}

TEST(SettingsAtoms, FailuresArePassedOnAndChangeNothing) {
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    ScopedRecordingExporter exporter(VideoSettingsImage());
    RecordingExporterState& state = exporter.state();
    const AtomImage before = state.settings;
    // The size checks the instance itself; the records leave that to the get call.
    const OSErr refused = kSetters[i](nullptr);
    EXPECT_TRUE(i == 0 ? refused == paramErr : refused != noErr) << refused;
    EXPECT_TRUE(state.calls.empty());

    // A failed get: only whether a container came back decides. The sanitizer build sees a leak
    // if the container handed out with the failure is kept.
    state.failures[kGetSettingsCall] = memFullErr;
    EXPECT_EQ(kSetters[i](exporter.instance()), memFullErr);
    EXPECT_EQ(state.callNames(), (std::vector{kGetSettingsCall}));
    state.failedGetGivesContainer = true;
    EXPECT_EQ(kSetters[i](exporter.instance()) == noErr, i == 0) << "the size goes on with what it got";

    // A failed set changes nothing; a 32-bit failure whose low half is 0 is no success.
    state.failures = {{kSetSettingsCall, ioErr}};
    const AtomImage current = state.settings;
    EXPECT_EQ(kSetters[i](exporter.instance()), ioErr);
    EXPECT_EQ(state.settings, current);
    state.failures = {{kSetSettingsCall, 0x00010000}};
    EXPECT_NE(kSetters[i](exporter.instance()), noErr);
    if (i > 0) {
      EXPECT_EQ(state.settings, before);
    }
  }
}
