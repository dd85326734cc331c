// Which YUV matrix a picture is read with. Players read an untagged picture by its size: BT.709
// from HD up, BT.601 below, and MPEG-4 Part 2 or H.263 pictures in a 3GPP file are untagged to
// them, so an HD movie shrunk to a phone's size keeps its look only if its values are converted
// to BT.601. Every output says which matrix it was written with.
#pragma once

#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
}

struct ColourDescription {
  AVColorSpace matrix = AVCOL_SPC_UNSPECIFIED;
  AVColorPrimaries primaries = AVCOL_PRI_UNSPECIFIED;
  AVColorTransferCharacteristic transfer = AVCOL_TRC_UNSPECIFIED;
};

// The source's colours as players read them: its own tags, else what its picture size implies.
ColourDescription SourceColours(const AVCodecParameters& stream);

// What an output of that size is written with: the source's matrix where the picture stream
// itself says which it is (H.264), which players honour, else the one its size implies; the
// source's primaries and transfer (which no player converts).
ColourDescription OutputColours(const ColourDescription& source, int width, int height, bool streamSaysMatrix);

// The scale filter's options that convert from one matrix to the other; empty when they agree.
std::string MatrixConversion(const ColourDescription& from, const ColourDescription& to);

// Tags the encoder's output (and through it the container) with the description, limited range.
void DescribeColours(const ColourDescription& colours, AVCodecContext* encoder);
