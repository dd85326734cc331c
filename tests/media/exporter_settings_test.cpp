// The export components' settings: the container they hand out, what they take back, the job an
// export resolves to, and the dialog's choices.
#include <gtest/gtest.h>

#include <vector>

#include "platform/files/Files.h"
#include "platform/media/BuiltInExporters.h"
#include "platform/media/ExporterDialog.h"
#include "platform/media/MovieExporterJob.h"
#include "platform/memory/Memory.h"
#include "platform/movies/FixMath.h"
#include "platform/movies/MovieExport.h"
#include "tests/support/TempDir.h"

namespace {

using Bytes = std::vector<UInt8>;
using Path = std::initializer_list<OSType>;
constexpr OSType kVide = FOUR_CHAR_CODE("vide");
constexpr OSType kSoun = FOUR_CHAR_CODE("soun");

QTAtom Find(QTAtomContainer c, Path path) {
  QTAtom atom = kParentAtomIsContainer;
  for (OSType type : path) atom = QTFindChildByID(c, atom, type, 1, nullptr);
  return atom;
}

Bytes AtomData(QTAtomContainer c, Path path, size_t prefix = 64) {
  long size = 0;
  Ptr data = nullptr;
  QTLockContainer(c);
  Bytes bytes;
  if (QTGetAtomDataPtr(c, Find(c, path), &size, &data) == noErr)
    bytes.assign(data, data + std::min<long>(size, prefix));
  QTUnlockContainer(c);
  return bytes;
}

void SetAtomData(QTAtomContainer c, Path path, const Bytes& bytes) {
  ASSERT_EQ(noErr, QTSetAtomData(c, Find(c, path), long(bytes.size()), bytes.data()));
}

class ExporterSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterBuiltInMovieExporters();
    phone_ = OpenDefaultComponent(MovieExportType, kQTFileType3GPP);
    mpeg4_ = OpenDefaultComponent(MovieExportType, kQTFileTypeMP4);
  }
  void TearDown() override {
    CloseComponent(phone_);
    CloseComponent(mpeg4_);
    SetMovieExportDialogPresenter(nullptr);
  }
  static QTAtomContainer Get(MovieExportComponent ci) {
    QTAtomContainer c = nullptr;
    EXPECT_EQ(noErr, MovieExportGetSettingsAsAtomContainer(ci, &c));
    return c;
  }
  static Bytes Image(MovieExportComponent ci) {
    QTAtomContainer c = Get(ci);
    Bytes bytes(*c, *c + GetHandleSize(c));
    QTDisposeAtomContainer(c);
    return bytes;
  }
  // Edits a copy of the instance's settings and hands it back; the status of the hand-back.
  template <typename Edit>
  static ComponentResult Apply(MovieExportComponent ci, Edit edit) {
    QTAtomContainer c = Get(ci);
    edit(c);
    ComponentResult status = MovieExportSetSettingsFromAtomContainer(ci, c);
    QTDisposeAtomContainer(c);
    return status;
  }

  MovieExportComponent phone_ = nullptr;
  MovieExportComponent mpeg4_ = nullptr;
};

TEST_F(ExporterSettingsTest, HandsOutTheVideoRecordsPackedBigEndian) {
  QTAtomContainer c = Get(phone_);
  EXPECT_EQ((Bytes{0x00, 0xB0, 0, 0}), AtomData(c, {kVide, FOUR_CHAR_CODE("wdth")}));
  EXPECT_EQ((Bytes{0x00, 0x90, 0, 0}), AtomData(c, {kVide, FOUR_CHAR_CODE("hegt")}));
  EXPECT_EQ((Bytes{'m', 'p', '4', 'v', 0, 0, 0, 0, 0, 24, 0, 0, 3, 0}), AtomData(c, {kVide, FOUR_CHAR_CODE("sptl")}));
  EXPECT_EQ(12u, AtomData(c, {kVide, FOUR_CHAR_CODE("tprl")}).size());
  EXPECT_EQ(16u, AtomData(c, {kVide, FOUR_CHAR_CODE("drat")}).size());
  EXPECT_EQ((Bytes{0, 0, 0x20, 0}), AtomData(c, {kVide, FOUR_CHAR_CODE("drat")}, 4));  // 8 KB/s
  QTDisposeAtomContainer(c);
  c = Get(mpeg4_);
  EXPECT_EQ((Bytes{'a', 'v', 'c', '1'}), AtomData(c, {kVide, FOUR_CHAR_CODE("sptl")}, 4));
  QTDisposeAtomContainer(c);
}

