// A decoder gone bad, put into a conversion's worker with LD_PRELOAD: at the first packet it is
// given it does what a hostile movie would make it do. POCKETMOVIE_INTRUDER says what: "crash", or
// "probe:FOLDER" to read FOLDER/secret and $HOME/secret, write FOLDER/written, connect to
// 127.0.0.1 and run /bin/sh, and then say on standard error how many of the five were refused.
// Outside the worker (the program that starts it) it does nothing.
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

namespace {

bool InWorker() {
  std::ifstream name("/proc/self/comm");
  const std::string all{std::istreambuf_iterator<char>(name), std::istreambuf_iterator<char>()};
  return all == "export-worker\n";
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

}  // namespace

extern "C" int avcodec_send_packet(void* decoder, const void* packet) {
  using SendPacket = int (*)(void*, const void*);
  static const auto real = reinterpret_cast<SendPacket>(dlsym(RTLD_NEXT, "avcodec_send_packet"));
  static bool done = false;
  if (!done && InWorker()) {
    const char* what = std::getenv("POCKETMOVIE_INTRUDER");
    if (what && std::strcmp(what, "crash") == 0) raise(SIGSEGV);
    if (what && std::strncmp(what, "probe:", 6) == 0) Intrude(what + 6);
  }
  done = true;
  return real(decoder, packet);
}
