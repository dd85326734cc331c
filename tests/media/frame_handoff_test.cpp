// The queue between the decoding and the encoding threads: nothing lost, nothing stranded.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "platform/media/pipeline/FrameHandoff.h"

namespace {

FramePtr NumberedFrame(int number) {
  FramePtr frame = MakeFrame();
  frame->pts = number;
  return frame;
}

TEST(FrameHandoff, EveryFrameArrivesInOrderAndAGiverWaitingForRoomIsReleased) {
  FrameHandoff handoff(1);
  std::thread giver([&] {
    for (int number = 0; number < 5; ++number) {
      FramePtr frame = NumberedFrame(number);
      ASSERT_TRUE(handoff.give(frame, number % 2));
    }
    handoff.finish();
  });
  std::vector<int> arrived;
  FramePtr frame;
  int lane = -1;
  while (handoff.take(&frame, &lane)) {
    EXPECT_EQ(lane, frame->pts % 2);
    arrived.push_back(int(frame->pts));
  }
  giver.join();
  EXPECT_EQ(arrived, (std::vector<int>{0, 1, 2, 3, 4}));

  // A taker that fails while the giver waits on a full queue must not leave it waiting forever.
  FrameHandoff full(1);
  FramePtr first = NumberedFrame(0), second = NumberedFrame(1);
  ASSERT_TRUE(full.give(first, 0));
  std::thread blocked([&] { EXPECT_FALSE(full.give(second, 0)); });
  full.giveUp();
  blocked.join();
  EXPECT_NE(second, nullptr);  // still the giver's to free
  EXPECT_FALSE(full.take(&frame, &lane));
}

}  // namespace
