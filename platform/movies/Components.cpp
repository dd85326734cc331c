#include "platform/movies/Components.h"

#include <cstdint>
#include <map>
#include <mutex>
#include <utility>

namespace {

// An instance is named by a serial number, never by an address: a stale instance after
// CloseComponent finds nothing in the table, even if its memory has been reused.
struct OpenInstance {
  std::unique_ptr<ComponentImplementation> implementation;
  int callsInProgress = 0;
  bool closed = false;
};

struct ComponentRegistry {
  std::mutex mutex;
  std::map<std::pair<OSType, OSType>, ComponentFactory> factories;
  std::map<std::uintptr_t, OpenInstance> instances;
  std::uintptr_t nextSerial = 1;
};

ComponentRegistry& Registry() {
  static ComponentRegistry registry;
  return registry;
}

std::uintptr_t SerialOf(ComponentInstance instance) { return reinterpret_cast<std::uintptr_t>(instance); }

}  // namespace

ComponentInstance OpenDefaultComponent(OSType componentType, OSType componentSubType) {
  ComponentRegistry& registry = Registry();
  ComponentFactory factory;
  {
    std::lock_guard lock(registry.mutex);
    const auto found = registry.factories.find({componentType, componentSubType});
    if (found == registry.factories.end()) return nullptr;
    factory = found->second;
  }
  std::unique_ptr<ComponentImplementation> implementation;
  try {
    implementation = factory();
  } catch (...) {
    return nullptr;
  }
  if (!implementation) return nullptr;
  std::lock_guard lock(registry.mutex);
  const std::uintptr_t serial = registry.nextSerial++;
  registry.instances[serial].implementation = std::move(implementation);
  return reinterpret_cast<ComponentInstance>(serial);
}

OSErr CloseComponent(ComponentInstance instance) {
  ComponentRegistry& registry = Registry();
  std::unique_ptr<ComponentImplementation> released;
  {
    std::lock_guard lock(registry.mutex);
    const auto found = registry.instances.find(SerialOf(instance));
    if (found == registry.instances.end() || found->second.closed) return OSErr(badComponentInstance);
    found->second.closed = true;
    if (found->second.callsInProgress == 0) {
      released = std::move(found->second.implementation);
      registry.instances.erase(found);
    }
  }
  // Destroyed outside the lock: its destructor may call the component manager itself.
  released.reset();
  return noErr;
}

void RegisterComponentFactory(OSType componentType, OSType componentSubType, ComponentFactory factory) {
  ComponentRegistry& registry = Registry();
  std::lock_guard lock(registry.mutex);
  registry.factories[{componentType, componentSubType}] = std::move(factory);
}

void UnregisterComponentFactory(OSType componentType, OSType componentSubType) {
  ComponentRegistry& registry = Registry();
  std::lock_guard lock(registry.mutex);
  registry.factories.erase({componentType, componentSubType});
}

ComponentImplementation* ComponentImplementationOf(ComponentInstance instance) {
  ComponentRegistry& registry = Registry();
  std::lock_guard lock(registry.mutex);
  const auto found = registry.instances.find(SerialOf(instance));
  if (found == registry.instances.end() || found->second.closed) return nullptr;
  return found->second.implementation.get();
}

ComponentCallScope::ComponentCallScope(ComponentInstance instance) : instance_(instance), implementation_(nullptr) {
  ComponentRegistry& registry = Registry();
  std::lock_guard lock(registry.mutex);
  const auto found = registry.instances.find(SerialOf(instance));
  if (found == registry.instances.end() || found->second.closed) return;
  ++found->second.callsInProgress;
  implementation_ = found->second.implementation.get();
}

ComponentCallScope::~ComponentCallScope() {
  if (implementation_ == nullptr) return;
  ComponentRegistry& registry = Registry();
  std::unique_ptr<ComponentImplementation> released;
  {
    std::lock_guard lock(registry.mutex);
    const auto found = registry.instances.find(SerialOf(instance_));
    if (found == registry.instances.end()) return;
    if (--found->second.callsInProgress == 0 && found->second.closed) {
      released = std::move(found->second.implementation);
      registry.instances.erase(found);
    }
  }
  released.reset();
}
