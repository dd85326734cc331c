// The one table that turns a failure into words, in the user's language.
#pragma once

#include <string>

#include "platform/Failure.h"

namespace framework {

// The whole line: the code's text, then its detail and its subject after ": ", unless the text
// places them itself. Empty for no failure.
std::string FailureText(const Failure& failure);
// The same without the subject, for a list that names it already; a text that places its subject
// inside keeps it.
std::string FailureTextWithoutSubject(const Failure& failure);
// A code's text as the translations know it (context "Failure"): %1 stands for the detail, %2 for
// the subject and %3 for the second detail. Null for a value that is no failure.
const char* FailureSourceText(FailureCode code);

}  // namespace framework
