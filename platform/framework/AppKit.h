// The application framework: the window's controls, the application and its event queue, the
// open panel, user defaults, the bundle, the file manager and the movie object, as thin classes
// over Qt Widgets. Cocoa selectors become methods named after their first part
// (runModalForDirectory:file:types: is runModalForDirectory(dir, file, types)).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/Failure.h"
#include "platform/MacTypes.h"
#include "platform/movies/Movies.h"

class QWidget;

class NSString;
class NSObject {
 public:
  virtual ~NSObject() = default;
  // Frees an object that its holder made with alloc/init (URLs, movie objects, pools).
  virtual void release() { delete this; }
  // performSelector:withObject:afterDelay: sends the action to this object from the main loop,
  // once the current event has been handled (an object whose actions are connectable only).
  void performSelector(const NSString& selector, NSObject* object, double delay);
};
using id = NSObject*;
using BOOL = bool;
using NSInteger = long;
constexpr BOOL YES = true;
constexpr BOOL NO = false;

// UTF-8 text.
class NSString {
 public:
  NSString() = default;
  NSString(const char* text) : text_(text ? text : "") {}
  NSString(std::string text) : text_(std::move(text)) {}
  static NSString stringWithCString(const char* text) { return NSString(text); }
  NSString stringByAppendingString(const NSString& tail) const { return NSString(text_ + tail.text_); }
  // Of a path: its last part ("clip.mov" of "/movies/clip.mov"), and what holds that part
  // ("/movies"; "/" for a part in the root, "." for a bare name).
  NSString lastPathComponent() const;
  NSString stringByDeletingLastPathComponent() const;
  const char* UTF8String() const { return text_.c_str(); }
  const std::string& str() const { return text_; }
  bool operator==(const NSString& other) const { return text_ == other.text_; }

 private:
  std::string text_;
};
using NSArray = std::vector<NSString>;

// Why something did not happen: its code, the file it is about, and its words in the user's language.
class NSError : public NSObject {
 public:
  NSError() = default;
  explicit NSError(Failure failure) : failure_(std::move(failure)) {}
  FailureCode code() const { return failure_.code; }
  NSString filePath() const { return NSString(failure_.subject); }
  NSString localizedDescription() const;
  // The words without the file, for a list that names it already.
  NSString localizedFailureReason() const;

 private:
  Failure failure_;
};

NSString NSHomeDirectory();
// The user's videos folder (XDG_VIDEOS_DIR of xdg-user-dirs) when it exists, else the home folder.
NSString NSUserMoviesDirectory();

struct NSPoint {
  double x = 0;
  double y = 0;
};
struct NSSize {
  double width = 0;
  double height = 0;
};
struct NSRect {
  NSPoint origin;
  NSSize size;
};
BOOL NSPointInRect(NSPoint point, NSRect rect);

class NSNotification;
class NSWindow : public NSObject {};

// Objects obtained from the framework while a pool is the innermost one are freed with it.
class NSAutoreleasePool : public NSObject {
 public:
  static NSAutoreleasePool* alloc();
  NSAutoreleasePool* init();
  void release() override;
  // Hands an object to the innermost pool (none: it is freed at exit).
  static void addObject(NSObject* object);

 private:
  NSAutoreleasePool() = default;
  ~NSAutoreleasePool() override;
  std::vector<NSObject*> objects_;
  NSAutoreleasePool* outer_ = nullptr;
};

// A control of the window; the window owns it.
class NSView : public NSObject {
 public:
  // The frame in the coordinates of the view that holds it.
  NSRect frame() const;
  NSWindow* window() const;
  // Draws the view at once, without the main loop.
  void displayIfNeeded();
  QWidget* widget() const { return widget_; }

 protected:
  explicit NSView(QWidget* widget) : widget_(widget) {}
  QWidget* widget_;
};

class NSControl : public NSView {
 public:
  void setEnabled(BOOL enabled);
  BOOL isEnabled() const;
  // A field whose text is not a number reads as 0, as Cocoa's do.
  int intValue() const;
  double doubleValue() const;
  void setIntValue(int value);
  void setDoubleValue(double value);
  void setStringValue(const NSString& text);
  NSString stringValue() const;

 protected:
  using NSView::NSView;
};

enum : NSInteger { NSOffState = 0, NSOnState = 1 };

class NSButton : public NSControl {
 public:
  explicit NSButton(QWidget* widget) : NSControl(widget) {}
  void setTitle(const NSString& title);
  NSString title() const;
  // A check box's mark; a push button is always off. Sends no action.
  NSInteger state() const;
  void setState(NSInteger state);
};

class NSTextField : public NSControl {
 public:
  explicit NSTextField(QWidget* widget) : NSControl(widget) {}
  // The number as the user is typing it, in the user's decimal mark, left unsettled (doubleValue
  // settles a value out of range, which must wait until the user leaves the field).
  double typedDoubleValue() const;
};

