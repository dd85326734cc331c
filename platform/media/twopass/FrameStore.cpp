#include "platform/media/twopass/FrameStore.h"

#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/imgutils.h>
#include <libavutil/samplefmt.h>
}

#include "platform/files/Files.h"
#include "platform/files/HiddenFiles.h"

namespace {

// What is needed to make the frame again; the data follows it packed, plane after plane.
struct RecordHeader {
  std::int32_t lane;
  std::int32_t format;
  std::int64_t pts;
  std::int32_t width;  // 0 for sound
  std::int32_t height;
  std::int32_t samples;  // 0 for a picture
  std::int32_t channels;
  std::int32_t sampleRate;
  std::uint32_t dataSize;
};

constexpr std::size_t kFileBuffer = 256 << 10;

bool IsPicture(const AVFrame& frame) { return frame.width > 0 && frame.nb_samples == 0; }

int PackedSize(const RecordHeader& header) {
  if (header.width > 0) return av_image_get_buffer_size(AVPixelFormat(header.format), header.width, header.height, 1);
  return av_samples_get_buffer_size(nullptr, header.channels, header.samples, AVSampleFormat(header.format), 1);
}

// Said in what the user can change where there is something: the folder, or the room on its disk.
Failure FramesFailure(int err, const std::string& folder) {
  switch (err) {
    case EACCES:
    case EPERM:
    case EROFS:
      return {FailureCode::framesFolderNotWritable, folder};
    case ENOSPC:
    case EDQUOT:
      return {FailureCode::theDiskIsFull};
    default:
      return {FailureCode::cannotKeepFrames, {}, std::strerror(err)};
  }
}

// A nameless file in the folder of `besideFile`, gone with the store however the run ends.
std::FILE* OpenUnnamedFileBeside(const std::string& besideFile, Failure* failure) {
  const std::string folder = hidden_files::FolderOf(besideFile);
  const int fd = hidden_files::OpenNamelessFileIn(folder);
  std::FILE* file = fd < 0 ? nullptr : ::fdopen(fd, "w+b");
  if (file) {
    std::setvbuf(file, nullptr, _IOFBF, kFileBuffer);
    return file;
  }
  const int err = errno;
  if (fd >= 0) ::close(fd);
  *failure = FramesFailure(err, folder);
  return nullptr;
}

}  // namespace

bool FrameStore::RoomBeside(const std::string& besideFile, double bytes) {
  struct statvfs volume {};
  if (::statvfs(hidden_files::FolderOf(besideFile).c_str(), &volume) != 0) return true;  // the export will say what is wrong
  return double(volume.f_bavail) * double(volume.f_frsize) > bytes;
}

FrameStore::FrameStore(std::string besideFile, std::size_t memoryBound)
    : besideFile_(std::move(besideFile)), memoryBound_(memoryBound) {}

FrameStore::~FrameStore() {
  if (file_) std::fclose(file_);
}

OSErr FrameStore::put(const void* data, std::size_t size, Failure* failure) {
  if (!file_ && memory_.size() + size > memoryBound_) {
    file_ = OpenUnnamedFileBeside(besideFile_, failure);
    if (!file_) return ioErr;
  }
  if (!file_) {
    auto bytes = static_cast<const std::uint8_t*>(data);
    memory_.insert(memory_.end(), bytes, bytes + size);
    return noErr;
  }
  if (std::fwrite(data, 1, size, file_) != size) {
    int err = errno;
    *failure = FramesFailure(err, hidden_files::FolderOf(besideFile_));
    return err == ENOSPC ? OSErr(dskFulErr) : OSErrFromErrno(err);
  }
  return noErr;
}

