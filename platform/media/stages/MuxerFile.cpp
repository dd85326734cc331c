#include "platform/media/stages/MuxerFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/files/Files.h"
#include "platform/files/HiddenFiles.h"
#include "platform/media/stages/ColourBox.h"
#include "platform/media/stages/FfmpegErrors.h"

// Why the hidden file beside the output could not be made, named after what the user can change.
Failure MuxerFile::HiddenFileFailure(int err, const std::string& folder) {
  switch (err) {
    case EACCES:
    case EPERM:
    case EROFS:
      return {FailureCode::outputFolderNotWritable, folder};
    case ENOSPC:
    case EDQUOT:
      return {FailureCode::theDiskIsFull};
    case ENAMETOOLONG:
      return {FailureCode::outputFolderPathTooLong, folder};
    default:
      return {FailureCode::cannotWriteInOutputFolder, {}, std::strerror(err)};
  }
}

MuxerFile::~MuxerFile() {
  format_.reset();  // closes the file before its hidden name goes
}

OSErr MuxerFile::fail(int averror, FailureCode what, Failure* failure) {
  OSErr status = OSErrFromAVError(averror);
  *failure = status == dskFulErr ? Failure{FailureCode::theDiskIsFull} : Failure{what, {}, AVErrorText(averror)};
  return status;
}

OSErr MuxerFile::open(const std::string& outputPath, OutputContainer container, Failure* failure) {
  container_ = container;
  outputPath_ = outputPath;
  struct stat existing {};
  if (stat(outputPath.c_str(), &existing) == 0) {
    // Found now rather than when the finished movie cannot take the folder's place.
    if (S_ISDIR(existing.st_mode)) {
      *failure = {FailureCode::outputIsFolder, outputPath};
      return notAFileErr;
    }
    replacesEarlierOutput_ = S_ISREG(existing.st_mode) && existing.st_size > 0;
  }
  const std::string folder = hidden_files::FolderOf(outputPath);
  int err = hidden_files::HiddenName::Reserve(folder, &hiddenName_);
  if (err == 0) {
    temporaryPath_ = hiddenName_->path(hidden_files::HiddenKind::part);
    const int fd = ::open(temporaryPath_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
    err = fd < 0 ? errno : 0;
    if (fd >= 0) ::close(fd);
  }
  if (err != 0) {
    temporaryPath_.clear();
    *failure = HiddenFileFailure(err, folder);
    return OSErrFromErrno(err);
  }

  AVFormatContext* context = nullptr;
  const char* muxer = OutputFormatOf(container).muxer;
  int result = avformat_alloc_output_context2(&context, nullptr, muxer, temporaryPath_.c_str());
  if (result < 0) return fail(result, FailureCode::cannotStartOutputMovie, failure);
  format_.reset(context);
  result = avio_open(&format_->pb, temporaryPath_.c_str(), AVIO_FLAG_WRITE);
  if (result < 0) return fail(result, FailureCode::cannotWriteOutputMovie, failure);
  return noErr;
}

bool MuxerFile::needsGlobalHeader() const { return format_ && (format_->oformat->flags & AVFMT_GLOBALHEADER); }

OSErr MuxerFile::addStream(const AVCodecContext& encoder, int* streamIndex, Failure* failure) {
  AVStream* stream = avformat_new_stream(format_.get(), nullptr);
  if (!stream) return memFullErr;
  int result = avcodec_parameters_from_context(stream->codecpar, &encoder);
  if (result < 0) return fail(result, FailureCode::cannotAddStream, failure);
  stream->time_base = encoder.time_base;
  if (encoder.codec_type == AVMEDIA_TYPE_VIDEO) stream->avg_frame_rate = encoder.framerate;
  *streamIndex = stream->index;
  return noErr;
}

OSErr MuxerFile::writeHeader(Failure* failure) {
  FfmpegOptions options;
  // 3GPP2 handsets look for their brand whatever the video codec.
  if (const char* brand = OutputFormatOf(container_).brand) options.set("brand", brand);
  int result = avformat_write_header(format_.get(), options.get());
  if (result < 0) return fail(result, FailureCode::cannotWriteOutputMovie, failure);
  headerWritten_ = true;
  return noErr;
}

OSErr MuxerFile::writePacket(AVPacket* packet, AVRational encoderTimeBase, int streamIndex,
                             Failure* failure) {
  packet->stream_index = streamIndex;
  av_packet_rescale_ts(packet, encoderTimeBase, format_->streams[streamIndex]->time_base);
  int result = av_interleaved_write_frame(format_.get(), packet);
  // A failed write (a full disk) only shows on the I/O context; stop at once rather than at the end.
  if (result >= 0 && format_->pb->error < 0) result = format_->pb->error;
  if (result < 0) return fail(result, FailureCode::cannotWriteOutputMovie, failure);
  return noErr;
}

OSErr MuxerFile::finish(Failure* failure) {
  OSErr status = complete(failure);
  return status == noErr ? putInPlace(failure) : status;
}

bool MuxerFile::NeedsGlobalHeader(OutputContainer container) {
  const AVOutputFormat* format = av_guess_format(OutputFormatOf(container).muxer, nullptr, nullptr);
  return format && (format->flags & AVFMT_GLOBALHEADER);
}

OSErr MuxerFile::complete(Failure* failure) {
  int result = headerWritten_ ? av_write_trailer(format_.get()) : AVERROR(EINVAL);
  if (result >= 0) result = avio_closep(&format_->pb);
  if (result < 0) return fail(result, FailureCode::cannotCompleteOutputMovie, failure);
  int boxFailure = 0;
  if (container_ != OutputContainer::mp4) {
    for (unsigned i = 0; i < format_->nb_streams && boxFailure == 0; ++i) {
      const AVCodecParameters* stream = format_->streams[i]->codecpar;
      if (stream->codec_type == AVMEDIA_TYPE_VIDEO) boxFailure = AddColourBox(temporaryPath_, *stream);
    }
  }
  format_.reset();
  if (boxFailure != 0) {
    *failure = {FailureCode::cannotCompleteOutputMovie, {}, std::strerror(boxFailure)};
    return boxFailure == ENOSPC ? OSErr(dskFulErr) : OSErrFromErrno(boxFailure);
  }
  return noErr;
}

long long MuxerFile::completedBytes() const {
  struct stat info {};
  return ::stat(temporaryPath_.c_str(), &info) == 0 ? (long long)info.st_size : -1;
}

OSErr MuxerFile::putInPlace(Failure* failure) {
  // Durable before it replaces the old output, so a crash leaves one or the other.
  int fd = ::open(temporaryPath_.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0 || ::fsync(fd) != 0) {
    int err = errno;
    if (fd >= 0) ::close(fd);
    *failure = {FailureCode::cannotCompleteOutputMovie, {}, std::strerror(err)};
    return err == ENOSPC ? OSErr(dskFulErr) : OSErrFromErrno(err);
  }
  ::close(fd);
  if (std::rename(temporaryPath_.c_str(), outputPath_.c_str()) != 0) {
    int err = errno;
    *failure = {FailureCode::cannotPutOutputInPlace, {}, std::strerror(err)};
    return OSErrFromErrno(err);
  }
  temporaryPath_.clear();
  hiddenName_.reset();
  return noErr;
}
