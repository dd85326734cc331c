#include "platform/media/stages/ColourBox.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/ByteOrder.h"

namespace {

constexpr uint32_t kColourBoxSize = 19;  // size, 'colr', 'nclx', three 16-bit codes, range byte
constexpr size_t kVisualSampleEntryHeader = 86;
constexpr size_t kStsdHeader = 16;  // size, type, version and flags, entry count

struct Box {
  size_t at = 0;
  uint32_t size = 0;
  std::string type;
};

// The child boxes of [begin, end) in `data`; empty when one is malformed or 64-bit.
std::vector<Box> Children(const std::vector<uint8_t>& data, size_t begin, size_t end) {
  std::vector<Box> boxes;
  for (size_t at = begin; at + 8 <= end;) {
    uint32_t size = ReadU32(data.data() + at);
    if (size < 8 || at + size > end) return {};
    boxes.push_back({at, size, std::string(reinterpret_cast<const char*>(data.data() + at + 4), 4)});
    at += size;
  }
  return boxes;
}

const Box* Find(const std::vector<Box>& boxes, const char* type) {
  for (const Box& box : boxes) {
    if (box.type == type) return &box;
  }
  return nullptr;
}

bool ReadAt(int fd, size_t at, size_t length, std::vector<uint8_t>* data) {
  data->resize(length);
  return pread(fd, data->data(), length, off_t(at)) == ssize_t(length);
}

// The offsets of the boxes from the movie box down to the video sample entry, in `moov`.
std::vector<size_t> PathToVideoEntry(const std::vector<uint8_t>& moov) {
  for (const Box& trak : Children(moov, 8, moov.size())) {
    if (trak.type != "trak") continue;
    std::vector<size_t> path = {0, trak.at};
    const Box* box = &trak;
    std::vector<Box> level;
    for (const char* type : {"mdia", "minf", "stbl", "stsd"}) {
      level = Children(moov, box->at + 8, box->at + box->size);
      box = Find(level, type);
      if (!box) break;
      path.push_back(box->at);
    }
    if (!box || box->size < kStsdHeader + 8) continue;
    size_t entry = box->at + kStsdHeader;
    std::string format(reinterpret_cast<const char*>(moov.data() + entry + 4), 4);
    if (format != "mp4v" && format != "s263" && format != "avc1") continue;
    if (ReadU32(moov.data() + entry) < kVisualSampleEntryHeader) continue;
    path.push_back(entry);
    return path;
  }
  return {};
}

}  // namespace

int AddColourBox(const std::string& path, const AVCodecParameters& video) {
  if (video.color_primaries == AVCOL_PRI_UNSPECIFIED && video.color_trc == AVCOL_TRC_UNSPECIFIED &&
      video.color_space == AVCOL_SPC_UNSPECIFIED) {
    return 0;
  }
  int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) return errno;
  struct stat info {};
  int failure = 0;
  std::vector<uint8_t> header, moov;
  // The top-level boxes, to the last one, which must be the movie box.
  size_t at = 0, fileSize = fstat(fd, &info) == 0 ? size_t(info.st_size) : 0;
  while (at + 8 <= fileSize && ReadAt(fd, at, 8, &header)) {
    uint32_t size = ReadU32(header.data());
    if (size < 8 || at + size > fileSize) break;
    if (at + size == fileSize && std::memcmp(header.data() + 4, "moov", 4) == 0 && ReadAt(fd, at, size, &moov)) {
      std::vector<size_t> chain = PathToVideoEntry(moov);
      if (chain.empty()) break;
      std::vector<uint8_t> original = moov;
      size_t entry = chain.back();
      size_t entryEnd = entry + ReadU32(moov.data() + entry);
      uint8_t colr[kColourBoxSize] = {};
      WriteU32(colr, kColourBoxSize);
      std::memcpy(colr + 4, "colrnclx", 8);
      WriteU16(colr + 12, uint16_t(video.color_primaries));
      WriteU16(colr + 14, uint16_t(video.color_trc));
      WriteU16(colr + 16, uint16_t(video.color_space));
      colr[18] = video.color_range == AVCOL_RANGE_JPEG ? 0x80 : 0;
      moov.insert(moov.begin() + long(entryEnd), colr, colr + kColourBoxSize);
      for (size_t box : chain) WriteU32(moov.data() + box, ReadU32(moov.data() + box) + kColourBoxSize);
      if (pwrite(fd, moov.data(), moov.size(), off_t(at)) != ssize_t(moov.size())) {
        // Out of room for 19 bytes: the movie box goes back as it was, in the room it had.
        failure = errno ? errno : EIO;
        bool restored = pwrite(fd, original.data(), original.size(), off_t(at)) == ssize_t(original.size()) &&
                        ftruncate(fd, off_t(fileSize)) == 0;
        if (restored) failure = 0;
      }
      break;
    }
    at += size;
  }
  if (::close(fd) != 0 && failure == 0) failure = errno;
  return failure;
}