class NSSlider : public NSControl {
 public:
  explicit NSSlider(QWidget* widget) : NSControl(widget) {}
};

class NSMenuItem : public NSObject {
 public:
  NSMenuItem(NSString title, NSInteger tag) : title_(std::move(title)), tag_(tag) {}
  NSInteger tag() const { return tag_; }
  const NSString& title() const { return title_; }

 private:
  NSString title_;
  NSInteger tag_;
};

// A pop-up menu whose items carry integer tags.
class NSPopUpButton : public NSControl {
 public:
  explicit NSPopUpButton(QWidget* widget);
  ~NSPopUpButton() override;
  // The selected item, or null when none is.
  NSMenuItem* selectedItem() const;
  NSInteger indexOfItemWithTag(NSInteger tag) const;  // -1 when no item has it
  // -1 (or any index out of range) leaves no item selected. Sends no action.
  void selectItemAtIndex(NSInteger index);
  NSInteger numberOfItems() const;
  NSMenuItem* itemAtIndex(NSInteger index) const;

 private:
  std::vector<NSMenuItem*> items_;
};

class NSProgressIndicator : public NSView {
 public:
  explicit NSProgressIndicator(QWidget* widget) : NSView(widget) {}
  void setDoubleValue(double value);
  double doubleValue() const;
  void setIndeterminate(BOOL indeterminate);
  BOOL isIndeterminate() const;
};

enum NSEventType : NSInteger { NSLeftMouseDown = 1, NSLeftMouseUp = 2, NSRightMouseDown = 3, NSRightMouseUp = 4,
                               NSKeyDown = 10 };
constexpr unsigned NSLeftMouseUpMask = 1u << NSLeftMouseUp;

class NSEvent : public NSObject {
 public:
  NSEvent(NSEventType type, NSWindow* window, NSPoint locationInWindow)
      : type_(type), window_(window), location_(locationInWindow) {}
  NSEventType type() const { return type_; }
  NSWindow* window() const { return window_; }
  NSPoint locationInWindow() const { return location_; }

 private:
  NSEventType type_;
  NSWindow* window_;
  NSPoint location_;
};

class NSDate : public NSObject {
 public:
  static NSDate* distantPast();
};
extern const NSString NSDefaultRunLoopMode;

// What the application tells its delegate.
class NSApplication;
class NSApplicationDelegate {
 public:
  virtual ~NSApplicationDelegate() = default;
  virtual void applicationWillFinishLaunching(NSNotification* notification) { (void)notification; }
  // application:openFile:
  virtual BOOL applicationOpenFile(NSApplication* application, const NSString& filename) {
    (void)application;
    (void)filename;
    return NO;
  }
  // application:openFiles:, for several files at once; without its own handling each is opened.
  virtual void applicationOpenFiles(NSApplication* application, const std::vector<NSString>& filenames) {
    for (const NSString& filename : filenames) applicationOpenFile(application, filename);
  }
  virtual void applicationWillTerminate(NSNotification* notification) { (void)notification; }
};

class NSApplication : public NSObject {
 public:
  static NSApplication* sharedApplication();
  // The will-terminate handler runs, then the process ends (through the exit handler).
  void terminate(id sender);
  // terminate after several movies converted in turn: the exit status is 0 only when every one
  // was written, and the window's last word names what they wrote (nothing when one was not: the
  // list of those has said it).
  void terminateAfterMovies(const std::vector<NSString>& written, BOOL everyMovieWritten);
  // What ends the process after the will-terminate handler; std::exit by default. Tests put in
  // one that records the status and returns, and then terminate returns too.
  static void setExitHandler(std::function<void(int status)> handler);
  // The next pending event of the mask, taken off the queue when dequeue is YES, or null. With a
  // date in the past it never waits. Events outside the mask stay queued.
  NSEvent* nextEventMatchingMask(unsigned mask, NSDate* expiration, const NSString& mode, BOOL dequeue);
  // A conversion run gave up or its export failed. In a window: the empty output file the run
  // made is taken back, `error` gets why (the words a run from the terminal ends with), the
  // failure is forgotten so the next run's is its own, and YES: the window goes on. From the
  // terminal NO: the run ends, and its closing line says why.
  BOOL recoverFromFailedRun(NSError* error);
  void setDelegate(NSApplicationDelegate* delegate);
  NSApplicationDelegate* delegate() const;
};

// What an object made by the window description offers: its outlets and actions, by name.
class NSNibConnectable {
 public:
  virtual ~NSNibConnectable() = default;
  // false for a name the object does not have
  virtual BOOL connectOutlet(const NSString& name, NSObject* object) = 0;
  virtual BOOL sendAction(const NSString& selector, id sender) = 0;
};
// Classes the window description may name.
void NSRegisterClass(const char* className, std::function<NSObject*()> make);

// Loads the window description, makes its objects, connects outlets and actions, delivers the
// application's events and runs the main loop. Returns only at exit.
int NSApplicationMain(int argc, const char** argv);

