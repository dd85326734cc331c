// Confines the calling process, for good, to what converting one movie needs: the one source file
// to read (and what libraries read as they load: /usr, /lib, /etc, /proc/self), one folder to
// write in (none when it is ""), and no network, new program, debugger or mount. Landlock for the
// files and the network, as far as the kernel offers it; a seccomp filter for the system calls in
// every case.
// Call it before a second thread starts: both hold only for the thread that asks and its future
// threads.
#pragma once

#include <string>

// What the kernel could not give, in a few words ("" when it gave everything); never a failure of
// the run: the conversion goes on with the confinement there is.
std::string ConfineToConversion(const std::string& sourceFile, const std::string& outputFolder);
