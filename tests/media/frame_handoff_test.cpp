// The frames between an export's stages: the queue between the decoding and the encoding threads
// (nothing lost, nothing stranded), the store a second pass reads them back from, and the thread
// that encodes the sound beside the pictures.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>
#include <functional>
#include <thread>

extern "C" {
#include <libavutil/channel_layout.h>
}

#include "platform/media/pipeline/FrameHandoff.h"
#include "platform/media/stages/EncodeAndDrain.h"
#include "platform/media/stages/EncoderSetup.h"
#include "platform/media/twopass/FrameStore.h"
#include "platform/media/twopass/SoundAlongside.h"
#include "tests/support/TempDir.h"

namespace {

// The frames' order and lanes show in every export's output; what only this test shows is that a
// giver left waiting is released.
TEST(FrameHandoff, AGiverWaitingForRoomIsReleasedWhenTheTakerGivesUp) {
  FrameHandoff full(1);
  FramePtr first = MakeFrame(), second = MakeFrame(), frame;
  int lane = -1;
  ASSERT_TRUE(full.give(first, 0));
  std::thread blocked([&] { EXPECT_FALSE(full.give(second, 0)); });
  full.giveUp();
  blocked.join();
  EXPECT_NE(second, nullptr);  // still the giver's to free
  EXPECT_FALSE(full.take(&frame, &lane));
}

// Each content byte of a 4:2:0 picture or of 16-bit mono sound, plane after plane, without the
// rows' padding, numbered from where frame `number`'s pattern starts.
void EachContentByte(AVFrame& frame, int number, const std::function<void(std::uint8_t&, std::uint8_t)>& each) {
  const bool picture = frame.nb_samples == 0;
  int counter = number * 31;
  for (int plane = 0; plane < (picture ? 3 : 1); ++plane) {
    const int rows = !picture ? 1 : plane ? frame.height / 2 : frame.height;
    const int across = !picture ? frame.nb_samples * 2 : plane ? frame.width / 2 : frame.width;
    for (int y = 0; y < rows; ++y) {
      for (int x = 0; x < across; ++x) each(frame.data[plane][y * frame.linesize[plane] + x], std::uint8_t(counter++));
    }
  }
}

// Frame `number`: a picture when even, else a stretch of sound, whose bytes tell which it is.
FramePtr PatternFrame(int number) {
  FramePtr frame = MakeFrame();
  frame->pts = number;
  if (number % 2 == 0) {
    frame->format = AV_PIX_FMT_YUV420P;
    frame->width = 64;
    frame->height = 48;
  } else {
    frame->format = AV_SAMPLE_FMT_S16;
    frame->nb_samples = 160;
    frame->sample_rate = 8000;
    av_channel_layout_default(&frame->ch_layout, 1);
  }
  EXPECT_EQ(av_frame_get_buffer(frame.get(), 0), 0);
  EachContentByte(*frame, number, [](std::uint8_t& byte, std::uint8_t value) { byte = value; });
  return frame;
}

// Kept frames come back as they went in, again for each pass, across the spill from memory into the
// file beside the output; past the last the store says it is at the end, not that it failed. Read
// before the frames are all in, it fails.
TEST(FrameStore, GivesEveryFrameBackForEachPassThenSaysItIsAtTheEnd) {
  TempDir folder;
  FrameStore store(folder.file("clip.3gp"), 10000);  // two pictures, then the file
  Failure reason;
  FramePtr read;
  int lane = -1;
  EXPECT_EQ(store.next(&read, &lane, &reason), FrameStoreRead::failed);
  EXPECT_EQ(reason.code, FailureCode::cannotReadKeptFrames);
  reason = {};
  for (int number = 0; number < 8; ++number) ASSERT_EQ(store.add(*PatternFrame(number), number % 2, &reason), noErr);
  EXPECT_TRUE(store.spilled());
  EXPECT_EQ(EntryNames(folder.path()), std::vector<std::string>{});  // the file has no name
  for (int pass = 1; pass <= 2; ++pass) {
    ASSERT_EQ(store.rewind(&reason), noErr) << int(reason.code);
    for (int number = 0; number < 8; ++number) {
      ASSERT_EQ(store.next(&read, &lane, &reason), FrameStoreRead::frame) << int(reason.code);
      EXPECT_EQ(read->pts, number);
      EXPECT_EQ(lane, number % 2);
      int wrong = 0;
      EachContentByte(*read, number, [&](std::uint8_t& byte, std::uint8_t value) { wrong += byte != value; });
      EXPECT_EQ(wrong, 0) << "frame " << number << ", pass " << pass;
    }
    EXPECT_EQ(store.next(&read, &lane, &reason), FrameStoreRead::end);
    EXPECT_EQ(store.next(&read, &lane, &reason), FrameStoreRead::end);
    EXPECT_FALSE(reason);
  }
  EXPECT_EQ(store.add(*PatternFrame(0), 0, &reason), paramErr);  // once read, the store takes no more
}

// Encoded on a thread of its own, each sound frame's packets are those encoding it in line gives,
// taken by its number; a frame the encoder refuses is told for its number and every later one.
TEST(SoundAlongside, GivesEachFramesPacketsAsEncodingInLineWouldThenTellsAFailure) {
  ExportJob job;
  job.audioCodec = AudioCodecChoice::amrNB;  // 160 samples a frame, as PatternFrame's sound has
  CodecContextPtr inLine, aside;
  Failure reason;
  for (CodecContextPtr* encoder : {&inLine, &aside}) {
    ASSERT_EQ(OpenAudioEncoder(job, 8000, 1, false, encoder, &reason), noErr);
  }
  SoundAlongside alongside(aside.get());
  constexpr int kFrames = 30;
  for (int number = 0; number <= kFrames; ++number) {
    alongside.give(number < kFrames ? PatternFrame(2 * number + 1) : nullptr);
  }
  PacketPtr scratch = MakePacket();
  for (int number = 0; number <= kFrames; ++number) {
    std::vector<PacketPtr> packets;
    ASSERT_EQ(alongside.take(std::size_t(number), &packets, &reason), noErr);
    auto next = packets.begin();
    FramePtr frame = number < kFrames ? PatternFrame(2 * number + 1) : nullptr;
    const EncodedPacketSink same = [&](AVPacket& packet) {
      const bool equal = next != packets.end() && (*next)->size == packet.size && (*next)->pts == packet.pts &&
                         std::equal(packet.data, packet.data + packet.size, (*next++)->data);
      return equal ? OSErr(noErr) : OSErr(paramErr);
    };
    EXPECT_EQ(EncodeAndDrain(inLine.get(), frame.get(), scratch.get(), same, &reason), noErr) << number;
    EXPECT_TRUE(next == packets.end()) << number;
  }
  SoundAlongside failing(inLine.get());  // ended above, it takes no more frames
  failing.give(PatternFrame(1));
  failing.give(PatternFrame(3));
  std::vector<PacketPtr> packets;
  for (std::size_t number : {0, 1}) {
    EXPECT_NE(failing.take(number, &packets, &reason), noErr);
    EXPECT_EQ(reason.code, FailureCode::cannotEncodeOutput);
  }
}

}  // namespace
