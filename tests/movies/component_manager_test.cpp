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

TEST(ComponentManager, OpensTheRegisteredComponentAndForgetsClosedInstances) {
  EXPECT_EQ(OpenDefaultComponent(kSpit, kProbe), nullptr);
  int destroyed = 0;
  ComponentInstance self = nullptr;
  RegisterComponentFactory(kSpit, kProbe, [&] { return std::make_unique<SelfClosingExporter>(&destroyed, &self); });
  ComponentInstance first = OpenDefaultComponent(kSpit, kProbe);
  ASSERT_NE(first, nullptr);

  // A later registration replaces the earlier for new instances only.
  RegisterComponentFactory(kSpit, kProbe, [] { return std::make_unique<NotAnExporter>(); });
  ComponentInstance second = OpenDefaultComponent(kSpit, kProbe);
  ASSERT_NE(second, nullptr);
  QTAtomContainer settings = nullptr;
  EXPECT_EQ(MovieExportGetSettingsAsAtomContainer(second, &settings), badComponentInstance);
  EXPECT_EQ(settings, nullptr);

  // A closed instance is stale: every call on it is refused.
  EXPECT_EQ(CloseComponent(first), noErr);
  EXPECT_EQ(destroyed, 1);
  EXPECT_NE(CloseComponent(first), noErr);
  EXPECT_EQ(ComponentImplementationOf(first), nullptr);
  EXPECT_EQ(MovieExportSetProgressProc(first, nullptr, 0), badComponentInstance);
  EXPECT_EQ(MovieExportToFile(nullptr, nullptr, nullptr, nullptr, 0, 0), badComponentInstance);
  EXPECT_NE(CloseComponent(nullptr), noErr);
  EXPECT_EQ(CloseComponent(second), noErr);

  RegisterComponentFactory(kSpit, kProbe, [] { return std::unique_ptr<ComponentImplementation>(); });
  EXPECT_EQ(OpenDefaultComponent(kSpit, kProbe), nullptr);
  UnregisterComponentFactory(kSpit, kProbe);
  EXPECT_EQ(OpenDefaultComponent(kSpit, kProbe), nullptr);
}

TEST(ComponentManager, ClosingFromInsideACallWaitsForTheCallToReturn) {
  int destroyed = 0;
  ComponentInstance self = nullptr;
  RegisterComponentFactory(kSpit, kProbe, [&] { return std::make_unique<SelfClosingExporter>(&destroyed, &self); });
  self = OpenDefaultComponent(kSpit, kProbe);
  ASSERT_NE(self, nullptr);
  EXPECT_EQ(MovieExportToFile(self, nullptr, nullptr, nullptr, 0, 0), 7);
  EXPECT_EQ(destroyed, 1);
  EXPECT_EQ(MovieExportToFile(self, nullptr, nullptr, nullptr, 0, 0), badComponentInstance);
  EXPECT_NE(CloseComponent(self), noErr);
  UnregisterComponentFactory(kSpit, kProbe);
}
