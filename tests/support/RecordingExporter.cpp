#include "tests/support/RecordingExporter.h"

#include <algorithm>
#include <cstring>

#include "platform/memory/Memory.h"

namespace test_support {

std::vector<std::string> RecordingExporterState::callNames() const {
  std::vector<std::string> names;
  for (const RecordedCall& call : calls) names.push_back(call.name);
  return names;
}

size_t RecordingExporterState::count(const std::string& name) const {
  return size_t(std::count_if(calls.begin(), calls.end(), [&](const RecordedCall& c) { return c.name == name; }));
}

std::optional<ComponentResult> RecordingExporter::record(RecordedCall call) {
  state_->calls.push_back(call);
  if (state_->duringCall) state_->duringCall(call);
  const auto failure = state_->failures.find(call.name);
  if (failure == state_->failures.end()) return std::nullopt;
  return failure->second;
}

ComponentResult RecordingExporter::getSettingsAsAtomContainer(QTAtomContainer* settings) {
  const std::optional<ComponentResult> failure = record({.name = kGetSettingsCall});
  const ComponentResult status = failure.value_or(noErr);
  const bool handOut = failure ? state_->failedGetGivesContainer : !state_->getGivesNoContainer;
  if (handOut) {
    *settings = ContainerFrom(state_->settings);
    if (*settings == nullptr && status == noErr) return memFullErr;
  }
  return status;
}

ComponentResult RecordingExporter::setSettingsFromAtomContainer(QTAtomContainer settings) {
  if (const auto failure = record({.name = kSetSettingsCall, .settings = ImageOf(settings)})) return *failure;
  if (state_->validateOnSet) {
    const OSErr status = QTValidateAtomContainer(settings);
    if (status != noErr) return status;
  }
  state_->settings = ImageOf(settings);
  return noErr;
}

ComponentResult RecordingExporter::doUserDialog(Movie theMovie, Track onlyThisTrack, TimeValue startTime,
                                                TimeValue duration, Boolean* canceled) {
  const RecordedCall call{.name = kDoUserDialogCall,
                          .movie = theMovie,
                          .track = onlyThisTrack,
                          .startTime = startTime,
                          .duration = duration};
  if (const auto failure = record(call)) return *failure;
  if (canceled != nullptr) *canceled = state_->dialogCancels;
  if (!state_->dialogCancels && state_->dialogSettings) state_->settings = *state_->dialogSettings;
  return noErr;
}

ComponentResult RecordingExporter::setProgressProc(MovieProgressUPP proc, long refcon) {
  if (const auto failure = record({.name = kSetProgressProcCall, .progressProc = proc, .refcon = refcon})) {
    return *failure;
  }
  return noErr;
}

ComponentResult RecordingExporter::toFile(const FSSpec* theFile, Movie theMovie, Track onlyThisTrack,
                                          TimeValue startTime, TimeValue duration) {
  RecordedCall call{
      .name = kToFileCall, .movie = theMovie, .track = onlyThisTrack, .startTime = startTime, .duration = duration};
  if (theFile != nullptr) call.file = *theFile;
  if (const auto failure = record(call)) return *failure;
  return noErr;
}

void RegisterRecordingExporter(std::shared_ptr<RecordingExporterState> state) {
  RegisterComponentFactory(MovieExportType, kRecordingExporterSubType,
                           [state]() { return std::make_unique<RecordingExporter>(state); });
}

void UnregisterRecordingExporter() { UnregisterComponentFactory(MovieExportType, kRecordingExporterSubType); }

ScopedRecordingExporter::ScopedRecordingExporter(AtomImage initialSettings)
    : state_(std::make_shared<RecordingExporterState>()) {
  state_->settings = std::move(initialSettings);
  RegisterRecordingExporter(state_);
  instance_ = OpenDefaultComponent(MovieExportType, kRecordingExporterSubType);
}

ScopedRecordingExporter::~ScopedRecordingExporter() {
  // The test may have closed the instance itself; a second close is refused harmlessly.
  if (instance_ != nullptr) CloseComponent(instance_);
  UnregisterRecordingExporter();
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

namespace {

void AppendBigEndian(AtomImage* bytes, UInt32 value, int width) {
  for (int shift = (width - 1) * 8; shift >= 0; shift -= 8) bytes->push_back(UInt8(value >> shift));
}

}  // namespace

AtomImage VideoSettingsImage() {
  QTAtomContainer container = nullptr;
  QTNewAtomContainer(&container);
  QTAtom video = 0;
  QTInsertChild(container, kParentAtomIsContainer, FOUR_CHAR_CODE("vide"), 1, 0, 0, nullptr, &video);

  AtomImage width, height, spatial, temporal, dataRate;
  AppendBigEndian(&width, 320u << 16, 4);
  AppendBigEndian(&height, 240u << 16, 4);
  AppendBigEndian(&spatial, FOUR_CHAR_CODE("mp4v"), 4);  // codecType
  AppendBigEndian(&spatial, 0, 4);                       // codec
  AppendBigEndian(&spatial, 24, 2);                      // depth
  AppendBigEndian(&spatial, 0x200, 4);                   // spatialQuality
  AppendBigEndian(&temporal, 0x2AB, 4);                  // temporalQuality
  AppendBigEndian(&temporal, 30u << 16, 4);              // frameRate
  AppendBigEndian(&temporal, 30, 4);                     // keyFrameRate
  AppendBigEndian(&dataRate, 64 * 1024, 4);              // dataRate
  AppendBigEndian(&dataRate, 0x1234, 4);                 // frameDuration
  AppendBigEndian(&dataRate, 0x100, 4);                  // minSpatialQuality
  AppendBigEndian(&dataRate, 0x100, 4);                  // minTemporalQuality

  const std::pair<const char*, const AtomImage*> children[] = {
      {"wdth", &width}, {"hegt", &height}, {"sptl", &spatial}, {"tprl", &temporal}, {"drat", &dataRate}};
  for (const auto& [type, data] : children) {
    char code[5] = {};
    std::memcpy(code, type, 4);
    QTInsertChild(container, video, FOUR_CHAR_CODE(code), 1, 0, long(data->size()), data->data(), nullptr);
  }
  AtomImage image = ImageOf(container);
  QTDisposeAtomContainer(container);
  return image;
}

}  // namespace test_support
