#include "platform/framework/AppKit.h"
#include "platform/media/exporters/ExportWorker.h"

int main(int argc, char* argv[]) {
  // First, before any thread: a conversion's worker is this program started again, or a fork of
  // the launcher forked here while the program is still as it started.
  EnterExportWorkerIfLaunchedAsOne(argc, argv);
  return NSApplicationMain(argc, const_cast<const char**>(argv));
}
