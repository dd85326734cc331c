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

// The movie services' reasons, named here for the translation tools: those services use no Qt.
[[maybe_unused]] const char* const kMovieServiceReasons[] = {
    QT_TRANSLATE_NOOP("Reason", "the video encoder is not available"),
    QT_TRANSLATE_NOOP("Reason", "the sound encoder is not available"),
    QT_TRANSLATE_NOOP("Reason", "H.263 writes only 128x96, 176x144, 352x288, 704x576 and 1408x1152 pictures"),
    QT_TRANSLATE_NOOP("Reason", "no such file"),
    QT_TRANSLATE_NOOP("Reason", "the span to export begins after the movie's end"),
    QT_TRANSLATE_NOOP("Reason", "the source has nothing this format can hold"),
    QT_TRANSLATE_NOOP("Reason", "cannot start the encoding thread"),
    QT_TRANSLATE_NOOP("Reason", "cannot decode the source"),
    QT_TRANSLATE_NOOP("Reason", "out of memory"),
    QT_TRANSLATE_NOOP("Reason", "cannot convert the source"),
    QT_TRANSLATE_NOOP("Reason", "cannot encode the output"),
    QT_TRANSLATE_NOOP("Reason", "no source or output file given"),
    QT_TRANSLATE_NOOP("Reason", "the source is not a movie"),
    QT_TRANSLATE_NOOP("Reason", "cannot read the source movie"),
    QT_TRANSLATE_NOOP("Reason", "the source holds no picture or sound that can be read"),
    QT_TRANSLATE_NOOP("Reason", "the source movie is cut short"),
    QT_TRANSLATE_NOOP("Reason", "cannot set up the conversion filters"),
    QT_TRANSLATE_NOOP("Reason", "the output file cannot be named"),
    QT_TRANSLATE_NOOP("Reason", "no source movie"),
    QT_TRANSLATE_NOOP("Reason", "exporting a single track is not supported"),
    QT_TRANSLATE_NOOP("Reason", "the span to export is empty"),
    QT_TRANSLATE_NOOP("Reason", "the disk is full"),
    QT_TRANSLATE_NOOP("Reason", "cannot write in the output folder"),
    QT_TRANSLATE_NOOP("Reason", "cannot start the output movie"),
    QT_TRANSLATE_NOOP("Reason", "cannot write the output movie"),
    QT_TRANSLATE_NOOP("Reason", "cannot add a stream to the output movie"),
    QT_TRANSLATE_NOOP("Reason", "cannot complete the output movie"),
    QT_TRANSLATE_NOOP("Reason", "cannot put the output movie in place"),
    QT_TRANSLATE_NOOP("Reason", "cannot open the source"),
    QT_TRANSLATE_NOOP("Reason", "not a movie"),
    QT_TRANSLATE_NOOP("Reason", "cannot decode the source's video"),
    QT_TRANSLATE_NOOP("Reason", "cannot decode the source's audio"),
    QT_TRANSLATE_NOOP("Reason", "nothing in this movie could be read"),
    QT_TRANSLATE_NOOP("Reason", "a single picture"),
    QT_TRANSLATE_NOOP("Reason", "the output is a folder"),
    QT_TRANSLATE_NOOP("Reason", "cannot start the encoder"),
    QT_TRANSLATE_NOOP("Reason", "aborted, the earlier movie is kept"),
};

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

std::string TranslatedReason(const std::string& reason) {
  if (const std::string whole = Tr("Reason", reason.c_str()); whole != reason) return whole;
  const size_t colon = reason.find(": ");
  if (colon == std::string::npos) return reason;
  return Tr("Reason", reason.substr(0, colon).c_str()) + ": " + TranslatedReason(reason.substr(colon + 2));
}

std::string Fill(const std::string& text, const std::string& first, const std::string& second,
                 const std::string& third) {
  return QString::fromStdString(text)
      .arg(QString::fromStdString(first), QString::fromStdString(second), QString::fromStdString(third))
      .toStdString();
}

void InstallTranslators(QCoreApplication* application) {
  for (QTranslator* translator : translators()) application->installTranslator(translator);
}

}  // namespace framework
