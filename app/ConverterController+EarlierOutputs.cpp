// An output already where the new one goes: the window asks before replacing it (once for a
// batch), and "Keep Both" writes the new movie under the next free numbered name.
#include "app/ConverterController.h"

namespace {

// The earlier outputs a question names before it says "…".
constexpr size_t kNamesListed = 3;

}  // namespace

NSString ConverterController::freeOutputPath(const NSString& output, const std::string& extension) {
  NSFileManager* files = NSFileManager::defaultManager();
  const std::string stem = output.str().substr(0, output.str().size() - extension.size());
  for (int number = 2;; ++number) {
    const NSString path = stem + " (" + std::to_string(number) + ")" + extension;
    if (!files->fileExistsAtPath(path, nullptr)) return path;
  }
}

NSInteger ConverterController::askAboutEarlierOutputs(const std::vector<NSString>& outputs,
                                                      const std::string& extension) {
  if (outputs.size() == 1) {
    const NSString& output = outputs.front();
    const std::string explanation = localized(
        "ReplaceExplanationOne", {output.lastPathComponent().str(), output.stringByDeletingLastPathComponent().str(),
                                  freeOutputPath(output, extension).lastPathComponent().str()});
    return NSRunAlertPanel(localized("ReplaceQuestionOne"), explanation, localized("Replace"), localized("KeepBoth"),
                           localized("CancelRun"));
  }
  std::string names;
  for (size_t i = 0; i < outputs.size() && i <= kNamesListed; ++i) {
    names += (i ? ", " : "") + (i == kNamesListed ? "…" : outputs[i].lastPathComponent().str());
  }
  const std::string explanation = localized("ReplaceExplanationMany", {std::to_string(outputs.size()), names});
  return NSRunAlertPanel(localized("ReplaceQuestionMany"), explanation, localized("ReplaceAll"), localized("KeepBoth"),
                         localized("CancelRun"));
}
