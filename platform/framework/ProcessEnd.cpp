#include "platform/framework/ProcessEnd.h"

#include <unistd.h>

#include <cstdio>

#include "platform/media/exporters/ExportWorker.h"

#if defined(__SANITIZE_ADDRESS__)
#define POCKETMOVIE_LEAK_CHECK 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define POCKETMOVIE_LEAK_CHECK 1
#endif
#endif
#ifdef POCKETMOVIE_LEAK_CHECK
#include <sanitizer/lsan_interface.h>
#endif

namespace framework {

void EndProcess(int status) {
  std::fflush(nullptr);
  // Its workers' time and memory count among the program's, as any child's would.
  EndExportWorkerLauncher();
#ifdef POCKETMOVIE_LEAK_CHECK
  __lsan_do_leak_check();  // ends the process with the sanitizer's status when it finds a leak
#endif
  _exit(status);
}

}  // namespace framework
