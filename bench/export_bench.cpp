// Converts one movie with this program's export components, for bench/run.sh to time:
//   export_bench mp4|3gp SOURCE OUTPUT WIDTH HEIGHT FPS BYTES_PER_SECOND [stretch]
// FPS 0 keeps the source's rate. Exit status 0 when the output was completely written.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/files/Files.h"
#include "platform/media/ExporterSettings.h"
#include "platform/movies/FixMath.h"
#include "platform/movies/MovieExport.h"
#include "platform/movies/Movies.h"

namespace {

int Fail(const char* what, long status) {
  std::fprintf(stderr, "export_bench: %s (%ld)\n", what, status);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 8) {
    std::fprintf(stderr, "usage: export_bench mp4|3gp SOURCE OUTPUT WIDTH HEIGHT FPS BYTES_PER_SECOND [stretch]\n");
    return 2;
  }
  const std::string format = argv[1];
  const bool mp4 = format == "mp4";
  const ExporterKind kind = mp4 ? ExporterKind::mpeg4 : ExporterKind::threeGPP;

  if (OSErr err = EnterMovies(); err != noErr) return Fail("EnterMovies", err);
  ComponentInstance exporter = OpenDefaultComponent(MovieExportType, mp4 ? kQTFileTypeMP4 : kQTFileType3GPP);
  if (exporter == nullptr) return Fail("no export component", 0);

  QTAtomContainer container = nullptr;
  ComponentResult status = MovieExportGetSettingsAsAtomContainer(exporter, &container);
  ExporterSettings settings = DefaultExporterSettings(kind);
  if (status == noErr) status = ReadExporterSettings(container, kind, &settings);
  QTDisposeAtomContainer(container);
  container = nullptr;
  settings.width = X2Fix(std::atof(argv[4]));
  settings.height = X2Fix(std::atof(argv[5]));
  settings.temporal.frameRate = X2Fix(std::atof(argv[6]));
  settings.dataRate.dataRate = std::atoi(argv[7]);
  if (argc > 8 && std::string(argv[8]) == "stretch") settings.fit = kFitStretch;
  if (status == noErr) status = ExporterSettingsToAtomContainer(settings, kind, &container);
  if (status == noErr) status = MovieExportSetSettingsFromAtomContainer(exporter, container);
  QTDisposeAtomContainer(container);
  if (status != noErr) return Fail("settings refused", status);

  FSSpec source{}, output{};
  if (OSErr err = FSMakeFSSpecFromPath(argv[2], &source); err != noErr) return Fail("source", err);
  if (OSErr err = FSMakeFSSpecFromPath(argv[3], &output); err != noErr) return Fail("output", err);
  SInt16 movieFile = 0;
  Movie movie = nullptr;
  if (OSErr err = OpenMovieFile(&source, &movieFile, fsRdPerm); err != noErr) return Fail("OpenMovieFile", err);
  if (OSErr err = NewMovieFromFile(&movie, movieFile, nullptr, nullptr, newMovieActive, nullptr); err != noErr)
    return Fail("NewMovieFromFile", err);

  status = MovieExportToFile(exporter, &output, movie, nullptr, 0, GetMovieDuration(movie));
  DisposeMovie(movie);
  CloseMovieFile(movieFile);
  CloseComponent(exporter);
  ExitMovies();
  if (status != noErr) return Fail(LastMovieExportReport().failureReason.c_str(), status);
  return 0;
}
