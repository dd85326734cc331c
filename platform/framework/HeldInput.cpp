#include "platform/framework/HeldInput.h"

#include <QApplication>
#include <QElapsedTimer>
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

// A screen reader asks one thing at a time, each after the last answer: while it keeps asking, a
// look at the queue goes on answering for a moment, but never for longer than this.
constexpr int kQuietMilliseconds = 3;
constexpr qint64 kLongestAnsweringMilliseconds = 40;

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

QWidget* cancelButton() {
  auto* button = NSViewNamed("button");
  return button ? button->widget() : nullptr;
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

// What stands for a click on the convert button ("Abort" while an export runs): Escape in its
// window, Space or Return while it has the focus, and a close of its window.
bool isAbortGesture(QObject* receiver, const QEvent& event) {
  QWidget* button = cancelButton();
  if (!button || topLevelWidgetOf(receiver) != button->window()) return false;
  if (event.type() == QEvent::Close) return true;
  if (event.type() != QEvent::KeyPress) return false;
  const int key = static_cast<const QKeyEvent&>(event).key();
  if (key == Qt::Key_Escape) return true;
  const bool pressesButton = key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter;
  return pressesButton && QApplication::focusWidget() == button;
}

// Tab and Backtab only move the focus, which lets the keyboard reach "Abort".
bool movesFocus(const QEvent& event) {
  if (event.type() != QEvent::KeyPress && event.type() != QEvent::KeyRelease) return false;
  const int key = static_cast<const QKeyEvent&>(event).key();
  return key == Qt::Key_Tab || key == Qt::Key_Backtab;
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

// Ctrl-C and the gestures above stand for a click in the middle of the convert button.
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

struct HeldEvent {
  QPointer<QObject> receiver;
  std::unique_ptr<QEvent> event;
};

class InputHold : public QObject {
 public:
  InputHold() {
    qApp->installEventFilter(this);
    // Stopped while the export looks at the queue: when it fires, the main loop runs again.
    resumeWatch_.setInterval(0);
    QObject::connect(&resumeWatch_, &QTimer::timeout, this, [this] { endHold(); });
  }

  bool holding() const { return holding_; }

  NSEvent* next(unsigned mask, bool dequeue) {
    holding_ = true;
    resumeWatch_.stop();
    answerWaitingEvents();
    resumeWatch_.start();
    if (abortClickRequested && (mask & NSLeftMouseUpMask) && dequeue) return requestedAbortClick();
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
    if (!holding_) return false;
    if (event->type() == QEvent::MetaCall) ++callsAnswered_;
    if (!isHeldInput(event->type()) || movesFocus(*event)) return false;
    if (isAbortGesture(receiver, *event)) {
      RequestAbortClick();
      if (event->type() == QEvent::Close) quitWhenResumed_ = true;  // an abort first, then the quit
      return true;
    }
    held_.push_back({receiver, std::unique_ptr<QEvent>(event->clone())});
    return true;
  }

 private:
  // Everything but user input: paints, resizes, timers, the accessibility bus.
  void answerWaitingEvents() {
    callsAnswered_ = 0;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    QElapsedTimer answering;
    answering.start();
    while (callsAnswered_ > 0 && !answering.hasExpired(kLongestAnsweringMilliseconds)) {
      callsAnswered_ = 0;
      QTimer quiet;
      quiet.setSingleShot(true);
      quiet.start(kQuietMilliseconds);
      QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
  }

  // A mouse-up handed out takes its mouse-down with it, so that no half click is left behind.
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

  // What the user did during the export was meant for the window as it was then: a click on
  // "Abort" must not become a click on "Convert…", nor a key typed then a change now. It is dropped.
  void endHold() {
    holding_ = false;
    resumeWatch_.stop();
    held_.clear();
    abortClickRequested = 0;
    if (quitWhenResumed_) NSApplication::sharedApplication()->terminate(nullptr);
  }

  std::deque<HeldEvent> held_;
  QTimer resumeWatch_;
  bool holding_ = false;
  bool quitWhenResumed_ = false;
  int callsAnswered_ = 0;
};

InputHold* existingHold = nullptr;

InputHold& inputHold() {
  static auto* hold = existingHold = new InputHold;  // lives as long as the application
  return *hold;
}

}  // namespace

void RequestAbortClick() { abortClickRequested = 1; }

bool InputHeld() { return existingHold && existingHold->holding(); }

NSEvent* NextHeldEvent(unsigned mask, bool dequeue) {
  EnsureApplication();
  return inputHold().next(mask, dequeue);
}

}  // namespace framework
