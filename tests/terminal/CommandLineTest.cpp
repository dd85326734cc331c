#include <algorithm>
#include <utility>

#include "platform/OptionRanges.h"
#include "platform/OutputFormats.h"
#include "platform/desktop/FailureText.h"
#include "platform/desktop/NumberText.h"
#include "platform/terminal/BatchPlan.h"
#include "platform/terminal/CommandLine.h"
#include "tests/framework/TestWindow.h"

using namespace framework;

namespace {

std::vector<const char*> WithProgramName(std::vector<const char*> arguments) {
  arguments.insert(arguments.begin(), "pocketmovie");
  return arguments;
}

RunOptions Parse(const std::vector<const char*>& arguments) {
  const auto argv = WithProgramName(arguments);
  return ParseCommandLine(int(argv.size()), argv.data());
}

int RunMain(const std::vector<const char*>& arguments) {
  auto argv = WithProgramName(arguments);
  return NSApplicationMain(int(argv.size()), argv.data());
}

std::string PackagingFile(const std::string& name) {
  return ReadWholeFile(std::string(POCKETMOVIE_TESTS_DIR) + "/../packaging/" + name);
}

// The text from the line that starts with `start` up to the next line that starts with `end`.
std::string Section(const std::string& text, const std::string& start, const std::string& end) {
  const size_t from = text.find("\n" + start);
  if (from == std::string::npos) return "";
  return text.substr(from + 1, text.find("\n" + end, from + 1) - from);
}

// "16 to 4096", as every text that states a range writes it.
std::string RangeText(const OptionRange& range) {
  return FormatDouble(range.least) + " to " + FormatDouble(range.most);
}

}  // namespace

TEST(CommandLine, ReadsOneRunsOptionsAndRefusesUnusableOnesWithStatusTwo) {
  // The values themselves are seen in what the built program's runs write; here the other spellings.
  RunOptions options = Parse({"--size", "200x150", "--size=qcif", "--", "-odd name.mov"});
  EXPECT_FALSE(options.error);
  EXPECT_EQ(options.sizeTag, 11);
  EXPECT_FALSE(options.customWidth || options.customHeight);
  EXPECT_EQ(options.movies, std::vector<std::string>{"-odd name.mov"});
  for (const auto& [limit, kilobytes] : {std::pair{"1M", 1024L}, std::pair{"1.5MB", 1536L}, std::pair{"300k", 300L},
                                         std::pair{"450", 450L}, std::pair{"none", 0L}}) {
    EXPECT_EQ(Parse({"--fit", limit}).fitKilobytes, kilobytes) << limit;
  }

  // A size out of range says which limit it broke (the largest: with the table's ranges below).
  EXPECT_EQ(FailureText(Parse({"--size", "1x1"}).error), "size '1x1' is too small: at least 16x16");

  for (const std::vector<const char*>& bad :
       std::vector<std::vector<const char*>>{{"--format", "avi"}, {"--size", "12x"}, {"--size", "160"},
                                             {"--size", "16x15"}, {"--size", "4096x4097"},
                                             {"--fps", "nan"}, {"--fps", "12fps"}, {"--fps", "1e-320"},
                                             {"--rate", "1.5"}, {"--rate"}, {"--fit", "300X"}, {"--fit", "-1K"},
                                             {"--fit", "4096M"}, {"--fit", "0.1"}, {"--colour", "red"}, {"--output-dir="}}) {
    EXPECT_TRUE(Parse(bad).error) << bad[0];
  }

  // Before anything runs.
  RecordingController& controller = TestController();
  controller.calls.clear();
  EXPECT_EQ(RunMain({"--format", "mkv", "clip.mov"}), 2);
  EXPECT_EQ(RunMain({"--headless"}), 2) << "no movie and no window";
  EXPECT_EQ(RunMain({"--help"}), 0);
  EXPECT_TRUE(controller.calls.empty());
}

