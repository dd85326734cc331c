#include "platform/media/stages/ColourMatrix.h"

extern "C" {
#include <libavutil/pixdesc.h>
}

namespace {

bool IsHD(int width, int height) { return width >= 1280 || height >= 720; }

// The scale filter's name for a matrix; null for those it cannot convert.
const char* ScaleMatrixName(AVColorSpace matrix) {
  switch (matrix) {
    case AVCOL_SPC_BT709:
      return "bt709";
    case AVCOL_SPC_BT470BG:
    case AVCOL_SPC_SMPTE170M:
      return "bt601";
    case AVCOL_SPC_FCC:
      return "fcc";
    case AVCOL_SPC_SMPTE240M:
      return "smpte240m";
    case AVCOL_SPC_BT2020_NCL:
    case AVCOL_SPC_BT2020_CL:
      return "bt2020";
    default:
      return nullptr;
  }
}

ColourDescription ImpliedBySize(int width, int height) {
  if (IsHD(width, height)) return {AVCOL_SPC_BT709, AVCOL_PRI_BT709, AVCOL_TRC_BT709};
  return {AVCOL_SPC_SMPTE170M, AVCOL_PRI_SMPTE170M, AVCOL_TRC_SMPTE170M};
}

}  // namespace

ColourDescription SourceColours(const AVCodecParameters& stream) {
  ColourDescription colours = ImpliedBySize(stream.width, stream.height);
  if (ScaleMatrixName(stream.color_space)) colours.matrix = stream.color_space;
  // RGB pictures (screen recordings, animations) become YUV by the scaler's own matrix, BT.601.
  const AVPixFmtDescriptor* format = av_pix_fmt_desc_get(AVPixelFormat(stream.format));
  if (format && (format->flags & AV_PIX_FMT_FLAG_RGB)) colours.matrix = AVCOL_SPC_SMPTE170M;
  if (stream.color_primaries != AVCOL_PRI_UNSPECIFIED && stream.color_primaries != AVCOL_PRI_RESERVED0 &&
      stream.color_primaries != AVCOL_PRI_RESERVED) {
    colours.primaries = stream.color_primaries;
  }
  if (stream.color_trc != AVCOL_TRC_UNSPECIFIED && stream.color_trc != AVCOL_TRC_RESERVED0 &&
      stream.color_trc != AVCOL_TRC_RESERVED) {
    colours.transfer = stream.color_trc;
  }
  return colours;
}

ColourDescription OutputColours(const ColourDescription& source, int width, int height, bool streamSaysMatrix) {
  ColourDescription colours = source;
  if (!streamSaysMatrix) colours.matrix = ImpliedBySize(width, height).matrix;
  return colours;
}

std::string MatrixConversion(const ColourDescription& from, const ColourDescription& to) {
  const char* in = ScaleMatrixName(from.matrix);
  const char* out = ScaleMatrixName(to.matrix);
  if (!in || !out || std::string(in) == out) return {};
  return std::string("in_color_matrix=") + in + ":out_color_matrix=" + out;
}

void DescribeColours(const ColourDescription& colours, AVCodecContext* encoder) {
  encoder->colorspace = colours.matrix;
  encoder->color_primaries = colours.primaries;
  encoder->color_trc = colours.transfer;
  encoder->color_range = AVCOL_RANGE_MPEG;
}
