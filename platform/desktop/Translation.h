// The user's language: the program's texts and Qt's own through Qt's translators, chosen by
// LANGUAGE, LC_ALL, LC_MESSAGES and LANG.
#pragma once

#include <string>

class QCoreApplication;

namespace framework {

// The text in the user's language, or as given where there is no translation.
std::string Tr(const char* context, const char* text);
// The text with %1 and %2 replaced in one pass, so that an argument's own "%1" stays as it is.
std::string Fill(const std::string& text, const std::string& first);
std::string Fill(const std::string& text, const std::string& first, const std::string& second);
std::string Fill(const std::string& text, const std::string& first, const std::string& second,
                 const std::string& third);

// The decimal mark of the language the texts are in: ',' in German, '.' in English and Japanese.
char DecimalMark();

// Makes the translators the application's, so that the window description is translated too.
void InstallTranslators(QCoreApplication* application);

}  // namespace framework
