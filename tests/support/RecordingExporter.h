// A movie export component for tests: it keeps a settings container, records every call it
// receives and can be told to fail a call, so a test can check the calls the code under test makes.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/MacTypes.h"
#include "platform/movies/MovieExport.h"

namespace test_support {

constexpr OSType kRecordingExporterSubType = FOUR_CHAR_CODE("test");

using AtomImage = std::vector<UInt8>;

// Call names as recorded.
inline const std::string kGetSettingsCall = "GetSettingsAsAtomContainer";
inline const std::string kSetSettingsCall = "SetSettingsFromAtomContainer";
inline const std::string kDoUserDialogCall = "DoUserDialog";
inline const std::string kSetProgressProcCall = "SetProgressProc";
inline const std::string kToFileCall = "ToFile";

struct RecordedCall {
  std::string name;
  AtomImage settings{};                     // SetSettings: the bytes of the container handed in
  MovieProgressUPP progressProc = nullptr;  // SetProgressProc
  long refcon = 0;
  Movie movie = nullptr;  // DoUserDialog, ToFile
  Track track = nullptr;
  TimeValue startTime = 0;
  TimeValue duration = 0;
  std::optional<FSSpec> file{};  // ToFile
};

// What the exporter holds and does; shared between the test and every instance opened from it.
struct RecordingExporterState {
  AtomImage settings;         // the current settings, as a container image
  bool validateOnSet = true;  // refuse a malformed container as a real component does
  std::vector<RecordedCall> calls;
  std::map<std::string, ComponentResult> failures;  // a call named here returns this and does nothing
  bool getGivesNoContainer = false;                 // GetSettings returns its status without a container
  bool failedGetGivesContainer = false;             // a failing GetSettings still hands out a container
  bool dialogCancels = false;
  std::optional<AtomImage> dialogSettings;              // what the user picks in the dialog, if anything
  std::function<void(const RecordedCall&)> duringCall;  // runs inside each call, after recording

  // The recorded call names, in order.
  std::vector<std::string> callNames() const;
  size_t count(const std::string& name) const;
};

class RecordingExporter : public MovieExporter {
 public:
  explicit RecordingExporter(std::shared_ptr<RecordingExporterState> state) : state_(std::move(state)) {}
  ComponentResult getSettingsAsAtomContainer(QTAtomContainer* settings) override;
  ComponentResult setSettingsFromAtomContainer(QTAtomContainer settings) override;
  ComponentResult doUserDialog(Movie theMovie, Track onlyThisTrack, TimeValue startTime, TimeValue duration,
                               Boolean* canceled) override;
  ComponentResult setProgressProc(MovieProgressUPP proc, long refcon) override;
  ComponentResult toFile(const FSSpec* theFile, Movie theMovie, Track onlyThisTrack, TimeValue startTime,
                         TimeValue duration) override;

 private:
  // Records the call; returns the injected failure for it, if any.
  std::optional<ComponentResult> record(RecordedCall call);
  std::shared_ptr<RecordingExporterState> state_;
};

// Instances of 'spit'/'test' opened after this share `state`.
void RegisterRecordingExporter(std::shared_ptr<RecordingExporterState> state);
void UnregisterRecordingExporter();

// Registers an exporter over `initialSettings` and opens one instance; closes and unregisters on
// destruction.
class ScopedRecordingExporter {
 public:
  explicit ScopedRecordingExporter(AtomImage initialSettings);
  ~ScopedRecordingExporter();
  ScopedRecordingExporter(const ScopedRecordingExporter&) = delete;
  ScopedRecordingExporter& operator=(const ScopedRecordingExporter&) = delete;

  MovieExportComponent instance() const { return instance_; }
  RecordingExporterState& state() { return *state_; }

 private:
  std::shared_ptr<RecordingExporterState> state_;
  MovieExportComponent instance_ = nullptr;
};

// Container <-> bytes, for building settings and looking at what the exporter was given.
AtomImage ImageOf(QTAtomContainer container);
// A new container holding exactly these bytes, or null.
QTAtomContainer ContainerFrom(const AtomImage& image);

// Settings as an export component holds them: a 'vide' atom with 'wdth', 'hegt', 'sptl', 'tprl'
// and 'drat' children, all ID 1, with recognisable values.
AtomImage VideoSettingsImage();

}  // namespace test_support
