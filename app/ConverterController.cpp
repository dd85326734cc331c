// The controller's birth, its connection to the window, and the state it shares with the progress
// callback.
#include "app/ConverterController.h"

#include <utility>

MovieExportComponent gQtExport = nullptr;
MovieProgressUPP gMovieProgressProcUPP = nullptr;
SInt32 gConvertMode = kConvertIdle;
NSProgressIndicator* gProgress = nullptr;
NSTextField* gTextPercent = nullptr;
NSTextField* gTextPercentUnit = nullptr;
NSButton* gButton = nullptr;
FSSpec spec = {};
BOOL gBatchInProgress = NO;

namespace {

// The window description names the controller's class; register it before main runs.
[[maybe_unused]] const bool kRegistered = [] {
  NSRegisterClass("ConverterController", [] { return static_cast<NSObject*>((new ConverterController)->init()); });
  return true;
}();

template <typename Control>
BOOL connectTo(Control*& outlet, NSObject* object) {
  auto* control = dynamic_cast<Control*>(object);
  if (!control) return NO;
  outlet = control;
  return YES;
}

}  // namespace

ConverterController* ConverterController::init() { return this; }

BOOL ConverterController::connectOutlet(const NSString& name, NSObject* object) {
  const std::string& outlet = name.str();
  if (outlet == "button") return connectTo(button, object);
  if (outlet == "popupExportSize") return connectTo(popupExportSize, object);
  if (outlet == "dataRate") return connectTo(dataRate, object);
  if (outlet == "frameRate") return connectTo(frameRate, object);
  if (outlet == "heightMov") return connectTo(heightMov, object);
  if (outlet == "progress") return connectTo(progress, object);
  if (outlet == "textPercent") return connectTo(textPercent, object);
  if (outlet == "textPercentUnit") return connectTo(textPercentUnit, object);
  if (outlet == "widthMov") return connectTo(widthMov, object);
  if (outlet == "popupCODEC") return connectTo(popupCODEC, object);
  if (outlet == "sliderFrame") return connectTo(sliderFrame, object);
  if (outlet == "sliderData") return connectTo(sliderData, object);
  if (outlet == "textStatus") return connectTo(textStatus, object);
  if (outlet == "settingsButton") return connectTo(settingsButton, object);
  if (outlet == "popupFitSize") return connectTo(popupFitSize, object);
  if (outlet == "fitSize") return connectTo(fitSize, object);
  if (outlet == "textBatch") return connectTo(textBatch, object);
  if (outlet == "checkOlderPhones") return connectTo(checkOlderPhones, object);
  if (outlet == "textEstimate") return connectTo(textEstimate, object);
  return NO;
}

BOOL ConverterController::sendAction(const NSString& selector, id sender) {
  static const std::pair<const char*, void (ConverterController::*)(id)> kActions[] = {
      {"convertMovie:", &ConverterController::convertMovie},
      {"cancelConvert:", &ConverterController::cancelConvert},
      {"changeCODEC:", &ConverterController::changeCODEC},
      {"selectExportSize:", &ConverterController::selectExportSize},
      {"setting3GPP2:", &ConverterController::setting3GPP2},
      {"selectFitSize:", &ConverterController::selectFitSize},
      {"openNextQueuedMovie:", &ConverterController::openNextQueuedMovie},
      {"optionsChanged:", &ConverterController::optionsChanged},
  };
  for (const auto& [name, action] : kActions) {
    if (selector.str() == name) {
      (this->*action)(sender);
      return YES;
    }
  }
  return NO;
}

SInt32 ConverterController::tagOfSelectedItem(NSPopUpButton* menu) {
  NSMenuItem* item = menu ? menu->selectedItem() : nullptr;
  return item ? static_cast<SInt32>(item->tag()) : 0;
}

OSErr ConverterController::fileSpecForPath(const NSString& path, FSSpec* outSpec) {
  FSRef ref;
  Boolean isDirectory = 0;
  OSErr status = FSPathMakeRef(reinterpret_cast<const UInt8*>(path.UTF8String()), &ref, &isDirectory);
  if (status != noErr) return status;
  return FSGetCatalogInfo(&ref, kFSCatInfoNone, nullptr, nullptr, outSpec, nullptr);
}

std::string ConverterController::localized(const char* key, std::initializer_list<std::string> arguments) {
  const std::string format = NSBundle::mainBundle()->localizedStringForKey(key, nullptr, nullptr).str();
  std::string text;
  for (size_t i = 0; i < format.size(); ++i) {
    const size_t argument = i + 1 < format.size() && format[i] == '%' ? size_t(format[i + 1] - '1') : arguments.size();
    if (argument < arguments.size()) {
      text += *(arguments.begin() + argument);
      ++i;
    } else {
      text += format[i];
    }
  }
  return text;
}
