// A decoder gone bad, put into a conversion's worker with LD_PRELOAD: at the first packet it is
// given, or the first movie it measures, it does what a hostile movie would make it do.
// POCKETMOVIE_INTRUDER says what: "crash" (a conversion's worker, at its first packet),
// "crash-measuring" (a worker measuring a source whose name holds "crash"), or "probe:FOLDER" (every
// worker) to read FOLDER/secret and $HOME/secret, write FOLDER/written, connect to 127.0.0.1 and run
// /bin/sh, and then say on standard error how many of the five were refused. Outside the workers it
// only tells of a movie measured there, where nothing confines the reading.
#include <arpa/inet.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

extern "C" {
#include <libavformat/avformat.h>
}

namespace {

std::string ProcessName() {
  std::ifstream name("/proc/self/comm");
  return {std::istreambuf_iterator<char>(name), std::istreambuf_iterator<char>()};
}

bool Converting() { return ProcessName() == "export-worker\n"; }
bool Measuring() { return ProcessName() == "measure-worker\n"; }

std::string Asked() {
  const char* what = std::getenv("POCKETMOVIE_INTRUDER");
  return what ? what : "";
}

int Refused(int result) { return result < 0 && (errno == EACCES || errno == EPERM) ? 1 : 0; }

void Intrude(const std::string& folder) {
  int refused = Refused(open((folder + "/secret").c_str(), O_RDONLY));
  refused += Refused(open((std::string(std::getenv("HOME")) + "/secret").c_str(), O_RDONLY));
  refused += Refused(open((folder + "/written").c_str(), O_WRONLY | O_CREAT, 0644));
  const int connection = socket(AF_INET, SOCK_STREAM, 0);
  if (connection < 0) {
    refused += Refused(connection);
  } else {
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(9);
    local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    refused += Refused(connect(connection, reinterpret_cast<sockaddr*>(&local), sizeof local));
  }
  refused += Refused(execl("/bin/sh", "sh", "-c", "exit 0", static_cast<char*>(nullptr)));
  std::fprintf(stderr, "intruder: %d of 5 refused\n", refused);
}

// The first thing a worker does with the movie it was given, either way.
void Act() {
  static bool done = false;
  if (done) return;
  done = true;
  if (Asked().starts_with("probe:")) Intrude(Asked().substr(6));
}

}  // namespace

extern "C" int avformat_find_stream_info(AVFormatContext* format, AVDictionary** options) {
  using FindStreamInfo = int (*)(AVFormatContext*, AVDictionary**);
  static const auto real = reinterpret_cast<FindStreamInfo>(dlsym(RTLD_NEXT, "avformat_find_stream_info"));
  if (Measuring()) {
    if (Asked() == "crash-measuring" && std::strstr(format->url, "crash")) raise(SIGSEGV);
    Act();
  } else if (!Converting()) {
    std::fprintf(stderr, "intruder: a movie measured outside a worker\n");
  }
  return real(format, options);
}

extern "C" int avcodec_send_packet(void* decoder, const void* packet) {
  using SendPacket = int (*)(void*, const void*);
  static const auto real = reinterpret_cast<SendPacket>(dlsym(RTLD_NEXT, "avcodec_send_packet"));
  // Looked at once: the process does not change what it is, and packets come by the thousand.
  static const bool converting = Converting();
  if (converting) {
    if (Asked() == "crash") raise(SIGSEGV);
    Act();
  }
  return real(decoder, packet);
}
