#include <gtest/gtest.h>

#include "platform/movies/MovieExport.h"
#include "tests/support/RecordingExporter.h"

namespace {

constexpr OSType kSpit = MovieExportType;
constexpr OSType kProbe = FOUR_CHAR_CODE("prob");

// An exporter that closes its own instance from inside an export, as a progress routine that
// ends the application does, and counts its destruction.
class SelfClosingExporter : public test_support::RecordingExporter {
 public:
  SelfClosingExporter(int* destroyed, ComponentInstance* self)
      : RecordingExporter(std::make_shared<test_support::RecordingExporterState>()),
        destroyed_(destroyed),
        self_(self) {}
  ~SelfClosingExporter() override { ++*destroyed_; }
  ComponentResult toFile(const FSSpec*, Movie, Track, TimeValue, TimeValue) override {
    const OSErr closed = CloseComponent(*self_);
    return *destroyed_ == 0 && closed == noErr ? 7 : -1;  // the object must outlive its own call
  }

 private:
  int* destroyed_;
  ComponentInstance* self_;
};

struct NotAnExporter : ComponentImplementation {};

}  // namespace

TEST(ComponentManager, AnInstanceClosedFromInsideItsOwnCallGoesOnlyOnceTheCallReturns) {
  EXPECT_EQ(OpenDefaultComponent(kSpit, kProbe), nullptr);
  int destroyed = 0;
  ComponentInstance self = nullptr;
  RegisterComponentFactory(kSpit, kProbe, [&] { return std::make_unique<SelfClosingExporter>(&destroyed, &self); });
  self = OpenDefaultComponent(kSpit, kProbe);
  ASSERT_NE(self, nullptr);
  EXPECT_EQ(MovieExportToFile(self, nullptr, nullptr, nullptr, 0, 0), 7);
  EXPECT_EQ(destroyed, 1);

  // Then it is stale: every call on it is refused.
  EXPECT_EQ(ComponentImplementationOf(self), nullptr);
  EXPECT_EQ(MovieExportToFile(self, nullptr, nullptr, nullptr, 0, 0), badComponentInstance);
  EXPECT_NE(CloseComponent(self), noErr);
  EXPECT_NE(CloseComponent(nullptr), noErr);

  // A component that is no exporter refuses the export calls.
  RegisterComponentFactory(kSpit, kProbe, [] { return std::make_unique<NotAnExporter>(); });
  ComponentInstance other = OpenDefaultComponent(kSpit, kProbe);
  QTAtomContainer settings = nullptr;
  EXPECT_EQ(MovieExportGetSettingsAsAtomContainer(other, &settings), badComponentInstance);
  EXPECT_EQ(settings, nullptr);
  EXPECT_EQ(CloseComponent(other), noErr);
  UnregisterComponentFactory(kSpit, kProbe);
}
