// Hidden files written beside a file and then put in its place in one step, so the file is never
// half-written. Each name holds the writing process's ID and nothing of the file's own name: it
// stays short whatever the file is called, and a later process can tell when one was abandoned.
// Internal to the platform; the FSSpec form is FSpCreateTemporaryBeside and FSpReplaceFile.
#pragma once

#include <string>

namespace temporary_files {

// A new, empty, hidden file in `folder`, made with the permissions a new file gets; its open
// descriptor (write only), or -1 with errno set. Leftovers of ended processes there go first.
int CreateIn(const std::string& folder, std::string* path);

// A name for the next temporary file of this process, not yet used by it.
std::string NextName();

// Removes the temporary files in `folder` whose process has ended (killed, or lost with the
// machine). Those of a running process, this one's included, stay.
void RemoveAbandonedIn(const std::string& folder);

// The folder part of a path: "." for a bare name, "/" for a file at the root.
std::string FolderOf(const std::string& path);

}  // namespace temporary_files
