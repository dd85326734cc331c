// The output movie file: written under a short hidden temporary name beside the output and renamed
// over it only once complete, so the output is never half-written.
#pragma once

#include <memory>
#include <string>

#include "platform/Failure.h"
#include "platform/MacTypes.h"
#include "platform/files/HiddenFiles.h"
#include "platform/media/stages/ExportJob.h"
#include "platform/media/stages/FfmpegPointers.h"

class MuxerFile {
 public:
  MuxerFile() = default;
  ~MuxerFile();  // removes the hidden file unless finish() succeeded
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
  // Why a hidden file beside the output could not be made in `folder`, after what the user can change.
  static Failure HiddenFileFailure(int err, const std::string& folder);
  // Whether the container's streams take their codec headers out of band.
  static bool NeedsGlobalHeader(OutputContainer container);
  // Whether a non-empty file was at the output path when the file was opened.
  bool replacesEarlierOutput() const { return replacesEarlierOutput_; }

 private:
  OSErr fail(int averror, FailureCode what, Failure* failure);

  OutputContainer container_ = OutputContainer::mp4;
  std::string outputPath_;
  std::unique_ptr<hidden_files::HiddenName> hiddenName_;  // goes after the file is closed, with it
  std::string temporaryPath_;
  OutputFormatPtr format_;
  bool headerWritten_ = false;
  bool replacesEarlierOutput_ = false;
};
