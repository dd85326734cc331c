// The one way a frame goes through an encoder: give it, then take every packet the encoder has
// ready, for a plain export, a first pass's statistics, a measurement and a second pass alike.
#pragma once

#include <functional>
#include <string>

#include "platform/Failure.h"
#include "platform/MacTypes.h"
#include "platform/media/stages/FfmpegPointers.h"

// Called with each packet in the encoder's time base; it may take a reference of its own, and
// the packet is emptied after it. A nonzero status stops the drain (the sink says why itself).
using EncodedPacketSink = std::function<OSErr(AVPacket& packet)>;

// Gives `encoder` one frame (nullptr: the end, after which it gives out what it still holds) and
// hands every packet it then has ready to `eachPacket`. `scratch` is an empty packet to receive into.
OSErr EncodeAndDrain(AVCodecContext* encoder, const AVFrame* frame, AVPacket* scratch,
                     const EncodedPacketSink& eachPacket, Failure* failure);
