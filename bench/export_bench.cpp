// Converts one movie with this program's export components, for bench/run.sh to time:
//   export_bench mp4|3gp SOURCE OUTPUT WIDTH HEIGHT FPS BYTES_PER_SECOND [stretch] [onepass] [inprocess]
//                [fit=BYTES]
// FPS 0 keeps the source's rate; onepass encodes as the frames come, as before frames were kept
// for a second pass; inprocess runs the export in this process rather than in a worker (forked
// by a launcher, as in the program), as before each conversion had one, and onepass does too; fit limits the whole file. Prints "estimate BYTES", what the component expects to write,
// before it exports. Exit status 0 when the output was completely written.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/files/Files.h"
#include "platform/media/exporters/ExportWorker.h"
#include "platform/media/exporters/ExporterSettings.h"
#include "platform/media/exporters/MovieExporterJob.h"
#include "platform/media/pipeline/ExportPipeline.h"
#include "platform/media/stages/ExportJob.h"
#include "platform/media/stages/MovieRecord.h"
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
  // The worker comes from a launcher forked first, as in the program.
  bool inWorker = true;
  for (int i = 8; i < argc; ++i) inWorker = inWorker && std::strcmp(argv[i], "inprocess") && std::strcmp(argv[i], "onepass");
  if (inWorker) StartExportWorkerLauncher();
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
  bool onePass = false, inProcess = false;
  for (int i = 8; i < argc; ++i) {
    const std::string option = argv[i];
    if (option == "stretch") settings.fit = kFitStretch;
    if (option == "onepass") onePass = true;
    if (option == "inprocess") inProcess = true;
    if (option.rfind("fit=", 0) == 0) settings.fileSizeLimit = std::atoi(option.c_str() + 4);
  }
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

  double estimate = 0;
  if (MovieExportEstimateBytes(exporter, movie, double(GetMovieDuration(movie)) / GetMovieTimeScale(movie), &estimate) ==
      noErr) {
    std::printf("estimate %.0f\n", estimate);
    std::fflush(stdout);
  }

  Failure failure;
  if (onePass || inProcess) {
    // The component's own job, run here, without keeping frames for onepass.
    ExportJob job = ResolveExportJob(settings, kind, movie->sourcePath, argv[3], 0,
                                     double(GetMovieDuration(movie)) / GetMovieTimeScale(movie));
    job.onePass = onePass;
    status = RunExportJob(job, nullptr, &failure);
  } else {
    status = MovieExportToFile(exporter, &output, movie, nullptr, 0, GetMovieDuration(movie));
    failure = LastMovieExportReport().failure;
  }
  DisposeMovie(movie);
  CloseMovieFile(movieFile);
  CloseComponent(exporter);
  ExitMovies();
  if (status != noErr) return Fail(("failure " + std::to_string(int(failure.code)) + " " + failure.detail).c_str(), status);
  return 0;
}
