#include "tests/support/RecordingExporter.h"

#include <cstring>

#include "platform/memory/Memory.h"
#include "tests/support/AtomLayout.h"

namespace test_support {

constexpr OSType kRecordingExporterSubType = FOUR_CHAR_CODE("test");

std::vector<std::string> RecordingExporterState::callNames() const {
  std::vector<std::string> names;
  for (const RecordedCall& call : calls) names.push_back(call.name);
  return names;
}

std::optional<ComponentResult> RecordingExporter::record(RecordedCall call) {
  state_->calls.push_back(call);
  const auto failure = state_->failures.find(call.name);
  if (failure == state_->failures.end()) return std::nullopt;
  return failure->second;
}

ComponentResult RecordingExporter::getSettingsAsAtomContainer(QTAtomContainer* settings) {
  const std::optional<ComponentResult> failure = record({.name = kGetSettingsCall});
  const ComponentResult status = failure.value_or(noErr);
  if (failure ? state_->failedGetGivesContainer : !state_->getGivesNoContainer) {
    *settings = ContainerFrom(state_->settings);
    if (*settings == nullptr && status == noErr) return memFullErr;
  }
  return status;
}

ComponentResult RecordingExporter::setSettingsFromAtomContainer(QTAtomContainer settings) {
  if (const auto failure = record({.name = kSetSettingsCall, .settings = ImageOf(settings)})) return *failure;
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

AtomImage ImageOf(QTAtomContainer container) {
  if (container == nullptr || *container == nullptr) return {};
  const UInt8* bytes = reinterpret_cast<const UInt8*>(*container);
  return AtomImage(bytes, bytes + GetHandleSize(container));
}

QTAtomContainer ContainerFrom(const AtomImage& image) {
  Handle handle = NewHandle(Size(image.size()));
  if (handle != nullptr && !image.empty()) std::memcpy(*handle, image.data(), image.size());
  return handle;
}

AtomImage VideoSettingsImage() {
  using atom_layout::Atom;
  using atom_layout::Words;
  AtomImage spatial = Words({FOUR_CHAR_CODE("mp4v"), 0, 24 << 16, 0x200});  // codec type, codec, depth, quality
  spatial.erase(spatial.begin() + 10, spatial.begin() + 12);                // the depth is 16 bits
  return atom_layout::Container({Atom(
      "vide", 1,
      {Atom("wdth", 1, {}, Words({320u << 16})), Atom("hegt", 1, {}, Words({240u << 16})), Atom("sptl", 1, {}, spatial),
       // temporal quality, frame rate, key frame rate
       Atom("tprl", 1, {}, Words({0x2AB, 30u << 16, 30})),
       // data rate, frame duration, minimum spatial and temporal quality
       Atom("drat", 1, {}, Words({64 * 1024, 0x1234, 0x100, 0x100}))})});
}

}  // namespace test_support
