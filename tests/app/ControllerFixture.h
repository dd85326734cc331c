// The real window, loaded offscreen, with its one controller; each test gets its own preferences
// store and bundle folder, and starts from the process-wide state of a fresh launch.
#pragma once

#include <gtest/gtest.h>

#include <optional>

#include "app/ConverterController.h"
#include "platform/framework/NibLoading.h"
#include "tests/support/TempDir.h"

namespace fs = std::filesystem;

class ControllerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(bundle());
    setenv("XDG_CONFIG_HOME", (folder_ / "config").c_str(), 1);
    setenv("POCKETMOVIE_BUNDLE", bundle().c_str(), 1);
    NSUserDefaults::resetStandardUserDefaults();
    NSApplication::setExitHandler([this](int status) { exitStatus_ = status; });
    c_ = dynamic_cast<ConverterController*>(NSLoadMainNib());
    ASSERT_NE(c_, nullptr);
  }

  void TearDown() override {
    if (gQtExport) CloseComponent(gQtExport);
    DisposeMovieProgressUPP(gMovieProgressProcUPP);
    gMovieProgressProcUPP = nullptr;
    gQtExport = nullptr;
    gConvertMode = kConvertIdle;
    NSUserDefaults::resetStandardUserDefaults();
  }

  fs::path bundle() const { return folder_ / "bundle"; }

  void launch() { c_->applicationWillFinishLaunching(nullptr); }
  void quit() { c_->applicationWillTerminate(nullptr); }
  static void store(const char* key, NSInteger value) {
    NSUserDefaults::standardUserDefaults()->setInteger(value, key);
  }
  static NSInteger stored(const char* key) { return NSUserDefaults::standardUserDefaults()->integerForKey(key); }

  // Picks the item as the user does, and sends its action.
  void chooseFormat(NSInteger tag) {
    c_->popupCODEC->selectItemAtIndex(c_->popupCODEC->indexOfItemWithTag(tag));
    c_->changeCODEC(nullptr);
  }
  void chooseSize(NSInteger tag) {
    c_->popupExportSize->selectItemAtIndex(c_->popupExportSize->indexOfItemWithTag(tag));
    c_->selectExportSize(nullptr);
  }

  // The sample movie (320 x 240, four seconds) copied into the test's folder.
  std::string sampleMovie(const std::string& name = "clip.mov") const {
    fs::copy_file(POCKETMOVIE_SAMPLE, folder_ / name, fs::copy_options::overwrite_existing);
    return (folder_ / name).string();
  }

  TempDir temp_;
  const fs::path folder_ = temp_.path();
  ConverterController* c_ = nullptr;
  std::optional<int> exitStatus_;
};
