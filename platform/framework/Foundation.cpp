// The small value types and services that need no window: home folder, geometry, dates, URLs and
// autorelease pools.
#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

#include "platform/framework/AppKit.h"
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

NSString NSHomeDirectory() {
  if (const std::string home = framework::NonEmptyEnv("HOME"); !home.empty()) return NSString(home);
  if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir) return NSString(entry->pw_dir);
  return NSString("/");
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