TEST_F(ExporterSettingsTest, TakesOlderAndNewerContainersAndRefusesUnusableOnes) {
  // Newer: an unknown atom is ignored and a longer record is read by its leading bytes.
  ASSERT_EQ(noErr, Apply(phone_, [](QTAtomContainer edited) {
              QTInsertChild(edited, kParentAtomIsContainer, FOUR_CHAR_CODE("xtra"), 1, 0, 3, "abc", nullptr);
              SetAtomData(edited, {kVide, FOUR_CHAR_CODE("tprl")}, {0, 0, 3, 0, 0, 12, 0x80, 0, 0, 0, 0, 0, 9, 9});
            }));
  QTAtomContainer c = Get(phone_);
  EXPECT_EQ((Bytes{0, 0, 3, 0, 0, 12, 0x80, 0, 0, 0, 0, 0}), AtomData(c, {kVide, FOUR_CHAR_CODE("tprl")}));
  EXPECT_EQ(0, Find(c, {FOUR_CHAR_CODE("xtra")}));
  QTDisposeAtomContainer(c);

  // Older: a container holding only a width changes only the width.
  QTAtomContainer expected = Get(phone_);
  SetAtomData(expected, {kVide, FOUR_CHAR_CODE("wdth")}, {0, 0x80, 0, 0});
  const Bytes widthChanged(*expected, *expected + GetHandleSize(expected));
  QTDisposeAtomContainer(expected);
  QTAtomContainer older = nullptr;
  QTAtom video = 0;
  ASSERT_EQ(noErr, QTNewAtomContainer(&older));
  QTInsertChild(older, kParentAtomIsContainer, kVide, 1, 0, 0, nullptr, &video);
  QTInsertChild(older, video, FOUR_CHAR_CODE("wdth"), 1, 0, 4, "\0\x80\0\0", nullptr);
  ASSERT_EQ(noErr, MovieExportSetSettingsFromAtomContainer(phone_, older));
  QTDisposeAtomContainer(older);
  EXPECT_EQ(widthChanged, Image(phone_));

  // Refused, and nothing changes: a broken image, a short record, what the component cannot write.
  Bytes before = Image(phone_);
  EXPECT_NE(noErr, Apply(phone_, [](QTAtomContainer edited) { (*edited)[kQTAtomContainerHeaderSize + 3] += 7; }));
  EXPECT_NE(noErr, Apply(phone_, [](QTAtomContainer edited) {
              SetAtomData(edited, {kVide, FOUR_CHAR_CODE("drat")}, {0, 0, 1, 0});
            }));
  EXPECT_NE(noErr, Apply(phone_, [](QTAtomContainer edited) {
              SetAtomData(edited, {kVide, FOUR_CHAR_CODE("wdth")}, {1, 0, 0, 0});  // must not stick either
              SetAtomData(edited, {kVide, FOUR_CHAR_CODE("sptl")}, {'S', 'V', 'Q', '3', 0, 0, 0, 0, 0, 24, 0, 0, 4, 0});
            }));
  EXPECT_NE(noErr, MovieExportSetSettingsFromAtomContainer(phone_, nullptr));
  EXPECT_EQ(before, Image(phone_));
  // AMR-NB belongs to the 3GPP family only.
  before = Image(mpeg4_);
  EXPECT_NE(noErr, Apply(mpeg4_, [](QTAtomContainer edited) {
              SetAtomData(edited, {kSoun, FOUR_CHAR_CODE("cdec")}, {'s', 'a', 'm', 'r'});
            }));
  EXPECT_EQ(before, Image(mpeg4_));
}

