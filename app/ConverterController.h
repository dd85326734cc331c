// The window's one controller: it keeps the user's options, opens the export component of the
// chosen format, runs a conversion and shows its progress.
#pragma once

#include <array>
#include <initializer_list>
#include <iterator>
#include <string>
#include <vector>

#include "platform/MacTypes.h"
#include "platform/OptionRanges.h"
#include "platform/OutputFormats.h"
#include "platform/files/Files.h"
#include "platform/framework/AppKit.h"
#include "platform/movies/MovieExport.h"

class ConverterController : public NSObject, public NSApplicationDelegate, public NSNibConnectable {
 public:
  ConverterController* init();

  // Actions of the window's controls.
  void convertMovie(id sender);
  void cancelConvert(id sender);
  void changeCODEC(id sender);
  void selectExportSize(id sender);
  void setting3GPP2(id sender);
  void selectFitSize(id sender);
  // Any option that changes what a minute of movie costs.
  void optionsChanged(id sender);

  // The size limit the "Fit into" menu chooses, in kilobytes; 0 for none.
  SInt32 fitKilobytes();
  void showFitKilobytes(SInt32 kilobytes);

  // One conversion.
  void doConvert(const NSString& path);
  void exportMovie(id sender);
  void setPercent(double percent);
  void giveUpRun();
  // Ready for another movie, as at launch: "Convert…" and no percentage.
  void showReady();
  // The window's options into the export component, the picture size as given.
  void applyOptions(double width, double height, SInt32 kilobytesPerSecond, double framesPerSecond);
  // The picture size a movie of this natural size gets from the size menu and fields.
  NSSize exportSizeFor(NSSize natural);
  // The open panel's line for a movie: its length and picture, and what its conversion will take.
  NSString describeMovie(Movie movie);

  // Per-format settings files.
  OSErr makeSettingAtomFileSpec(const char* fileName, FSSpec* outSpec, UInt8 create);
  void readSettingAtomFile(const char* fileName);
  void writeSettingAtomFile(const char* fileName);

  // A text of the string table in the user's language, with %1, %2... replaced in one pass.
  static std::string localized(const char* key, std::initializer_list<std::string> arguments = {});

  // An output already there is replaced only when the user says so: asked about these outputs,
  // returns NSAlertDefaultReturn to replace them, NSAlertAlternateReturn to keep both (the new
  // one under a free name) or NSAlertOtherReturn to convert nothing.
  static NSInteger askAboutEarlierOutputs(const std::vector<NSString>& outputs, const std::string& extension);
  // For "clip.mov.mp4": "clip.mov (2).mp4", "clip.mov (3).mp4"..., the first that is free.
  static NSString freeOutputPath(const NSString& output, const std::string& extension);

  // The tag of a menu's selected item; a menu without one reads as 0.
  static SInt32 tagOfSelectedItem(NSPopUpButton* menu);
  // The FSSpec of the existing file or folder at a path: FSPathMakeRef, then FSGetCatalogInfo.
  static OSErr fileSpecForPath(const NSString& path, FSSpec* outSpec);

  // Application events.
  void applicationWillFinishLaunching(NSNotification* notification) override;
  BOOL applicationOpenFile(NSApplication* application, const NSString& filename) override;
  void applicationWillTerminate(NSNotification* notification) override;

  // Several movies opened at once: one after another, each through applicationOpenFile.
  void applicationOpenFiles(NSApplication* application, const std::vector<NSString>& filenames) override;
  void openNextQueuedMovie(id sender);

  // The window description connects these.
  BOOL connectOutlet(const NSString& name, NSObject* object) override;
  BOOL sendAction(const NSString& selector, id sender) override;

  // Outlets, owned by the window.
  NSButton* button = nullptr;
  NSPopUpButton* popupExportSize = nullptr;
  NSTextField* dataRate = nullptr;
  NSTextField* frameRate = nullptr;
  NSTextField* heightMov = nullptr;
  NSProgressIndicator* progress = nullptr;
  NSTextField* textPercent = nullptr;
  NSTextField* textPercentUnit = nullptr;
  NSTextField* widthMov = nullptr;
  NSPopUpButton* popupCODEC = nullptr;
  NSSlider* sliderFrame = nullptr;
  NSSlider* sliderData = nullptr;
  NSTextField* textStatus = nullptr;  // why the last run failed
  NSButton* settingsButton = nullptr;
  NSPopUpButton* popupFitSize = nullptr;  // item tags in kilobytes; kFitCustomTag takes fitSize
  NSTextField* fitSize = nullptr;
  NSTextField* textBatch = nullptr;  // "2 of 5" and the current movie's name during a batch
  NSButton* checkOlderPhones = nullptr;  // ".mp4" in H.264's Baseline profile rather than High
  NSTextField* textEstimate = nullptr;  // what a minute of movie takes with the options

  Movie mov = nullptr;
  SInt32 m_nDefaultDataRate = 0;
  SInt32 m_nDefaultFrameRate = 0;
  SInt32 m_nDefaultSizeX = 0;
  SInt32 m_nDefaultSizeY = 0;
  SInt32 m_nDefaultSizeIndex = 0;
  SInt32 m_nDefault3GPP = 0;
  SInt32 m_nDefaultFitSize = 0;  // kilobytes; 0: no limit
  SInt32 m_nDefaultBaseline = 0;  // nonzero: "For older phones"
  // The data rate last used with each format, in the table's order; 0: never chosen.
  std::array<SInt32, std::size(kOutputFormats)> m_formatDataRates{};
  NSString m_movieFolder;  // where the last movie was chosen
  NSSize m_movieNaturalSize{};  // the last movie measured; 0 x 0 before any

  // The batch: movies still to convert, how many in all, which this is, what did not convert, and
  // the folder the user chose for movies whose own folder cannot be written.
  std::vector<NSString> m_batchQueue;
  size_t m_batchTotal = 0;
  size_t m_batchNumber = 0;
  std::vector<std::string> m_batchFailures;
  NSString m_batchFolder;
  std::vector<std::string> m_batchOutputs;
  NSError m_runFailure;  // why the last run gave up, as the status line shows it
  // The batch's one answer about earlier outputs (askAboutEarlierOutputs), or ask for each.
  static constexpr NSInteger kAskAboutEarlierOutputs = 2;
  NSInteger m_earlierOutputs = kAskAboutEarlierOutputs;

 private:
  void showComputedSize(SInt32 sizeTag);
  void convertQueuedMovie(const NSString& source);
  void finishBatch();
};

// Process-wide state shared with the progress callback, which gets no context of its own.
enum : SInt32 { kConvertIdle = -1, kConvertRunning = 0, kConvertAbortRequested = 1 };
extern MovieExportComponent gQtExport;
extern MovieProgressUPP gMovieProgressProcUPP;
extern SInt32 gConvertMode;
extern NSProgressIndicator* gProgress;
extern NSTextField* gTextPercent;
extern NSTextField* gTextPercentUnit;
extern NSButton* gButton;
extern FSSpec spec;
// A batch is under way: the end of an export no longer ends the application; the batch decides
// whether the next movie follows or the application quits.
extern BOOL gBatchInProgress;

// Whether the latest export stopped on a failure of its own rather than completing or being aborted.
bool LastExportFailed();

// Shows a percentage on the progress bar and the percent field and draws them at once.
void ShowProgressPercent(double percent);

OSErr MovieProgressProc(Movie theMovie, SInt16 message, SInt16 whatOperation, Fixed percentDone, long refcon);