// Every range of the table holds its option to it from both sides: the last value taken, the first
// one refused; and the refusal, --help and the manual page say the same range. A format added to the
// table is a value of --format, said in the refusal, --help, the manual page and the completion, and
// its outputs are told from movies when a folder is searched.
TEST(CommandLine, TheTablesRangesAndFormatsAreInTheOptionsTheMessagesTheHelpAndThePackaging) {
  const std::string help = UsageText();
  const std::string page = PackagingFile("pocketmovie.1");
  struct Option {
    const char* name;
    const OptionRange& range;
    const char* height;  // a size's other side, which stays in range; nullptr for a plain number
  };
  const std::string smallest = FormatDouble(kPictureSideRange.least), largest = FormatDouble(kPictureSideRange.most);
  for (const Option& option :
       {Option{"--fps", kFramesPerSecondRange, nullptr}, {"--rate", kKilobytesPerSecondRange, nullptr},
        {"--jobs", kJobsRange, nullptr}, {"--size", kPictureSideRange, smallest.c_str()},
        {"--size", kPictureSideRange, largest.c_str()}}) {
    const OptionRange& range = option.range;
    const auto value = [&option](double number) {
      return FormatDouble(number) + (option.height ? std::string("x") + option.height : "");
    };
    SCOPED_TRACE(std::string(option.name) + " " + value(range.least));
    EXPECT_FALSE(Parse({option.name, value(range.least).c_str()}).error);
    EXPECT_FALSE(Parse({option.name, value(range.most).c_str()}).error);
    const std::string below = value(range.least - (range.fractions ? range.least / 10 : 1));
    const std::string above = value(range.most + (range.fractions ? range.most / 1000 : 1));
    EXPECT_TRUE(Parse({option.name, below.c_str()}).error);
    const std::string refusal = FailureText(Parse({option.name, above.c_str()}).error);
    const std::string said = option.height ? "at most " + largest + "x" + largest : "from " + RangeText(range);
    EXPECT_NE(refusal.find(said), std::string::npos) << refusal;

    const std::string helpLines = Section(help, std::string("  ") + option.name, "  --");
    const std::string pageLines = Section(page, std::string(".BI \\-\\-") + (option.name + 2), ".TP");
    EXPECT_NE(helpLines.find(RangeText(range)), std::string::npos) << helpLines;
    EXPECT_NE(pageLines.find(RangeText(range)), std::string::npos) << pageLines;
  }

  const std::string refusal = FailureText(Parse({"--format", "avi"}).error);
  const std::string helpLine = Section(help, "  --format", "  --");
  const std::string pageLines = Section(page, ".BI \\-\\-format", ".TP");
  const std::string completion = PackagingFile("pocketmovie.bash-completion");
  const std::string desktopEntry = PackagingFile("pocketmovie.desktop");
  TempDir folder;
  std::vector<std::string> movies = {folder.write("clip.mov", "")};
  std::string names;
  for (const OutputFormat& format : kOutputFormats) {
    SCOPED_TRACE(format.name);
    EXPECT_EQ(Parse({"--format", format.name}).formatTag, format.tag);
    for (const std::string& text : {refusal, helpLine, pageLines}) {
      EXPECT_NE(text.find(format.name), std::string::npos) << text;
    }
    EXPECT_NE(completion.find(std::string("*") + format.extension + "|"), std::string::npos) << "completed as a movie";
    const std::string settingsFile = format.settingsFile ? std::string("/pocketmovie/") + format.settingsFile : "";
    EXPECT_NE(page.find(settingsFile), std::string::npos) << "its settings file in FILES";
    EXPECT_NE(desktopEntry.find(std::string(format.mimeType) + ";"), std::string::npos) << "opened as a movie";
    names += (names.empty() ? "" : " ") + std::string(format.name);
    // A movie of the format is a source; what this program made of clip.mov is not.
    movies.push_back(folder.write(std::string("phone") + format.extension, ""));
    folder.write(std::string("clip.mov") + format.extension, "");
    folder.write(std::string("clip.mov (2)") + format.extension, "");
  }
  EXPECT_NE(completion.find("compgen -W '" + names + "'"), std::string::npos) << "the values of --format, in order";
  std::sort(movies.begin(), movies.end());
  EXPECT_EQ(FindMovies({folder.path()}, false), movies);
}
