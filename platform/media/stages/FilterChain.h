// One libavfilter graph per exported stream: a buffer source the decoded frames go into and a
// sink the encoder takes its frames from.
#pragma once

#include <string>

#include "platform/Failure.h"
#include "platform/MacTypes.h"
#include "platform/media/stages/FfmpegPointers.h"

struct FilterChain {
  FilterGraphPtr graph;
  AVFilterContext* source = nullptr;
  AVFilterContext* sink = nullptr;
};

// Where the picture lands in the output frame.
struct PictureLayout {
  int scaledWidth = 0;  // the source scaled to this before it is turned
  int scaledHeight = 0;
  int rotationDegrees = 0;  // clockwise: 0, 90, 180 or 270
  int outputWidth = 0;      // the frame, black bars included
  int outputHeight = 0;
  int padLeft = 0;
  int padTop = 0;
  // To a quarter or less each way: cheaper scaling and deblocking serve as well as the best.
  bool shrinksFourfold = false;
};

// Fits a picture of the given stored size, pixel aspect ratio and rotation into the output size:
// whole even pixels, centred with black bars, or filling the frame when stretched.
PictureLayout FitPicture(int codedWidth, int codedHeight, AVRational sampleAspect, int rotationDegrees, int outputWidth,
                         int outputHeight, bool stretch);

// Scale straight from the decoder's format, turn, pad, convert to the encoder's pixel format, and
// set the frame rate last, so that the frames it holds back or repeats are small ones. Frames the
// lower rate drops are best passed over before they come in.
// `matrixConversion`: the filter that converts the colour matrix, if any; applied
// to the small picture, where it costs least.
OSErr BuildVideoFilterChain(const AVFrame& firstFrame, AVRational timeBase, AVRational frameRate,
                            const PictureLayout& layout, const std::string& matrixConversion,
                            AVPixelFormat outputFormat, FilterChain* chain, Failure* failure);

// Cuts the sound to [0, spanSeconds) and converts it to the encoder's rate, layout, sample format
// and frame size.
OSErr BuildAudioFilterChain(const AVFrame& firstFrame, AVRational timeBase, double spanSeconds,
                            const AVCodecContext& encoder, FilterChain* chain, Failure* failure);
