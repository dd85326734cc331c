#include "platform/media/stages/FfmpegSource.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>
#include <string_view>

extern "C" {
#include <libavutil/cpu.h>
#include <libavutil/display.h>
}

#include "platform/media/stages/ExportJob.h"
#include "platform/media/stages/FfmpegErrors.h"
#include "platform/media/stages/SourceDataRates.h"

namespace {

// Clockwise degrees a viewer turns the picture, from the stream's display matrix.
int RotationOf(const AVStream* stream) {
  const uint8_t* matrix = av_stream_get_side_data(stream, AV_PKT_DATA_DISPLAYMATRIX, nullptr);
  if (!matrix) return 0;
  double counterClockwise = av_display_rotation_get(reinterpret_cast<const int32_t*>(matrix));
  if (std::isnan(counterClockwise)) return 0;
  int quarterTurns = int(std::lround(-counterClockwise / 90.0));
  return ((quarterTurns % 4) + 4) % 4 * 90;
}

// A file cut short still opens when its index comes first; its index then points past the end.
bool IndexPointsPastEnd(AVFormatContext* format, AVStream* stream) {
  int64_t fileSize = format->pb ? avio_size(format->pb) : -1;
  int count = avformat_index_get_entries_count(stream);
  if (fileSize <= 0 || count <= 0) return false;
  const AVIndexEntry* last = avformat_index_get_entry(stream, count - 1);
  return last && last->pos + last->size > fileSize;
}

int BestStream(AVFormatContext* format, AVMediaType type) {
  int index = av_find_best_stream(format, type, -1, -1, nullptr, 0);
  if (index < 0) return -1;
  const AVStream* stream = format->streams[index];
  if (stream->disposition & AV_DISPOSITION_ATTACHED_PIC) return -1;  // cover art is not a movie
  if (!avcodec_find_decoder(stream->codecpar->codec_id)) return -1;
  if (type == AVMEDIA_TYPE_VIDEO && (stream->codecpar->width <= 0 || stream->codecpar->height <= 0)) return -1;
  if (type == AVMEDIA_TYPE_AUDIO && stream->codecpar->sample_rate <= 0) return -1;
  return index;
}

// The demuxers of picture files read one picture per packet, and a photo has only one.
bool IsSinglePicture(AVFormatContext* format) {
  std::string_view name = format->iformat->name;
  bool pictureFile = name == "image2" || (name.size() > 5 && name.substr(name.size() - 5) == "_pipe");
  if (!pictureFile || !format->pb) return false;
  PacketPtr packet = MakePacket();
  int pictures = 0;
  while (packet && pictures < 2 && av_read_frame(format, packet.get()) >= 0) {
    ++pictures;
    av_packet_unref(packet.get());
  }
  // A stream of several pictures is read again from its start.
  avio_seek(format->pb, 0, SEEK_SET);
  avformat_flush(format);
  return pictures < 2;
}

double DurationOf(const AVFormatContext* format, const SourceMovie& source) {
  if (format->duration > 0) return format->duration / double(AV_TIME_BASE);
  double longest = 0;
  for (int index : {source.videoStream, source.audioStream}) {
    if (index < 0) continue;
    const AVStream* stream = format->streams[index];
    if (stream->duration > 0) longest = std::max(longest, stream->duration * av_q2d(stream->time_base));
  }
  return longest;
}

void MeasureVideo(AVFormatContext* format, AVStream* stream, MovieFacts* facts) {
  facts->hasVideo = true;
  facts->codedWidth = stream->codecpar->width;
  facts->codedHeight = stream->codecpar->height;
  AVRational sar = av_guess_sample_aspect_ratio(format, stream, nullptr);
  if (sar.num > 0 && sar.den > 0) {
    av_reduce(&facts->sampleAspectNum, &facts->sampleAspectDen, sar.num, sar.den, 1 << 16);
  }
  facts->rotationDegrees = RotationOf(stream);
  AVRational rate = av_guess_frame_rate(format, stream, nullptr);
  facts->frameRate = rate.num > 0 && rate.den > 0 ? av_q2d(rate) : double(kGuessedFrameRate);

  int shownWidth = int(std::lround(double(facts->codedWidth) * facts->sampleAspectNum / facts->sampleAspectDen));
  bool quarterTurn = facts->rotationDegrees == 90 || facts->rotationDegrees == 270;
  facts->naturalWidth = quarterTurn ? facts->codedHeight : shownWidth;
  facts->naturalHeight = quarterTurn ? shownWidth : facts->codedHeight;
}

}  // namespace

