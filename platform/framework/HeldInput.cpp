#include "platform/framework/HeldInput.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <csignal>
#include <deque>
#include <memory>
#include <optional>

#include "platform/framework/FrameworkInternal.h"
#include "platform/framework/NibLoading.h"

namespace framework {

namespace {

volatile std::sig_atomic_t abortClickRequested = 0;

bool isHeldInput(QEvent::Type type) {
  switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Wheel:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::Close:
      return true;
    default:
      return false;
  }
}

std::optional<NSEventType> cocoaType(const QEvent& event) {
  if (event.type() == QEvent::KeyPress) return NSKeyDown;
  if (event.type() != QEvent::MouseButtonPress && event.type() != QEvent::MouseButtonDblClick &&
      event.type() != QEvent::MouseButtonRelease) {
    return std::nullopt;
  }
  const auto& mouse = static_cast<const QMouseEvent&>(event);
  const bool up = event.type() == QEvent::MouseButtonRelease;
  if (mouse.button() == Qt::LeftButton) return up ? NSLeftMouseUp : NSLeftMouseDown;
  if (mouse.button() == Qt::RightButton) return up ? NSRightMouseUp : NSRightMouseDown;
  return std::nullopt;
}

QWidget* topLevelWidgetOf(QObject* receiver) {
  if (auto* widget = qobject_cast<QWidget*>(receiver)) return widget->window();
  if (auto* window = qobject_cast<QWindow*>(receiver)) {
    for (QWidget* topLevel : QApplication::topLevelWidgets()) {
      if (topLevel->windowHandle() == window) return topLevel;
    }
  }
  return nullptr;
}

// Window coordinates: the top-level widget's own, y pointing down, as NSView::frame reports them.
NSPoint locationInWindow(QObject* receiver, const QEvent& event) {
  if (event.type() != QEvent::MouseButtonPress && event.type() != QEvent::MouseButtonDblClick &&
      event.type() != QEvent::MouseButtonRelease) {
    return {};
  }
  QPointF point = static_cast<const QMouseEvent&>(event).position();
  if (auto* widget = qobject_cast<QWidget*>(receiver); widget && !widget->isWindow()) {
    point = widget->mapTo(widget->window(), point);
  }
  return {point.x(), point.y()};
}

struct HeldEvent {
  QPointer<QObject> receiver;
  std::unique_ptr<QEvent> event;
};

class InputHold : public QObject {
 public:
  InputHold() {
    qApp->installEventFilter(this);
    // Fires inside every nested look at the queue too; only when it fires from the main loop
    // itself has the export ended.
    resumeWatch_.setInterval(0);
    QObject::connect(&resumeWatch_, &QTimer::timeout, this, [this] {
      if (!insideExportQuery_) giveBack();
    });
  }

  bool holding() const { return holding_; }

  NSEvent* next(unsigned mask, bool dequeue) {
    if (!holding_) {
      holding_ = true;
      resumeWatch_.start();
    }
    insideExportQuery_ = true;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    insideExportQuery_ = false;
    for (auto it = held_.begin(); it != held_.end(); ++it) {
      const std::optional<NSEventType> type = cocoaType(*it->event);
      if (!type || !(mask & (1u << *type))) continue;
      QWidget* topLevel = topLevelWidgetOf(it->receiver);
      auto* event = new NSEvent(*type, topLevel ? WindowFor(topLevel) : nullptr, locationInWindow(it->receiver, *it->event));
      NSAutoreleasePool::addObject(event);
      if (dequeue) takeClick(it);
      return event;
    }
    return nullptr;
  }

 protected:
  bool eventFilter(QObject* receiver, QEvent* event) override {
    if (!holding_ || !isHeldInput(event->type())) return false;
    held_.push_back({receiver, std::unique_ptr<QEvent>(event->clone())});
    return true;
  }

 private:
  // A mouse-up handed out takes its mouse-down with it, so that no half click is given back later.
  void takeClick(std::deque<HeldEvent>::iterator taken) {
    const QEvent* takenEvent = taken->event.get();
    if (takenEvent->type() == QEvent::MouseButtonRelease) {
      const Qt::MouseButton button = static_cast<const QMouseEvent*>(takenEvent)->button();
      for (auto i = std::distance(held_.begin(), taken); i-- > 0;) {
        const QEvent* earlier = held_[size_t(i)].event.get();
        if ((earlier->type() == QEvent::MouseButtonPress || earlier->type() == QEvent::MouseButtonDblClick) &&
            static_cast<const QMouseEvent*>(earlier)->button() == button) {
          held_.erase(held_.begin() + i);
          break;
        }
      }
    }
    std::erase_if(held_, [takenEvent](const HeldEvent& held) { return held.event.get() == takenEvent; });
  }

  void giveBack() {
    holding_ = false;
    resumeWatch_.stop();
    std::deque<HeldEvent> events;
    events.swap(held_);
    for (HeldEvent& held : events) {
      if (held.receiver) QCoreApplication::postEvent(held.receiver, held.event.release());
    }
  }

  std::deque<HeldEvent> held_;
  QTimer resumeWatch_;
  bool holding_ = false;
  bool insideExportQuery_ = false;
};

InputHold* existingHold = nullptr;

InputHold& inputHold() {
  static auto* hold = existingHold = new InputHold;  // lives as long as the application
  return *hold;
}

// Ctrl-C stands for a click in the middle of the convert button.
NSEvent* requestedAbortClick() {
  abortClickRequested = 0;
  auto* button = NSViewNamed("button");
  if (!button) return nullptr;
  const NSRect frame = button->frame();
  auto* event = new NSEvent(NSLeftMouseUp, button->window(),
                            {frame.origin.x + frame.size.width / 2, frame.origin.y + frame.size.height / 2});
  NSAutoreleasePool::addObject(event);
  return event;
}

}  // namespace

void RequestAbortClick() { abortClickRequested = 1; }

bool InputHeld() { return existingHold && existingHold->holding(); }

NSEvent* NextHeldEvent(unsigned mask, bool dequeue) {
  EnsureApplication();
  if (abortClickRequested && (mask & NSLeftMouseUpMask) && dequeue) return requestedAbortClick();
  return inputHold().next(mask, dequeue);
}

}  // namespace framework
