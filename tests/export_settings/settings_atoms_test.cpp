#include <gtest/gtest.h>

#include <functional>
#include <iterator>

#include "export_settings/ExporterSettingsAtoms.h"
#include "platform/movies/FixMath.h"
#include "tests/support/AtomLayout.h"
#include "tests/support/RecordingExporter.h"

using atom_layout::Atom;
using atom_layout::Bytes;
using atom_layout::Container;
using namespace test_support;

namespace {

// Settings whose 'vide' holds the three records, written from the layout alone.
Bytes Records(const Bytes& spatial, const Bytes& temporal, const Bytes& dataRate) {
  return Container(
      {Atom("vide", 1, {Atom("sptl", 1, {}, spatial), Atom("tprl", 1, {}, temporal), Atom("drat", 1, {}, dataRate)})});
}
Bytes VideoSize(uint8_t height, uint8_t width) {
  return Atom("vide", 1, {Atom("hegt", 1, {}, {0, height, 0, 0}), Atom("wdth", 1, {}, {0, width, 0, 0})});
}
const Bytes kSorenson = {'S', 'V', 'Q', '3', 0, 0, 0, 0, 0x00, 0x18, 0x00, 0x00, 0x04, 0x00};

// The four setters, each with a representative value.
const std::function<OSErr(MovieExportComponent)> kSetters[] = {
    [](MovieExportComponent e) { return QTDX_SetExportedMovieDimensions(e, X2Fix(144), X2Fix(176)); },
    [](MovieExportComponent e) { return QTDX_SetExportedMovieTemporalSetting(e, 15.0); },
    [](MovieExportComponent e) { return QTDX_SetExportedMovieDataRateSetting(e, 8); },
    [](MovieExportComponent e) { return QTDX_SetExportedMovieSpatialSetting(e); },
};

}  // namespace

TEST(SettingsAtoms, EachSetterWritesExactBytesAndKeepsTheFieldsLeftAlone) {
  // The size rewrites 'hegt' and makes a missing 'wdth', or a missing 'vide' with both.
  ScopedRecordingExporter sized(Container({Atom("vide", 1, {Atom("hegt", 1, {}, {0, 1, 0, 0})})}));
  EXPECT_EQ(kSetters[0](sized.instance()), noErr);
  EXPECT_EQ(sized.state().calls, (std::vector{kGetSettingsCall, kSetSettingsCall}));
  EXPECT_EQ(sized.state().settings, Container({VideoSize(0x90, 0xB0)}));
  ScopedRecordingExporter bare(Container({Atom("soun", 1, {}, {1, 2})}));
  EXPECT_EQ(QTDX_SetExportedMovieDimensions(bare.instance(), X2Fix(96), X2Fix(128)), noErr);
  EXPECT_EQ(bare.state().settings, Container({Atom("soun", 1, {}, {1, 2}), VideoSize(0x60, 0x80)}));

  // Records longer than they should be are cut to the record; the temporal quality and the
  // frame duration are kept, and the data rate wraps in 32 bits.
  ScopedRecordingExporter exporter(Records(Bytes(30, 0xCC), Bytes(20, 0xAA), Bytes(24, 0xBB)));
  const AtomImage& settings = exporter.state().settings;
  for (int i = 1; i < 4; ++i) EXPECT_EQ(kSetters[i](exporter.instance()), noErr);
  const Bytes quality = {0xAA, 0xAA, 0xAA, 0xAA}, duration = {0xBB, 0xBB, 0xBB, 0xBB};
  auto with = [&](Bytes frameRate, Bytes dataRate) {
    Bytes temporal = quality, rate = dataRate;
    temporal.insert(temporal.end(), frameRate.begin(), frameRate.end());
    temporal.insert(temporal.end(), {0, 0, 0, 0});
    rate.insert(rate.end(), duration.begin(), duration.end());
    rate.insert(rate.end(), {0, 0, 3, 0, 0, 0, 3, 0});
    return Records(kSorenson, temporal, rate);
  };
  EXPECT_EQ(settings, with({0x00, 0x0F, 0x00, 0x00}, {0, 0, 0x20, 0}));
  EXPECT_EQ(QTDX_SetExportedMovieTemporalSetting(exporter.instance(), 12.5), noErr);
  EXPECT_EQ(QTDX_SetExportedMovieDataRateSetting(exporter.instance(), -5), noErr);
  EXPECT_EQ(settings, with({0x00, 0x0C, 0x80, 0x00}, {0xFF, 0xFF, 0xEC, 0x00}));
  EXPECT_EQ(QTDX_SetExportedMovieDataRateSetting(exporter.instance(), 1 << 21), noErr);
  EXPECT_EQ(settings, with({0x00, 0x0C, 0x80, 0x00}, {0x80, 0, 0, 0}));

  // The size limit lies at the root beside 'vide', in bytes: 300 KB, then none.
  const Bytes video = Atom("vide", 1, {Atom("fsiz", 1, {}, {9, 9, 9, 9})});
  ScopedRecordingExporter limited(Container({video, Atom("fsiz", 1, {}, Bytes(6, 0xEE))}));
  EXPECT_EQ(QTDX_SetExportedMovieSizeLimit(limited.instance(), 300), noErr);
  EXPECT_EQ(limited.state().settings, Container({video, Atom("fsiz", 1, {}, {0, 0x04, 0xB0, 0})}));
  EXPECT_EQ(QTDX_SetExportedMovieSizeLimit(limited.instance(), 0), noErr);
  EXPECT_EQ(limited.state().settings, Container({video, Atom("fsiz", 1, {}, {0, 0, 0, 0})}));
}

TEST(SettingsAtoms, RecordsThatAreNotThereAreNeverHandedBack) {
  // Neither a missing record, nor one lying under the root instead of 'vide', nor one cut short.
  const Bytes images[] = {
      Container({Atom("vide", 1, {Atom("hegt", 1, {}, {0, 1, 0, 0})})}),
      Container({Atom("sptl", 1, {}, Bytes(14)), Atom("tprl", 1, {}, Bytes(12)), Atom("drat", 1, {}, Bytes(16))}),
      Container({Atom("vide", 1, {Atom("tprl", 1, {}, Bytes(11)), Atom("drat", 1, {}, Bytes(4))})}),
  };
  for (size_t image = 0; image < std::size(images); ++image) {
    ScopedRecordingExporter exporter(images[image]);
    for (int i = 1; i < 4; ++i) EXPECT_EQ(kSetters[i](exporter.instance()), cannotFindAtomErr) << image << " " << i;
    EXPECT_EQ(QTDX_SetExportedMovieSizeLimit(exporter.instance(), 300), cannotFindAtomErr) << image;
    EXPECT_EQ(exporter.state().count(kSetSettingsCall), 0u) << image;
    EXPECT_EQ(exporter.state().settings, images[image]);
  }
}

TEST(SettingsAtoms, FailuresArePassedOnAndChangeNothing) {
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    ScopedRecordingExporter exporter(Records(Bytes(14), Bytes(12), Bytes(16)));
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
    EXPECT_EQ(state.calls, (std::vector{kGetSettingsCall}));
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
