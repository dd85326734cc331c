// The bundle: the application's own folder for what it writes at run time, and its string table,
// which is built into the program.
#include <QFile>
#include <QtGlobal>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <map>
#include <string>

#include "platform/desktop/StringTable.h"
#include "platform/desktop/Translation.h"
#include "platform/framework/AppKit.h"
#include "platform/framework/FrameworkInternal.h"

namespace {

// The string table gives the English texts and Qt's translators the others; named here so that
// the translation tools find them.
[[maybe_unused]] const char* const kStringTableTexts[] = {
    QT_TRANSLATE_NOOP("Localizable", "Abort"),
    QT_TRANSLATE_NOOP("Localizable", "Convert…"),
    QT_TRANSLATE_NOOP("Localizable", "Drop movies here to convert them."),
    QT_TRANSLATE_NOOP("Localizable", "%1 of %2   %3"),
    QT_TRANSLATE_NOOP("Localizable", "Skip the other movies?"),
    QT_TRANSLATE_NOOP("Localizable", "%1 movie of this batch is still to convert."),
    QT_TRANSLATE_NOOP("Localizable", "%1 movies of this batch are still to convert."),
    QT_TRANSLATE_NOOP("Localizable", "Skip Them"),
    QT_TRANSLATE_NOOP("Localizable", "Convert Them"),
    QT_TRANSLATE_NOOP("Localizable", "The folder of %1 cannot be written: choose a folder for the converted movies"),
    QT_TRANSLATE_NOOP("Localizable", "%1: %2"),
    QT_TRANSLATE_NOOP("Localizable", "skipped"),
    QT_TRANSLATE_NOOP("Localizable", "its folder cannot be written and no other folder was chosen"),
    QT_TRANSLATE_NOOP("Localizable", "cannot write in %1"),
    QT_TRANSLATE_NOOP("Localizable", "cannot put the output movie in place in %1"),
    QT_TRANSLATE_NOOP("Localizable", "aborted"),
    QT_TRANSLATE_NOOP("Localizable", "it could not be opened or no output could be made"),
    QT_TRANSLATE_NOOP("Localizable", "the export failed (status %1)"),
    QT_TRANSLATE_NOOP("Localizable", "%1 of %2 movie was not converted"),
    QT_TRANSLATE_NOOP("Localizable", "%1 of %2 movies were not converted"),
    QT_TRANSLATE_NOOP("Localizable", "Quit"),
    QT_TRANSLATE_NOOP("Localizable", "Replace the earlier movie?"),
    QT_TRANSLATE_NOOP("Localizable", "%1 is already in %2. Replace it, or keep both and write the new movie as %3?"),
    QT_TRANSLATE_NOOP("Localizable", "Replace the earlier movies?"),
    QT_TRANSLATE_NOOP(
        "Localizable",
        "%1 of these movies are converted already: %2. Replace them, or keep both and write the new movies under numbered names?"),
    QT_TRANSLATE_NOOP("Localizable", "Replace"),
    QT_TRANSLATE_NOOP("Localizable", "Replace All"),
    QT_TRANSLATE_NOOP("Localizable", "Keep Both"),
    QT_TRANSLATE_NOOP("Localizable", "Cancel"),
};

bool isFolder(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// mkdir -p; true when the folder is there afterwards.
bool makeFolders(const std::string& path) {
  if (path.empty() || isFolder(path)) return !path.empty();
  const size_t slash = path.find_last_of('/');
  if (slash != std::string::npos && slash > 0) makeFolders(path.substr(0, slash));
  return mkdir(path.c_str(), 0755) == 0 || isFolder(path);
}

std::string executableFolder() {
  char buffer[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (length <= 0) return {};
  const std::string path(buffer, size_t(length));
  return path.substr(0, path.find_last_of('/'));
}

}  // namespace

NSBundle* NSBundle::mainBundle() {
  static auto* bundle = new NSBundle;
  return bundle;
}

// The override first (tests, portable use), then the build tree's folder beside the program, then
// a per-user folder, since an installed program's own folder is not writable.
NSString NSBundle::bundlePath() {
  if (const std::string override = framework::NonEmptyEnv("POCKETMOVIE_BUNDLE"); !override.empty()) {
    return makeFolders(override) ? NSString(override) : NSString();
  }
  if (const std::string folder = executableFolder(); !folder.empty() && isFolder(folder + "/pocketmovie-bundle")) {
    return NSString(folder + "/pocketmovie-bundle");
  }
  const std::string perUser = framework::XdgFolder("XDG_DATA_HOME", ".local/share") + "/pocketmovie";
  return makeFolders(perUser) ? NSString(perUser) : NSString();
}

NSString NSBundle::localizedStringForKey(const NSString& key, const NSString* value, const NSString* table) {
  static auto* tables = new std::map<std::string, std::map<std::string, std::string>>;
  const std::string tableName = table && !table->str().empty() ? table->str() : "Localizable";
  auto loaded = tables->find(tableName);
  if (loaded == tables->end()) {
    QFile file(QString::fromStdString(":/pocketmovie/" + tableName + ".strings"));
    std::map<std::string, std::string> entries;
    if (file.open(QIODevice::ReadOnly)) entries = framework::ParseStringTable(file.readAll().toStdString());
    loaded = tables->emplace(tableName, std::move(entries)).first;
  }
  if (const auto found = loaded->second.find(key.str()); found != loaded->second.end()) {
    return NSString(framework::Tr("Localizable", found->second.c_str()));
  }
  return value && !value->str().empty() ? *value : key;
}
