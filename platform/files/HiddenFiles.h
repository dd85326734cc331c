// Every hidden name the program writes beside a user's files, and the removal of those whose
// writer is gone. A reservation is an empty lock file, `.pocketmovie-PID-N`, held under an advisory
// lock for as long as its writer lives, and the names that belong to it, `.pocketmovie-PID-N.part`
// and the like. The lock, not the process ID, tells a live writer from a gone one: it holds across
// hosts that share a folder and across PID namespaces, and it goes with the writer however that
// ends. The process ID and the count only keep the names of different writers apart.
// Internal to the platform; the FSSpec form is FSpCreateTemporaryBeside and FSpReplaceFile.
#pragma once

#include <memory>
#include <string>

namespace hidden_files {

enum class HiddenKind {
  part,        // a file written and then renamed into place: an output movie, a settings file
  frames,      // the overflow of kept frames, named only for a moment where a file cannot be nameless
  statistics,  // an encoder's first-pass statistics, with the files x264 makes from that name
  staging,     // a folder a batch's run writes in
};

class HiddenName {
 public:
  // Reserves a new name in `folder`, after removing what gone writers left there: 0, or the
  // errno value of the failure.
  static int Reserve(const std::string& folder, std::unique_ptr<HiddenName>* made);
  // Removes whatever still stands under the name, of every kind, and then the lock file.
  ~HiddenName();
  HiddenName(const HiddenName&) = delete;
  HiddenName& operator=(const HiddenName&) = delete;

  std::string path(HiddenKind kind) const;
  // A program this process execs holds the lock too, so the name lives while either of them does.
  void keepAcrossExec() const;

 private:
  HiddenName(std::string folder, std::string stem, int lock);

  std::string folder_;
  std::string stem_;
  int lock_;
};

// Removes the hidden names in `folder` whose writer is gone (killed, or lost with its host). Those
// of a live writer, on this host or another, stay. What cannot be removed is left for a later run.
void RemoveAbandonedIn(const std::string& folder);

// A nameless file in `folder` for reading and writing, gone when closed however the process ends;
// its descriptor, or -1 with errno set.
int OpenNamelessFileIn(const std::string& folder);

// For callers that keep only a path: a new name of that kind reserved for the rest of the process,
// until Release is given the same path. 0, or the errno value of the failure.
int ReserveForPath(const std::string& folder, HiddenKind kind, std::string* path);
void Release(const std::string& path);

// The folder part of a path: "." for a bare name, "/" for a file at the root.
std::string FolderOf(const std::string& path);

}  // namespace hidden_files
