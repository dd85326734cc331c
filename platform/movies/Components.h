// The component manager: components registered by (type, subtype), opened as instances.
#pragma once

#include <functional>
#include <memory>

#include "platform/MacTypes.h"

struct ComponentInstanceRecord;
using ComponentInstance = ComponentInstanceRecord*;

// What an open instance is. Subclasses (such as MovieExporter) add the calls of their type.
class ComponentImplementation {
 public:
  virtual ~ComponentImplementation() = default;
};

using ComponentFactory = std::function<std::unique_ptr<ComponentImplementation>()>;

// The default component of that type and subtype, opened as a new instance, or null.
ComponentInstance OpenDefaultComponent(OSType componentType, OSType componentSubType);
// The instance is gone. Closing an instance from inside one of its own calls is safe: it goes
// once that call has returned.
OSErr CloseComponent(ComponentInstance instance);

// Registration; a later registration of the same type and subtype replaces the earlier one.
void RegisterComponentFactory(OSType componentType, OSType componentSubType, ComponentFactory factory);
void UnregisterComponentFactory(OSType componentType, OSType componentSubType);

// The implementation behind an open instance, or null for a null, closed or unknown instance.
ComponentImplementation* ComponentImplementationOf(ComponentInstance instance);

// Keeps an instance's implementation alive across one of its calls, so that CloseComponent from
// inside the call (a progress routine ending the application) frees it only afterwards.
class ComponentCallScope {
 public:
  explicit ComponentCallScope(ComponentInstance instance);
  ~ComponentCallScope();
  ComponentCallScope(const ComponentCallScope&) = delete;
  ComponentCallScope& operator=(const ComponentCallScope&) = delete;
  ComponentImplementation* implementation() const { return implementation_; }

 private:
  ComponentInstance instance_;
  ComponentImplementation* implementation_;
};