OSErr FrameStore::add(const AVFrame& frame, int lane, Failure* failure) {
  if (reading_) return paramErr;
  RecordHeader header{};
  header.lane = lane;
  header.format = frame.format;
  header.pts = frame.pts;
  if (IsPicture(frame)) {
    header.width = frame.width;
    header.height = frame.height;
  } else {
    header.samples = frame.nb_samples;
    header.channels = frame.ch_layout.nb_channels;
    header.sampleRate = frame.sample_rate;
  }
  int size = PackedSize(header);
  if (size < 0) {
    *failure = {FailureCode::cannotKeepFrameKind};
    return paramErr;
  }
  header.dataSize = std::uint32_t(size);
  scratch_.resize(std::size_t(size));
  int copied = 0;
  if (header.width > 0) {
    copied = av_image_copy_to_buffer(scratch_.data(), size, frame.data, frame.linesize, AVPixelFormat(frame.format),
                                     frame.width, frame.height, 1);
  } else {
    uint8_t* planes[AV_NUM_DATA_POINTERS] = {};
    int linesize = 0;
    copied = av_samples_fill_arrays(planes, &linesize, scratch_.data(), header.channels, header.samples,
                                    AVSampleFormat(header.format), 1);
    if (copied >= 0) {
      av_samples_copy(planes, frame.extended_data, 0, 0, header.samples, header.channels,
                      AVSampleFormat(header.format));
    }
  }
  if (copied < 0) {
    *failure = {FailureCode::cannotKeepFrameKind};
    return paramErr;
  }
  OSErr status = put(&header, sizeof header, failure);
  if (status == noErr) status = put(scratch_.data(), scratch_.size(), failure);
  if (status != noErr) return status;
  ++frames_;
  bytes_ += sizeof header + scratch_.size();
  return noErr;
}

OSErr FrameStore::rewind(Failure* failure) {
  reading_ = true;
  memoryRead_ = 0;
  if (file_ && (std::fflush(file_) != 0 || std::fseek(file_, 0, SEEK_SET) != 0)) {
    int err = errno;
    *failure = {FailureCode::cannotReadKeptFrames, {}, std::string(std::strerror(err))};
    return err == ENOSPC ? OSErr(dskFulErr) : OSErrFromErrno(err);
  }
  return noErr;
}

bool FrameStore::get(void* data, std::size_t size) {
  auto bytes = static_cast<std::uint8_t*>(data);
  std::size_t fromMemory = std::min(size, memory_.size() - memoryRead_);
  std::memcpy(bytes, memory_.data() + memoryRead_, fromMemory);
  memoryRead_ += fromMemory;
  if (fromMemory == size) return true;
  return file_ && std::fread(bytes + fromMemory, 1, size - fromMemory, file_) == size - fromMemory;
}

FrameStoreRead FrameStore::next(FramePtr* frame, int* lane, Failure* failure) {
  if (!reading_) {
    *failure = {FailureCode::cannotReadKeptFrames};  // not before they have all been added
    return FrameStoreRead::failed;
  }
  RecordHeader header{};
  if (!get(&header, sizeof header)) {
    if (!file_ || !std::ferror(file_)) return FrameStoreRead::end;
    *failure = {FailureCode::cannotReadKeptFrames};
    return FrameStoreRead::failed;
  }
  FramePtr made = MakeFrame();
  if (!made) {
    *failure = {FailureCode::outOfMemory};
    return FrameStoreRead::failed;
  }
  made->format = header.format;
  if (header.width > 0) {
    made->width = header.width;
    made->height = header.height;
  } else {
    made->nb_samples = header.samples;
    made->sample_rate = header.sampleRate;
    av_channel_layout_default(&made->ch_layout, header.channels);
  }
  if (av_frame_get_buffer(made.get(), 0) < 0 || PackedSize(header) != int(header.dataSize)) {
    *failure = {FailureCode::outOfMemory};
    return FrameStoreRead::failed;
  }
  scratch_.resize(header.dataSize);
  if (!get(scratch_.data(), scratch_.size())) {
    *failure = {FailureCode::cannotReadKeptFrames};
    return FrameStoreRead::failed;
  }
  if (header.width > 0) {
    uint8_t* planes[4] = {};
    int linesizes[4] = {};
    av_image_fill_arrays(planes, linesizes, scratch_.data(), AVPixelFormat(header.format), header.width,
                         header.height, 1);
    av_image_copy(made->data, made->linesize, const_cast<const uint8_t**>(planes), linesizes,
                  AVPixelFormat(header.format), header.width, header.height);
  } else {
    uint8_t* planes[AV_NUM_DATA_POINTERS] = {};
    int linesize = 0;
    av_samples_fill_arrays(planes, &linesize, scratch_.data(), header.channels, header.samples,
                           AVSampleFormat(header.format), 1);
    av_samples_copy(made->extended_data, planes, 0, 0, header.samples, header.channels,
                    AVSampleFormat(header.format));
  }
  made->pts = header.pts;
  *lane = header.lane;
  *frame = std::move(made);
  return FrameStoreRead::frame;
}
