// A movie export component for tests: it keeps a settings container, records every call it
// receives and can be told to fail a call, so a test can check the calls the code under test makes.
#pragma once

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/movies/MovieExport.h"
#include "tests/support/AtomImage.h"

namespace test_support {

inline const std::string kGetSettingsCall = "GetSettingsAsAtomContainer";
inline const std::string kSetSettingsCall = "SetSettingsFromAtomContainer";

// What the exporter holds and does; shared between the test and every instance opened from it.
struct RecordingExporterState {
  AtomImage settings;  // the current settings, as a container image
  std::vector<std::string> calls;  // the names of the calls, in order
  std::map<std::string, ComponentResult> failures;  // a call named here returns this and does nothing
  bool getGivesNoContainer = false;                 // GetSettings returns its status without a container
  bool failedGetGivesContainer = false;             // a failing GetSettings still hands out a container
  size_t count(const std::string& name) const { return size_t(std::ranges::count(calls, name)); }
  // Records the call; returns the injected failure for it, if any.
  std::optional<ComponentResult> record(const std::string& name) {
    calls.push_back(name);
    const auto failure = failures.find(name);
    return failure == failures.end() ? std::nullopt : std::optional(failure->second);
  }
};

class RecordingExporter : public MovieExporter {
 public:
  explicit RecordingExporter(std::shared_ptr<RecordingExporterState> state) : state_(std::move(state)) {}
  ComponentResult getSettingsAsAtomContainer(QTAtomContainer* settings) override {
    const std::optional<ComponentResult> failure = state_->record(kGetSettingsCall);
    const ComponentResult status = failure.value_or(noErr);
    if (failure ? state_->failedGetGivesContainer : !state_->getGivesNoContainer) {
      *settings = ContainerFrom(state_->settings);
      if (*settings == nullptr && status == noErr) return memFullErr;
    }
    return status;
  }
  ComponentResult setSettingsFromAtomContainer(QTAtomContainer settings) override {
    if (const auto failure = state_->record(kSetSettingsCall)) return *failure;
    // Refuses a malformed container as a real component does.
    if (const OSErr status = QTValidateAtomContainer(settings); status != noErr) return status;
    state_->settings = ImageOf(settings);
    return noErr;
  }
  ComponentResult doUserDialog(Movie, Track, TimeValue, TimeValue, Boolean*) override { return done("DoUserDialog"); }
  ComponentResult setProgressProc(MovieProgressUPP, long) override { return done("SetProgressProc"); }
  ComponentResult toFile(const FSSpec*, Movie, Track, TimeValue, TimeValue) override { return done("ToFile"); }

 private:
  ComponentResult done(const char* name) { return state_->record(name).value_or(noErr); }
  std::shared_ptr<RecordingExporterState> state_;
};

// Registers an exporter ('spit'/'test') over `initialSettings` and opens one instance; closes and
// unregisters on destruction.
class ScopedRecordingExporter {
 public:
  explicit ScopedRecordingExporter(AtomImage initialSettings) {
    state_->settings = std::move(initialSettings);
    RegisterComponentFactory(MovieExportType, kSubType,
                             [state = state_] { return std::make_unique<RecordingExporter>(state); });
    instance_ = OpenDefaultComponent(MovieExportType, kSubType);
  }
  ~ScopedRecordingExporter() {
    CloseComponent(instance_);
    UnregisterComponentFactory(MovieExportType, kSubType);
  }
  ScopedRecordingExporter(const ScopedRecordingExporter&) = delete;
  ScopedRecordingExporter& operator=(const ScopedRecordingExporter&) = delete;

  MovieExportComponent instance() const { return instance_; }
  RecordingExporterState& state() { return *state_; }

 private:
  static constexpr OSType kSubType = FOUR_CHAR_CODE("test");
  std::shared_ptr<RecordingExporterState> state_ = std::make_shared<RecordingExporterState>();
  MovieExportComponent instance_ = nullptr;
};

}  // namespace test_support
