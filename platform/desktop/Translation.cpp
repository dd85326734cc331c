#include "platform/desktop/Translation.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <vector>

namespace framework {

namespace {

// The program's own translations are built into it; Qt's (the file panel, the dialogs' buttons)
// come with Qt. Loaded on first use, also before the application exists (--help, argument errors).
const std::vector<QTranslator*>& translators() {
  static const auto* loaded = [] {
    auto* list = new std::vector<QTranslator*>;
    const QLocale locale = QLocale::system();
    const std::pair<QString, QString> sources[] = {
        {QStringLiteral("pocketmovie"), QStringLiteral(":/pocketmovie/translations")},
        {QStringLiteral("qtbase"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)}};
    for (const auto& [name, folder] : sources) {
      auto* translator = new QTranslator;
      if (translator->load(locale, name, QStringLiteral("_"), folder)) list->push_back(translator);
      else delete translator;
    }
    return list;
  }();
  return *loaded;
}

QString translated(const char* context, const char* text) {
  for (const QTranslator* translator : translators()) {
    const QString found = translator->translate(context, text);
    if (!found.isEmpty()) return found;
  }
  return QString::fromUtf8(text);
}

}  // namespace

std::string Tr(const char* context, const char* text) { return translated(context, text).toStdString(); }

std::string Fill(const std::string& text, const std::string& first) {
  return QString::fromStdString(text).arg(QString::fromStdString(first)).toStdString();
}

std::string Fill(const std::string& text, const std::string& first, const std::string& second) {
  return QString::fromStdString(text).arg(QString::fromStdString(first), QString::fromStdString(second)).toStdString();
}

std::string Fill(const std::string& text, const std::string& first, const std::string& second,
                 const std::string& third) {
  return QString::fromStdString(text)
      .arg(QString::fromStdString(first), QString::fromStdString(second), QString::fromStdString(third))
      .toStdString();
}

char DecimalMark() {
  static const char mark = [] {
    if (translators().empty()) return '.';
    return QLocale(translators().front()->language()).decimalPoint() == QStringLiteral(",") ? ',' : '.';
  }();
  return mark;
}

void InstallTranslators(QCoreApplication* application) {
  for (QTranslator* translator : translators()) application->installTranslator(translator);
}

}  // namespace framework