class NSOpenPanel : public NSObject {
 public:
  static NSOpenPanel* openPanel();  // autoreleased
  // 1 when the user chose a file (NSOKButton), 0 otherwise. The panel shows the given types under
  // "Movies", and all files on request.
  // A folder that is gone opens the user's videos folder instead.
  NSInteger runModalForDirectory(const NSString& directory, const NSString& file, const NSArray& fileTypes);
  NSString filename() const;
  NSArray filenames() const;  // every file chosen, where several may be
  void setAllowsMultipleSelection(BOOL allow) { multipleSelection_ = allow; }
  // A panel for a folder instead of a file (setCanChooseDirectories: YES, setCanChooseFiles: NO),
  // with a message saying what the folder is for.
  void setCanChooseDirectories(BOOL choose) { chooseDirectories_ = choose; }
  void setMessage(const NSString& message);
  // A line under the files about the movie selected, which the panel opens for it; none for a
  // file that is no movie.
  void setMoviePreview(std::function<NSString(Movie movie)> describe) { preview_ = std::move(describe); }

 private:
  NSArray filenames_;
  NSString message_;
  std::function<NSString(Movie)> preview_;
  BOOL chooseDirectories_ = NO;
  BOOL multipleSelection_ = NO;
};

class NSUserDefaults : public NSObject {
 public:
  static NSUserDefaults* standardUserDefaults();
  // Writes out and forgets the shared store; the next standardUserDefaults reads it afresh.
  static void resetStandardUserDefaults();
  NSInteger integerForKey(const NSString& key);  // 0 for a missing key or one that is not a number
  // Whether anything is stored under the key: tells a stored 0 from a missing key (objectForKey:).
  BOOL hasObjectForKey(const NSString& key);
  void setInteger(NSInteger value, const NSString& key);  // setInteger:forKey:
  NSString stringForKey(const NSString& key);  // empty for a missing key
  void setString(const NSString& value, const NSString& key);  // setObject:forKey: with a string
  BOOL synchronize();
};

class NSFileManager : public NSObject {
 public:
  static NSFileManager* defaultManager();
  // Makes the file if none is there; an existing file keeps its contents. YES when a file exists
  // at the path afterwards.
  BOOL createFileAtPath(const NSString& path, const void* contents, const void* attributes);
  BOOL isWritableFileAtPath(const NSString& path);
  // Whether anything is at the path, a link to nothing included (fileExistsAtPath:isDirectory:).
  BOOL fileExistsAtPath(const NSString& path, BOOL* isDirectory);
  // Whether a file could be made at the path now, or one there replaced: checked without making
  // anything, so that the path stays free until its file is complete. Why not is noted as the run's failure.
  BOOL canCreateFileAtPath(const NSString& path);
  // A new, empty, hidden folder on the same volume as the path, for items that are to replace
  // others there (URLForDirectory:NSItemReplacementDirectory...); empty when none can be made.
  NSString itemReplacementDirectoryFor(const NSString& path);
  BOOL createSymbolicLinkAtPath(const NSString& path, const NSString& destination);
  // Renames within a volume; an item already at the destination is replaced.
  BOOL moveItemAtPath(const NSString& path, const NSString& destination);
  BOOL removeItemAtPath(const NSString& path);  // a folder with everything in it
};

// NSRunAlertPanel: a modal question; returns NSAlertDefaultReturn (1) for the default button,
// NSAlertAlternateReturn (0) for the alternate one, NSAlertOtherReturn (-1) for the other one,
// which Escape chooses where there is one. No alternate title: a message with one button. In a
// run from the terminal nobody can answer: the default button is taken.
constexpr NSInteger NSAlertDefaultReturn = 1;
constexpr NSInteger NSAlertAlternateReturn = 0;
constexpr NSInteger NSAlertOtherReturn = -1;
NSInteger NSRunAlertPanel(const NSString& title, const NSString& message, const NSString& defaultButton,
                          const NSString& alternateButton, const NSString& otherButton = NSString());

class NSBundle : public NSObject {
 public:
  static NSBundle* mainBundle();
  // The application's own folder; empty when it cannot be had.
  NSString bundlePath();
  // The key's text in the string table, or the value, or the key itself.
  NSString localizedStringForKey(const NSString& key, const NSString* value, const NSString* table);
};

class NSURL : public NSObject {
 public:
  NSURL* initFileURLWithPath(const NSString& path);
  const NSString& path() const { return path_; }

 private:
  NSString path_;
};

// A movie object over the movie services. initWithURL gives null (and frees itself) when the
// file is no movie.
class NSMovie : public NSObject {
 public:
  NSMovie* initWithURL(NSURL* url, BOOL byReference);
  // The extensions of the movie files that can be opened, without the dot.
  static NSArray movieFileTypes();
  Movie QTMovie() const { return movie_; }
  ~NSMovie() override;

 private:
  Movie movie_ = nullptr;
  SInt16 fileRef_ = 0;
};
