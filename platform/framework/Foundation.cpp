// The small value types and services that need no window: home folder, geometry, dates, URLs and
// autorelease pools.
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/framework/AppKit.h"
#include "platform/desktop/FailureText.h"
#include "platform/framework/FrameworkInternal.h"

const NSString NSDefaultRunLoopMode = "kCFRunLoopDefaultMode";

namespace framework {

std::string NonEmptyEnv(const char* name) {
  const char* value = std::getenv(name);
  return value && *value ? value : "";
}

std::string XdgFolder(const char* variable, const char* underHome) {
  const std::string folder = NonEmptyEnv(variable);
  return !folder.empty() ? folder : NSHomeDirectory().str() + "/" + underHome;
}

}  // namespace framework

NSString NSString::lastPathComponent() const {
  const size_t slash = text_.rfind('/');
  return slash == std::string::npos ? *this : NSString(text_.substr(slash + 1));
}

NSString NSString::stringByDeletingLastPathComponent() const {
  const size_t slash = text_.rfind('/');
  if (slash == std::string::npos) return NSString(".");
  return slash == 0 ? NSString("/") : NSString(text_.substr(0, slash));
}

NSString NSError::localizedDescription() const { return NSString(framework::FailureText(failure_)); }

NSString NSError::localizedFailureReason() const { return NSString(framework::FailureTextWithoutSubject(failure_)); }

NSString NSHomeDirectory() {
  if (const std::string home = framework::NonEmptyEnv("HOME"); !home.empty()) return NSString(home);
  if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir) return NSString(entry->pw_dir);
  return NSString("/");
}

NSString NSUserMoviesDirectory() {
  const std::string home = NSHomeDirectory().str();
  // Lines such as XDG_VIDEOS_DIR="$HOME/Videos", written by xdg-user-dirs-update.
  std::ifstream dirs(framework::XdgFolder("XDG_CONFIG_HOME", ".config") + "/user-dirs.dirs");
  const std::string key = "XDG_VIDEOS_DIR=\"";
  for (std::string line; std::getline(dirs, line);) {
    if (line.rfind(key, 0) != 0 || line.back() != '"') continue;
    std::string folder = line.substr(key.size(), line.size() - key.size() - 1);
    if (folder.rfind("$HOME", 0) == 0) folder = home + folder.substr(5);
    struct stat info {};
    if (!folder.empty() && folder[0] == '/' && stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
      return NSString(folder);
    }
  }
  return NSString(home);
}

BOOL NSPointInRect(NSPoint point, NSRect rect) {
  return point.x >= rect.origin.x && point.x < rect.origin.x + rect.size.width && point.y >= rect.origin.y &&
         point.y < rect.origin.y + rect.size.height;
}

NSDate* NSDate::distantPast() {
  static NSDate* const past = new NSDate;
  return past;
}

NSURL* NSURL::initFileURLWithPath(const NSString& path) {
  path_ = path;
  return this;
}

namespace {
// Pools nest per thread; objects autoreleased with no pool are kept (reachable) until exit.
thread_local NSAutoreleasePool* innermostPool = nullptr;
std::vector<NSObject*>& keptUntilExit() {
  static auto* kept = new std::vector<NSObject*>;
  return *kept;
}
}  // namespace

NSAutoreleasePool* NSAutoreleasePool::alloc() { return new NSAutoreleasePool; }

NSAutoreleasePool* NSAutoreleasePool::init() {
  outer_ = innermostPool;
  innermostPool = this;
  return this;
}

void NSAutoreleasePool::release() { delete this; }

NSAutoreleasePool::~NSAutoreleasePool() {
  // Unlink even when released out of order, so no dangling pool stays on the chain.
  for (NSAutoreleasePool** link = &innermostPool; *link; link = &(*link)->outer_) {
    if (*link == this) {
      *link = outer_;
      break;
    }
  }
  // Objects freed while freeing others may autorelease more into this pool: drain until empty.
  while (!objects_.empty()) {
    std::vector<NSObject*> draining;
    draining.swap(objects_);
    for (NSObject* object : draining) object->release();
  }
}

void NSAutoreleasePool::addObject(NSObject* object) {
  if (!object) return;
  if (innermostPool) innermostPool->objects_.push_back(object);
  else keptUntilExit().push_back(object);
}
