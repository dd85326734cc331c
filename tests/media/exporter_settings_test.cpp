// The export components' settings: what they take back and refuse, and the job an export resolves to.
#include <gtest/gtest.h>

#include "platform/media/exporters/BuiltInExporters.h"
#include "platform/media/exporters/MovieExporterJob.h"
#include "platform/movies/FixMath.h"
#include "platform/movies/MovieExport.h"
#include "tests/support/AtomLayout.h"
#include "tests/support/RecordingExporter.h"

namespace {

using namespace test_support;
using atom_layout::Atom;
constexpr OSType kVide = FOUR_CHAR_CODE("vide"), kWidth = FOUR_CHAR_CODE("wdth"), kTemporal = FOUR_CHAR_CODE("tprl");
constexpr OSType kSoun = FOUR_CHAR_CODE("soun"), kSoundCodec = FOUR_CHAR_CODE("cdec");

// The image with the atom at `path` (made at the top when missing) holding `bytes`.
AtomImage Edited(const AtomImage& image, std::initializer_list<OSType> path, const AtomImage& bytes) {
  QTAtomContainer c = ContainerFrom(image);
  QTAtom atom = kParentAtomIsContainer;
  for (OSType type : path) atom = QTFindChildByID(c, atom, type, 1, nullptr);
  if (atom == 0) QTInsertChild(c, kParentAtomIsContainer, *path.begin(), 1, 0, 0, nullptr, &atom);
  EXPECT_EQ(noErr, QTSetAtomData(c, atom, long(bytes.size()), bytes.data()));
  AtomImage edited = ImageOf(c);
  QTDisposeAtomContainer(c);
  return edited;
}

// The status of handing the image in; the caller's copy must stay as it was.
ComponentResult Apply(MovieExportComponent ci, const AtomImage& image) {
  QTAtomContainer c = ContainerFrom(image);
  ComponentResult status = MovieExportSetSettingsFromAtomContainer(ci, c);
  EXPECT_EQ(image, ImageOf(c));
  QTDisposeAtomContainer(c);
  return status;
}

TEST(ExporterSettings, TakesOlderAndNewerContainersAndRefusesUnusableOnes) {
  RegisterBuiltInMovieExporters();
  MovieExportComponent phone = OpenDefaultComponent(MovieExportType, kQTFileType3GPP);
  MovieExportComponent mpeg4 = OpenDefaultComponent(MovieExportType, kQTFileTypeMP4);
  // Newer: an unknown atom is ignored and a longer record is read by its leading bytes.
  const AtomImage defaults = SettingsImage(phone), temporal = {0, 0, 3, 0, 0, 12, 0x80, 0, 0, 0, 0, 0};
  AtomImage longer = temporal;
  longer.insert(longer.end(), {9, 9});
  ASSERT_EQ(noErr, Apply(phone, Edited(Edited(defaults, {FOUR_CHAR_CODE("xtra")}, {1}), {kVide, kTemporal}, longer)));
  EXPECT_EQ(Edited(defaults, {kVide, kTemporal}, temporal), SettingsImage(phone));
  // Older: a container holding only a width changes only the width.
  ASSERT_EQ(noErr, Apply(phone, atom_layout::Container({Atom("vide", 1, {Atom("wdth", 1, {}, {0, 0x80, 0, 0})})})));
  EXPECT_EQ(Edited(Edited(defaults, {kVide, kTemporal}, temporal), {kVide, kWidth}, {0, 0x80, 0, 0}),
            SettingsImage(phone));

  // Refused, and nothing changes: a broken image, a short record, what the component cannot write.
  const AtomImage before = SettingsImage(phone);
  AtomImage broken = before;
  broken[kQTAtomContainerHeaderSize + 3] += 7;
  EXPECT_NE(noErr, Apply(phone, broken));
  EXPECT_NE(noErr, Apply(phone, Edited(before, {kVide, FOUR_CHAR_CODE("drat")}, {0, 0, 1, 0})));
  EXPECT_NE(noErr, Apply(phone, Edited(Edited(before, {kVide, kWidth}, {1, 0, 0, 0}),  // must not stick either
                                        {kVide, FOUR_CHAR_CODE("sptl")}, {'S', 'V', 'Q', '3', 0, 0, 0, 0, 0, 24, 0, 0, 4, 0})));
  EXPECT_NE(noErr, MovieExportSetSettingsFromAtomContainer(phone, nullptr));
  EXPECT_EQ(before, SettingsImage(phone));
  // AMR-NB belongs to the 3GPP family only.
  const AtomImage mpeg4Before = SettingsImage(mpeg4);
  EXPECT_NE(noErr, Apply(mpeg4, Edited(mpeg4Before, {kSoun, kSoundCodec}, {'s', 'a', 'm', 'r'})));
  EXPECT_EQ(mpeg4Before, SettingsImage(mpeg4));
  CloseComponent(phone);
  CloseComponent(mpeg4);
}

// An export never reaches the encoders with a combination they cannot write.
TEST(ExporterChoices, OnlyThoseThatGoTogetherReachThePipeline) {
  ExporterSettings s = DefaultExporterSettings(ExporterKind::threeGPP);
  s.width = X2Fix(106.67);
  s.spatial.codecType = kH263CodecType;         // at a size of its own only
  s.sound = {kAMRNBCodecType, 9000, 44100, 2};  // at 8 kHz in its own modes only
  const ExportJob job = ResolveExportJob(s, ExporterKind::threeGPP, "in", "/a.b/OUT.3G2", 0, 1);
  EXPECT_EQ(106, job.width);
  EXPECT_EQ(VideoCodecChoice::mpeg4Visual, job.videoCodec);
  EXPECT_EQ(7950, job.audioBitRate);
  EXPECT_EQ(8000, job.audioSampleRate);
  EXPECT_EQ(1, job.audioChannels);
  EXPECT_EQ(OutputContainer::threeGPP2, job.container);
  EXPECT_TRUE(job.baselineProfile) << "older phones play Baseline H.264 only, whatever the settings say";
}

}  // namespace
