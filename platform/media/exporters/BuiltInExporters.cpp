#include "platform/media/exporters/BuiltInExporters.h"

#include <memory>

#include "platform/media/exporters/MovieExporterComponent.h"

void RegisterBuiltInMovieExporters() {
  // Registering again replaces the same factories, so repeated calls are harmless.
  RegisterComponentFactory(MovieExportType, kQTFileTypeMP4,
                           [] { return std::make_unique<MovieExporterComponent>(ExporterKind::mpeg4); });
  RegisterComponentFactory(MovieExportType, kQTFileType3GPP,
                           [] { return std::make_unique<MovieExporterComponent>(ExporterKind::threeGPP); });
}