TEST_F(ExporterSettingsTest, SurvivesASettingsFileByteForByte) {
  // Settings other than the defaults, so that a load that silently failed would show.
  ASSERT_EQ(noErr, Apply(phone_, [](QTAtomContainer edited) {
              SetAtomData(edited, {kSoun, FOUR_CHAR_CODE("cdec")}, {'m', 'p', '4', 'a'});
              SetAtomData(edited, {FOUR_CHAR_CODE("ffmt")}, {'a', 'm', 'c', ' '});
            }));
  const Bytes saved = Image(phone_);

  TempDir dir;
  FSSpec spec{};
  SInt16 ref = 0;
  ASSERT_EQ(noErr, FSMakeFSSpecFromPath(dir.file("settingAmc.atom").c_str(), &spec));
  ASSERT_EQ(noErr, FSpCreate(&spec, FOUR_CHAR_CODE("Zvok"), FOUR_CHAR_CODE("Pref"), smSystemScript));
  ASSERT_EQ(noErr, FSpOpenDF(&spec, fsRdWrPerm, &ref));
  SInt32 count = SInt32(saved.size());
  EXPECT_EQ(noErr, FSWrite(ref, &count, saved.data()));
  EXPECT_EQ(noErr, FSClose(ref));

  MovieExportComponent fresh = OpenDefaultComponent(MovieExportType, kQTFileType3GPP);
  ASSERT_NE(saved, Image(fresh));
  ASSERT_EQ(noErr, FSpOpenDF(&spec, fsRdPerm, &ref));
  ASSERT_EQ(noErr, GetEOF(ref, &count));
  Handle loaded = NewHandleClear(count);
  EXPECT_EQ(noErr, FSRead(ref, &count, *loaded));
  FSClose(ref);
  EXPECT_EQ(noErr, MovieExportSetSettingsFromAtomContainer(fresh, loaded));
  DisposeHandle(loaded);
  EXPECT_EQ(saved, Image(fresh));
  CloseComponent(fresh);
}

TEST(ExportJobResolution, GivesThePipelineOnlyWhatItCanWrite) {
  // Sizes become even and in range; H.263 at a size of its own only; AMR-NB at 8 kHz in its modes.
  ExporterSettings s = DefaultExporterSettings(ExporterKind::threeGPP);
  s.width = X2Fix(-3);
  s.height = X2Fix(30000);
  s.spatial.codecType = kH263CodecType;
  s.dataRate.dataRate = -5 * 1024;
  s.sound = {kAMRNBCodecType, 9000, 44100, 2};
  ExportJob job = ResolveExportJob(s, ExporterKind::threeGPP, "in", "/a.b/OUT.3G2", 0, 1);
  EXPECT_EQ(16, job.width);
  EXPECT_EQ(4096, job.height);
  EXPECT_EQ(VideoCodecChoice::mpeg4Visual, job.videoCodec);
  EXPECT_EQ(0, job.videoBitRate);
  EXPECT_EQ(OutputContainer::threeGPP2, job.container);
  EXPECT_EQ(7950, job.audioBitRate);
  EXPECT_EQ(8000, job.audioSampleRate);
  EXPECT_EQ(1, job.audioChannels);
  s.width = X2Fix(106.67);
  EXPECT_EQ(106, ResolveExportJob(s, ExporterKind::threeGPP, "in", "out.3gp", 0, 1).width);
}

TEST_F(ExporterSettingsTest, DialogOffersOnlyChoicesThatGoTogether) {
  ExporterDialogModel model(ExporterKind::threeGPP, DefaultExporterSettings(ExporterKind::threeGPP));
  ASSERT_TRUE(model.setPictureSize(200, 150));
  ASSERT_TRUE(model.chooseVideoCodec(kH263CodecType));
  EXPECT_EQ(X2Fix(176), model.settings().width);  // the nearest H.263 size
  EXPECT_FALSE(model.setPictureSize(320, 240));
  EXPECT_TRUE(model.chooseFileFormat(kFileFormatAMC));
  EXPECT_EQ(OutputContainer::amc, model.containerFor("clip.mov.3gp"));
  ASSERT_TRUE(model.chooseSoundCodec(kAMRNBCodecType));
  EXPECT_FALSE(model.setSoundSampleRate(44100));
  EXPECT_FALSE(ExporterDialogModel(ExporterKind::mpeg4, model.settings()).chooseVideoCodec(kH263CodecType));

  // Without a window the dialog reports "cancelled"; a confirmed one leaves its choices in the instance.
  Boolean canceled = false;
  EXPECT_EQ(noErr, MovieExportDoUserDialog(phone_, nullptr, nullptr, 0, 0, &canceled));
  EXPECT_TRUE(canceled);
  SetMovieExportDialogPresenter([](ExporterDialogModel& m) { return m.chooseVideoCodec(kH264CodecType); });
  EXPECT_EQ(noErr, MovieExportDoUserDialog(phone_, nullptr, nullptr, 0, 0, &canceled));
  EXPECT_FALSE(canceled);
  QTAtomContainer c = Get(phone_);
  EXPECT_EQ((Bytes{'a', 'v', 'c', '1'}), AtomData(c, {kVide, FOUR_CHAR_CODE("sptl")}, 4));
  QTDisposeAtomContainer(c);
}

}  // namespace
