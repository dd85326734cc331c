// Every test program runs in English whatever language the developer's session speaks, and
// without the session bus, so that no test posts a notification on the developer's desktop. Set
// before main, before anything reads the environment.
#include <cstdlib>

namespace {

const bool kEnglishAndNoSessionBus = [] {
  setenv("LANGUAGE", "en", 1);
  setenv("LC_ALL", "C.UTF-8", 1);
  unsetenv("DBUS_SESSION_BUS_ADDRESS");
  unsetenv("XDG_RUNTIME_DIR");
  // The test programs link the export components alone: the program runs their conversions' workers.
  setenv("POCKETMOVIE_EXPORT_WORKER", POCKETMOVIE_BINARY, 1);
  return true;
}();

}  // namespace