OSErr OpenSourceMovie(const std::string& path, SourceMovie* source, Failure* failure) {
  // Failures reach the caller as a status and a reason; FFmpeg's own chatter would only clutter
  // a terminal.
  static std::once_flag quieted;
  std::call_once(quieted, [] { av_log_set_level(AV_LOG_FATAL); });
  AVFormatContext* opened = nullptr;
  int result = avformat_open_input(&opened, path.c_str(), nullptr, nullptr);
  if (result < 0) {
    OSErr status = OSErrFromAVError(result);
    const bool unopened = status == fnfErr || status == permErr;
    *failure = {unopened ? FailureCode::cannotOpenSource : FailureCode::notAMovie, {}, AVErrorText(result)};
    return status == fnfErr || status == permErr ? status : OSErr(invalidMovie);
  }
  InputFormatPtr format(opened);
  if (std::strcmp(format->iformat->name, "tty") == 0) {  // any text file reads as "ANSI art"
    *failure = {FailureCode::sourceIsNotMovie};
    return invalidMovie;
  }
  result = avformat_find_stream_info(format.get(), nullptr);
  if (result < 0) {
    *failure = {FailureCode::cannotReadSourceMovie, {}, AVErrorText(result)};
    return invalidMovie;
  }

  if (IsSinglePicture(format.get())) {
    *failure = {FailureCode::singlePicture};
    return invalidMovie;
  }
  source->videoStream = BestStream(format.get(), AVMEDIA_TYPE_VIDEO);
  source->audioStream = BestStream(format.get(), AVMEDIA_TYPE_AUDIO);
  if (source->videoStream < 0 && source->audioStream < 0) {
    *failure = {FailureCode::noPictureOrSound};
    return noMovieFound;
  }
  for (int index : {source->videoStream, source->audioStream}) {
    if (index >= 0 && IndexPointsPastEnd(format.get(), format->streams[index])) {
      *failure = {FailureCode::cutShort};
      return invalidMovie;
    }
  }

  source->facts = MovieFacts{};
  if (source->videoStream >= 0) MeasureVideo(format.get(), format->streams[source->videoStream], &source->facts);
  if (source->audioStream >= 0) {
    const AVCodecParameters* audio = format->streams[source->audioStream]->codecpar;
    source->facts.hasAudio = true;
    source->facts.audioSampleRate = audio->sample_rate;
    source->facts.audioChannels = audio->ch_layout.nb_channels;
  }
  source->facts.durationSeconds = DurationOf(format.get(), *source);
  const SourceDataRates rates = MeasureSourceDataRates(*format, source->videoStream, source->audioStream);
  source->facts.videoBitRate = rates.video;
  source->facts.audioBitRate = rates.audio;
  source->facts.wholeBitRate = rates.whole;
  // A transport or program stream has no length in its header: it is guessed from the first and
  // last times found, which joined pieces or trailing junk make wrong.
  source->facts.durationKnown = source->facts.durationSeconds > 0 &&
                                format->duration_estimation_method == AVFMT_DURATION_FROM_STREAM;
  source->format = std::move(format);
  return noErr;
}

OSErr OpenStreamDecoder(const SourceMovie& source, int streamIndex, CodecContextPtr* decoder,
                        Failure* failure) {
  const AVStream* stream = source.format->streams[streamIndex];
  const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
  CodecContextPtr context(avcodec_alloc_context3(codec));
  if (!context) return memFullErr;
  int result = avcodec_parameters_to_context(context.get(), stream->codecpar);
  if (result >= 0) {
    context->pkt_timebase = stream->time_base;
    if (codec->type == AVMEDIA_TYPE_VIDEO) {
      // One thread more than the cores: a frame waiting on the one it refers to leaves its core
      // to another. Each thread holds some 30 MB of its own at 4K, so pictures beyond HD get
      // one per core, which keeps peak memory well below a plain decode's. With a single core
      // (a batch's share of them) frame threads only add their hand-overs: some 6% more time.
      const int cores = av_cpu_count();
      bool beyondHD = long(stream->codecpar->width) * stream->codecpar->height > kLargestHDPicture;
      context->thread_count = cores <= 1 ? 1 : std::clamp(cores + (beyondHD ? 0 : 1), 2, 4);
      context->thread_type = FF_THREAD_FRAME;
    }
    result = avcodec_open2(context.get(), codec, nullptr);
  }
  if (result < 0) {
    const bool picture = codec->type == AVMEDIA_TYPE_VIDEO;
    *failure = {picture ? FailureCode::cannotDecodeVideo : FailureCode::cannotDecodeSound, {}, AVErrorText(result)};
    return OSErrFromAVError(result);
  }
  *decoder = std::move(context);
  return noErr;
}
