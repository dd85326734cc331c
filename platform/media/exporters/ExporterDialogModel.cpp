#include "platform/media/exporters/ExporterDialogModel.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/media/exporters/MovieExporterJob.h"
#include "platform/media/stages/AmrNbModes.h"
#include "platform/movies/FixMath.h"

namespace {

template <typename T>
bool Contains(const std::vector<T>& values, T value) {
  return std::find(values.begin(), values.end(), value) != values.end();
}

int Pixels(Fixed side) { return int(std::lround(Fix2X(side))); }

}  // namespace

ExporterDialogModel::ExporterDialogModel(ExporterKind kind, const ExporterSettings& settings)
    : kind_(kind), settings_(settings) {}

std::vector<OSType> ExporterDialogModel::videoCodecs() const {
  std::vector<OSType> codecs{kMPEG4VisualCodecType, kH264CodecType};
  if (ExporterOffersVideoCodec(kind_, kH263CodecType)) codecs.insert(codecs.begin() + 1, kH263CodecType);
  return codecs;
}

std::vector<std::pair<int, int>> ExporterDialogModel::h263Sizes() {
  return {kH263Sizes.begin(), kH263Sizes.end()};
}

std::vector<OSType> ExporterDialogModel::soundCodecs() const {
  std::vector<OSType> codecs{kSoundCodecFormatDefault, kAACCodecType, kSoundCodecNone};
  if (ExporterOffersSoundCodec(kind_, kAMRNBCodecType)) codecs.insert(codecs.begin() + 2, kAMRNBCodecType);
  return codecs;
}

std::vector<SInt32> ExporterDialogModel::soundBitRates() const {
  if (settings_.sound.codec == kAMRNBCodecType) {
    std::vector<SInt32> rates;
    for (const AmrNbMode& mode : kAmrNbModes) rates.push_back(SInt32(mode.bitRate));
    return rates;
  }
  if (settings_.sound.codec == kAACCodecType) return {16000, 24000, 32000, 48000, 64000, 96000, 128000};
  return {};
}

std::vector<SInt32> ExporterDialogModel::soundSampleRates() const {
  if (settings_.sound.codec == kAMRNBCodecType) return {8000};
  if (settings_.sound.codec == kAACCodecType) return {8000, 11025, 16000, 22050, 24000, 32000, 44100, 48000};
  return {};
}

std::vector<SInt32> ExporterDialogModel::soundChannelCounts() const {
  if (settings_.sound.codec == kAMRNBCodecType) return {1};
  if (settings_.sound.codec == kAACCodecType) return {1, 2};
  return {};
}

bool ExporterDialogModel::chooseVideoCodec(OSType codecType) {
  if (!Contains(videoCodecs(), codecType)) return false;
  settings_.spatial.codecType = codecType;
  if (codecType == kH263CodecType && !IsStandardH263Size(Pixels(settings_.width), Pixels(settings_.height))) {
    // The nearest by area keeps the picture about as detailed as asked.
    long area = long(Pixels(settings_.width)) * Pixels(settings_.height);
    auto sizes = h263Sizes();
    auto nearest = std::min_element(sizes.begin(), sizes.end(), [&](auto a, auto b) {
      return std::labs(long(a.first) * a.second - area) < std::labs(long(b.first) * b.second - area);
    });
    settings_.width = nearest->first << 16;
    settings_.height = nearest->second << 16;
  }
  return true;
}

void ExporterDialogModel::setStretch(bool stretch) { settings_.fit = stretch ? kFitStretch : kFitKeepShape; }

bool ExporterDialogModel::chooseSoundCodec(OSType codec) {
  if (!Contains(soundCodecs(), codec)) return false;
  settings_.sound.codec = codec;
  if (codec == kAMRNBCodecType) {
    settings_.sound.bitRate = SInt32(kAmrNbModes.back().bitRate);
    settings_.sound.sampleRate = 8000;
    settings_.sound.channels = 1;
  } else if (codec == kAACCodecType) {
    bool mono = kind_ == ExporterKind::threeGPP;
    settings_.sound.bitRate = mono ? 32000 : 96000;
    settings_.sound.sampleRate = mono ? 22050 : 44100;
    settings_.sound.channels = mono ? 1 : 2;
  } else {
    settings_.sound.bitRate = settings_.sound.sampleRate = settings_.sound.channels = 0;
  }
  return true;
}

bool ExporterDialogModel::setSoundBitRate(SInt32 bitsPerSecond) {
  if (!Contains(soundBitRates(), bitsPerSecond)) return false;
  settings_.sound.bitRate = bitsPerSecond;
  return true;
}

bool ExporterDialogModel::setSoundSampleRate(SInt32 hertz) {
  if (!Contains(soundSampleRates(), hertz)) return false;
  settings_.sound.sampleRate = hertz;
  return true;
}

bool ExporterDialogModel::setSoundChannels(SInt32 channels) {
  if (!Contains(soundChannelCounts(), channels)) return false;
  settings_.sound.channels = channels;
  return true;
}

std::string ExporterDialogModel::formatName() const {
  return OutputFormatOf(OutputContainerFor(kind_, settings_.fileFormat, "")).title;
}
