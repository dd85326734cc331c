// User defaults: integers and strings by key in an INI file under the user's configuration folder.
#include <QSettings>

#include <cstdlib>
#include <memory>
#include <set>
#include <string>

#include "platform/framework/AppKit.h"
#include "platform/framework/FrameworkInternal.h"

namespace {

std::string defaultsFilePath() {
  return framework::XdgFolder("XDG_CONFIG_HOME", ".config") + "/pocketmovie/pocketmovie.conf";
}

struct DefaultsStore {
  QSettings settings{QString::fromStdString(defaultsFilePath()), QSettings::IniFormat};
};
std::unique_ptr<DefaultsStore>& store() {
  static auto* current = new std::unique_ptr<DefaultsStore>;
  return *current;
}

QSettings& settings() {
  if (!store()) store() = std::make_unique<DefaultsStore>();
  return store()->settings;
}

std::set<std::string>& ignoredKeys() {
  static auto* keys = new std::set<std::string>;
  return *keys;
}

}  // namespace

namespace framework {
void IgnoreDefaultsWrites(const std::vector<std::string>& keys) { ignoredKeys() = {keys.begin(), keys.end()}; }
}  // namespace framework

NSUserDefaults* NSUserDefaults::standardUserDefaults() {
  static auto* defaults = new NSUserDefaults;
  return defaults;
}

void NSUserDefaults::resetStandardUserDefaults() {
  if (store()) store()->settings.sync();
  store().reset();
}

NSInteger NSUserDefaults::integerForKey(const NSString& key) {
  bool isNumber = false;
  const qlonglong value = settings().value(QString::fromStdString(key.str())).toLongLong(&isNumber);
  return isNumber ? NSInteger(value) : 0;
}

BOOL NSUserDefaults::hasObjectForKey(const NSString& key) {
  return settings().contains(QString::fromStdString(key.str()));
}

void NSUserDefaults::setInteger(NSInteger value, const NSString& key) {
  if (ignoredKeys().count(key.str())) return;  // this run's options stand in for it
  settings().setValue(QString::fromStdString(key.str()), qlonglong(value));
}

NSString NSUserDefaults::stringForKey(const NSString& key) {
  return NSString(settings().value(QString::fromStdString(key.str())).toString().toStdString());
}

void NSUserDefaults::setString(const NSString& value, const NSString& key) {
  if (ignoredKeys().count(key.str())) return;
  settings().setValue(QString::fromStdString(key.str()), QString::fromStdString(value.str()));
}

BOOL NSUserDefaults::synchronize() {
  settings().sync();
  return settings().status() == QSettings::NoError;
}
