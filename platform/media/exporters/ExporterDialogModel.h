// What an export component's settings dialog offers and which choices go together. The window
// itself only shows these choices and calls the edits; every edit keeps the settings usable.
// Picture size, frame rate, data rate and key frames are not among them: every conversion sets
// those from the main window, and the file format follows the chosen output format.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/media/exporters/ExporterSettings.h"

class ExporterDialogModel {
 public:
  ExporterDialogModel(ExporterKind kind, const ExporterSettings& settings);

  ExporterKind kind() const { return kind_; }
  const ExporterSettings& settings() const { return settings_; }

  // The choices on offer, given the choices made so far.
  std::vector<OSType> videoCodecs() const;
  static std::vector<std::pair<int, int>> h263Sizes();
  std::vector<OSType> soundCodecs() const;
  // For the chosen sound codec; empty while the sound is "the format's default" or none.
  std::vector<SInt32> soundBitRates() const;
  std::vector<SInt32> soundSampleRates() const;
  std::vector<SInt32> soundChannelCounts() const;

  // Edits. A choice that is not on offer returns false and changes nothing.
  bool chooseVideoCodec(OSType codecType);       // H.263 also moves the size to the nearest of its sizes
  void setStretch(bool stretch);
  bool chooseSoundCodec(OSType codec);  // AMR-NB brings 12.2 kbit/s, 8 kHz, mono
  bool setSoundBitRate(SInt32 bitsPerSecond);
  bool setSoundSampleRate(SInt32 hertz);
  bool setSoundChannels(SInt32 channels);

  // What the settings write: "3GPP2", "AMC", "3GPP" or "MPEG-4".
  std::string formatName() const;

 private:
  ExporterKind kind_;
  ExporterSettings settings_;
};
