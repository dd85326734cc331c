// The movie formats this program writes, one row each. The output-format menu, --format, the
// outputs' names, the export components, the muxer, the folder search and the hidden files' names
// all read this table, so that a format is added or changed here and nowhere else.
#pragma once

#include <cctype>
#include <string_view>

#include "platform/MacTypes.h"

enum class OutputContainer { mp4, threeGPP, threeGPP2, amc };

struct OutputFormat {
  OutputContainer container;
  long tag;                  // the output-format menu's item tag
  const char* name;          // the value of --format
  const char* extension;     // appended to the source's name: clip.mov becomes clip.mov.3gp
  const char* title;         // what the menu and the settings dialog call it
  OSType exporter;           // the export component's subtype: 'mpg4' or '3gpp'
  OSType fileFormat;         // the '3gpp' component's file-format setting; 0 for the 'mpg4' one
  const char* muxer;         // FFmpeg's writer of the container
  const char* brand;         // the major brand handsets look for; nullptr: the muxer's own
  OSType videoCodec;         // the component's video codec unless its settings say otherwise
  OSType soundCodec;         // what "the format's default" sound codec stands for
  bool mono;                 // phones of the 3GPP family get mono sound by default
  const char* settingsFile;  // keeps the format's own exporter settings; nullptr: none
  int mostKilobytesPerSecond;  // choosing the format lowers the data rate to this; 0: no cap
  const char* mimeType;
  const char* dataRateKey;   // the preference that keeps the data rate last used with the format
};

// AMC is 3GPP2 with the '3g2a' brand, which is how desktops recognise its content.
inline constexpr OutputFormat kOutputFormats[] = {
    {OutputContainer::mp4, 0, "mp4", ".mp4", "MPEG-4", FOUR_CHAR_CODE("mpg4"), 0, "mp4", nullptr,
     FOUR_CHAR_CODE("avc1"), FOUR_CHAR_CODE("mp4a"), false, nullptr, 0, "video/mp4", "DataRateMP4"},
    {OutputContainer::threeGPP, 1, "3gp", ".3gp", "3GPP", FOUR_CHAR_CODE("3gpp"), FOUR_CHAR_CODE("3gp "), "3gp",
     nullptr, FOUR_CHAR_CODE("mp4v"), FOUR_CHAR_CODE("samr"), true, nullptr, 0, "video/3gpp", "DataRate3GPP"},
    {OutputContainer::threeGPP2, 2, "3g2", ".3g2", "3GPP2", FOUR_CHAR_CODE("3gpp"), FOUR_CHAR_CODE("3g2 "), "3g2",
     "3g2a", FOUR_CHAR_CODE("mp4v"), FOUR_CHAR_CODE("mp4a"), true, "setting3gpp2.atom", 8, "video/3gpp2", "DataRate3GPP2"},
    {OutputContainer::amc, 3, "amc", ".amc", "AMC", FOUR_CHAR_CODE("3gpp"), FOUR_CHAR_CODE("amc "), "3g2", "3g2a",
     FOUR_CHAR_CODE("mp4v"), FOUR_CHAR_CODE("mp4a"), true, "settingAmc.atom", 4, "video/3gpp2", "DataRateAMC"},
};

// A tag no item carries reads as the first format, as a menu without a choice does.
constexpr const OutputFormat& OutputFormatOfTag(long tag) {
  for (const OutputFormat& format : kOutputFormats) {
    if (format.tag == tag) return format;
  }
  return kOutputFormats[0];
}

constexpr const OutputFormat& OutputFormatOf(OutputContainer container) {
  for (const OutputFormat& format : kOutputFormats) {
    if (format.container == container) return format;
  }
  return kOutputFormats[0];
}

// The first format an export component writes: the one it starts from.
constexpr const OutputFormat& FirstOutputFormatOf(OSType exporter) {
  for (const OutputFormat& format : kOutputFormats) {
    if (format.exporter == exporter) return format;
  }
  return kOutputFormats[0];
}

// The format --format names; nullptr for none.
constexpr const OutputFormat* OutputFormatNamed(std::string_view name) {
  for (const OutputFormat& format : kOutputFormats) {
    if (name == format.name) return &format;
  }
  return nullptr;
}

// The format whose extension a name ends in, whatever its case ("CLIP.MOV.3GP"); nullptr for none.
inline const OutputFormat* OutputFormatOfName(std::string_view fileName) {
  for (const OutputFormat& format : kOutputFormats) {
    const std::string_view extension = format.extension;
    if (fileName.size() < extension.size()) continue;
    const std::string_view end = fileName.substr(fileName.size() - extension.size());
    bool same = true;
    for (size_t i = 0; i < end.size() && same; ++i) {
      same = std::tolower(static_cast<unsigned char>(end[i])) == extension[i];
    }
    if (same) return &format;
  }
  return nullptr;
}
