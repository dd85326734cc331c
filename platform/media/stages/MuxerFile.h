// The output movie file: written under a short hidden temporary name beside the output and renamed
// over it only once complete, so the output is never half-written.
#pragma once

#include <string>

#include "platform/Failure.h"
#include "platform/MacTypes.h"
#include "platform/media/stages/ExportJob.h"
#include "platform/media/stages/FfmpegPointers.h"

class MuxerFile {
 public:
  MuxerFile() = default;
  ~MuxerFile();  // removes the temporary file unless finish() succeeded
  MuxerFile(const MuxerFile&) = delete;
  MuxerFile& operator=(const MuxerFile&) = delete;

  OSErr open(const std::string& outputPath, OutputContainer container, Failure* failure);
  bool needsGlobalHeader() const;
  // A stream for an opened encoder; its index in *streamIndex.
  OSErr addStream(const AVCodecContext& encoder, int* streamIndex, Failure* failure);
  OSErr writeHeader(Failure* failure);
  // Takes the packet's data; timestamps in the encoder's time base.
  OSErr writePacket(AVPacket* packet, AVRational encoderTimeBase, int streamIndex, Failure* failure);
  // Completes the file, makes it durable and puts it in the output's place.
  OSErr finish(Failure* failure);
  // finish() in two steps, for a caller that looks at the complete file's size before it is kept.
  OSErr complete(Failure* failure);
  long long completedBytes() const;
  OSErr putInPlace(Failure* failure);
  // Whether the container's streams take their codec headers out of band.
  static bool NeedsGlobalHeader(OutputContainer container);
  // Whether a non-empty file was at the output path when the file was opened.
  bool replacesEarlierOutput() const { return replacesEarlierOutput_; }

 private:
  OSErr fail(int averror, FailureCode what, Failure* failure);

  OutputContainer container_ = OutputContainer::mp4;
  std::string outputPath_;
  std::string temporaryPath_;
  OutputFormatPtr format_;
  bool headerWritten_ = false;
  bool replacesEarlierOutput_ = false;
};
