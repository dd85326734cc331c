// What an export component's settings dialog offers and which choices go together. The window
// itself only shows these choices and calls the edits; every edit keeps the settings usable.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/media/ExporterSettings.h"

class ExporterDialogModel {
 public:
  ExporterDialogModel(ExporterKind kind, const ExporterSettings& settings);

  ExporterKind kind() const { return kind_; }
  const ExporterSettings& settings() const { return settings_; }

  // The choices on offer, given the choices made so far.
  std::vector<OSType> fileFormats() const;  // empty for the MPEG-4 component
  std::vector<OSType> videoCodecs() const;
  static std::vector<std::pair<int, int>> h263Sizes();
  std::vector<OSType> soundCodecs() const;
  // For the chosen sound codec; empty while the sound is "the format's default" or none.
  std::vector<SInt32> soundBitRates() const;
  std::vector<SInt32> soundSampleRates() const;
  std::vector<SInt32> soundChannelCounts() const;

  // Edits. A choice that is not on offer returns false and changes nothing.
  bool chooseFileFormat(OSType fileFormat);
  bool chooseVideoCodec(OSType codecType);       // H.263 also moves the size to the nearest of its sizes
  bool setPictureSize(int width, int height);    // 16..4096, made even; H.263 takes only its sizes
  void setFrameRate(double framesPerSecond);     // 0: the source's rate
  void setKeyFrameInterval(int frames);          // 0: the component chooses
  void setVideoDataRate(SInt32 bytesPerSecond);  // 0: the codec's quality default
  void setStretch(bool stretch);
  bool chooseSoundCodec(OSType codec);  // AMR-NB brings 12.2 kbit/s, 8 kHz, mono
  bool setSoundBitRate(SInt32 bitsPerSecond);
  bool setSoundSampleRate(SInt32 hertz);
  bool setSoundChannels(SInt32 channels);

  // The container an output file of that name becomes, and a line saying so for the window.
  OutputContainer containerFor(std::string_view outputPath) const;
  std::string containerDescription() const;

 private:
  ExporterKind kind_;
  ExporterSettings settings_;
};
