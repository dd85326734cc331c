// Every failure the program can give reads in each language the program speaks.
#include <gtest/gtest.h>

#include <QString>
#include <QTranslator>

#include "platform/desktop/FailureText.h"

TEST(FailureText, EveryCodeHasItsGermanAndJapaneseText) {
  for (const char* language : {"de", "ja"}) {
    QTranslator translator;
    ASSERT_TRUE(translator.load(QStringLiteral(":/pocketmovie/translations/pocketmovie_%1.qm").arg(language)));
    for (int code = int(FailureCode::none) + 1; code < int(FailureCode::count); ++code) {
      const char* english = framework::FailureSourceText(FailureCode(code));
      ASSERT_NE(english, nullptr) << "code " << code << " has no text";
      const std::string text = translator.translate("Failure", english).toStdString();
      EXPECT_FALSE(text.empty() || text == english) << language << ": " << english;
    }
  }
}

// (A text that places its detail, and one without its subject, are seen in the refusals of a size
// limit and in a batch's list of failures.)
TEST(FailureText, DetailAndSubjectFollowTheTextUnlessItPlacesThem) {
  EXPECT_EQ(framework::FailureText({FailureCode::cannotEncodeOutput, "/m/clip.3gp", "Invalid argument"}),
            "cannot encode the output: Invalid argument: /m/clip.3gp");
  // A path that holds a placeholder of its own stays as it is.
  EXPECT_EQ(framework::FailureText({FailureCode::cannotReadFile, "/m/%1.mov", "Input/output error"}),
            "cannot read /m/%1.mov: Input/output error");
  EXPECT_EQ(framework::FailureText({}), "");
}
