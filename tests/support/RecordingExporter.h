// A movie export component for tests: it keeps a settings container, records every call it
// receives and can be told to fail a call, so a test can check the calls the code under test makes.
#pragma once

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/MacTypes.h"
#include "platform/movies/MovieExport.h"

namespace test_support {

using AtomImage = std::vector<UInt8>;

inline const std::string kGetSettingsCall = "GetSettingsAsAtomContainer";
inline const std::string kSetSettingsCall = "SetSettingsFromAtomContainer";

struct RecordedCall {
  std::string name;
  AtomImage settings{};  // SetSettings: the bytes of the container handed in
};

// What the exporter holds and does; shared between the test and every instance opened from it.
struct RecordingExporterState {
  AtomImage settings;  // the current settings, as a container image
  std::vector<RecordedCall> calls;
  std::map<std::string, ComponentResult> failures;  // a call named here returns this and does nothing
  bool getGivesNoContainer = false;                 // GetSettings returns its status without a container
  bool failedGetGivesContainer = false;             // a failing GetSettings still hands out a container

  std::vector<std::string> callNames() const;
  size_t count(const std::string& name) const { return size_t(std::ranges::count(callNames(), name)); }
};

class RecordingExporter : public MovieExporter {
 public:
  explicit RecordingExporter(std::shared_ptr<RecordingExporterState> state) : state_(std::move(state)) {}
  ComponentResult getSettingsAsAtomContainer(QTAtomContainer* settings) override;
  ComponentResult setSettingsFromAtomContainer(QTAtomContainer settings) override;
  ComponentResult doUserDialog(Movie, Track, TimeValue, TimeValue, Boolean*) override { return done("DoUserDialog"); }
  ComponentResult setProgressProc(MovieProgressUPP, long) override { return done("SetProgressProc"); }
  ComponentResult toFile(const FSSpec*, Movie, Track, TimeValue, TimeValue) override { return done("ToFile"); }

 private:
  // Records the call; returns the injected failure for it, if any.
  std::optional<ComponentResult> record(RecordedCall call);
  ComponentResult done(const char* name) { return record({.name = name}).value_or(noErr); }
  std::shared_ptr<RecordingExporterState> state_;
};

// Registers an exporter ('spit'/'test') over `initialSettings` and opens one instance; closes and
// unregisters on destruction.
class ScopedRecordingExporter {
 public:
  explicit ScopedRecordingExporter(AtomImage initialSettings);
  ~ScopedRecordingExporter();
  ScopedRecordingExporter(const ScopedRecordingExporter&) = delete;
  ScopedRecordingExporter& operator=(const ScopedRecordingExporter&) = delete;

  MovieExportComponent instance() const { return instance_; }
  RecordingExporterState& state() { return *state_; }

 private:
  std::shared_ptr<RecordingExporterState> state_ = std::make_shared<RecordingExporterState>();
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
