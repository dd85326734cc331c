// The one way the program's process ends once it has run: at once, with no destructors of objects
// an export may still be using, and nothing buffered lost.
#pragma once

namespace framework {

// Flushes every stream and ends the process with `status`. Built with the address sanitizer, it
// first looks for leaks, which would otherwise never be reported, and fails the run if it finds any.
[[noreturn]] void EndProcess(int status);

}  // namespace framework
