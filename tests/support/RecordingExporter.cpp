#include "tests/support/RecordingExporter.h"

namespace test_support {

constexpr OSType kRecordingExporterSubType = FOUR_CHAR_CODE("test");

std::optional<ComponentResult> RecordingExporter::record(const std::string& name) {
  state_->calls.push_back(name);
  const auto failure = state_->failures.find(name);
  if (failure == state_->failures.end()) return std::nullopt;
  return failure->second;
}

ComponentResult RecordingExporter::getSettingsAsAtomContainer(QTAtomContainer* settings) {
  const std::optional<ComponentResult> failure = record(kGetSettingsCall);
  const ComponentResult status = failure.value_or(noErr);
  if (failure ? state_->failedGetGivesContainer : !state_->getGivesNoContainer) {
    *settings = ContainerFrom(state_->settings);
    if (*settings == nullptr && status == noErr) return memFullErr;
  }
  return status;
}

ComponentResult RecordingExporter::setSettingsFromAtomContainer(QTAtomContainer settings) {
  if (const auto failure = record(kSetSettingsCall)) return *failure;
  // Refuses a malformed container as a real component does.
  if (const OSErr status = QTValidateAtomContainer(settings); status != noErr) return status;
  state_->settings = ImageOf(settings);
  return noErr;
}

ScopedRecordingExporter::ScopedRecordingExporter(AtomImage initialSettings) {
  state_->settings = std::move(initialSettings);
  RegisterComponentFactory(MovieExportType, kRecordingExporterSubType,
                           [state = state_]() { return std::make_unique<RecordingExporter>(state); });
  instance_ = OpenDefaultComponent(MovieExportType, kRecordingExporterSubType);
}

ScopedRecordingExporter::~ScopedRecordingExporter() {
  // The test may have closed the instance itself; a second close is refused harmlessly.
  if (instance_ != nullptr) CloseComponent(instance_);
  UnregisterComponentFactory(MovieExportType, kRecordingExporterSubType);
}

}  // namespace test_support
