// A settings container as bytes and back, for building settings and looking at what a component
// was given or gives out. Header-only, so that the fuzz targets share it.
#pragma once

#include <cstring>
#include <vector>

#include "platform/memory/Memory.h"
#include "platform/movies/MovieExport.h"

namespace test_support {

using AtomImage = std::vector<UInt8>;

// The container's bytes; empty for none.
inline AtomImage ImageOf(QTAtomContainer container) {
  if (container == nullptr || *container == nullptr) return {};
  const UInt8* bytes = reinterpret_cast<const UInt8*>(*container);
  return AtomImage(bytes, bytes + GetHandleSize(container));
}

// A new container holding exactly these bytes, or null.
inline QTAtomContainer ContainerFrom(const AtomImage& image) {
  Handle handle = NewHandle(Size(image.size()));
  if (handle != nullptr && !image.empty()) std::memcpy(*handle, image.data(), image.size());
  return handle;
}

// The component's current settings; empty when it gives none.
inline AtomImage SettingsImage(MovieExportComponent exporter) {
  QTAtomContainer settings = nullptr;
  if (MovieExportGetSettingsAsAtomContainer(exporter, &settings) != noErr) return {};
  AtomImage image = ImageOf(settings);
  QTDisposeAtomContainer(settings);
  return image;
}

}  // namespace test_support
