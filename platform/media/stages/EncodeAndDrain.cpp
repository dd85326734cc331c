#include "platform/media/stages/EncodeAndDrain.h"

#include "platform/media/stages/FfmpegErrors.h"

OSErr EncodeAndDrain(AVCodecContext* encoder, const AVFrame* frame, AVPacket* scratch,
                     const EncodedPacketSink& eachPacket, Failure* failure) {
  int result = avcodec_send_frame(encoder, frame);
  while (result >= 0) {
    result = avcodec_receive_packet(encoder, scratch);
    // EAGAIN: it wants the next frame; EOF: after the end, it has given out all it held.
    if (result == AVERROR(EAGAIN) || result == AVERROR_EOF) return noErr;
    if (result < 0) break;
    // A video encoder's time base counts frames (OpenVideoEncoder); a picture it gives no length
    // lasts one, so that the muxer gives the last picture its time on screen too.
    if (encoder->codec_type == AVMEDIA_TYPE_VIDEO && scratch->duration <= 0) scratch->duration = 1;
    OSErr status = eachPacket(*scratch);
    av_packet_unref(scratch);
    if (status != noErr) return status;
  }
  *failure = {FailureCode::cannotEncodeOutput, {}, AVErrorText(result)};
  return OSErrFromAVError(result);
}
