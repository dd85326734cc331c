#include "platform/media/exporters/WorkerMessages.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <type_traits>

namespace {

constexpr char kProgressTag = 'P';
constexpr char kOutcomeTag = 'O';

class Writer {
 public:
  template <typename Value>
  void operator()(const Value& value) {
    if constexpr (std::is_same_v<Value, std::string>) {
      number(std::int64_t(value.size()));
      bytes_ += value;
    } else if constexpr (std::is_floating_point_v<Value>) {
      raw(double(value));
    } else {
      number(std::int64_t(value));
    }
  }
  std::string take() { return std::move(bytes_); }

 private:
  void number(std::int64_t value) { raw(value); }
  template <typename Raw>
  void raw(Raw value) {
    char copy[sizeof value];
    std::memcpy(copy, &value, sizeof value);
    bytes_.append(copy, sizeof value);
  }
  std::string bytes_;
};

class Reader {
 public:
  explicit Reader(std::string_view bytes) : bytes_(bytes) {}
  template <typename Value>
  void operator()(Value& value) {
    if constexpr (std::is_same_v<Value, std::string>) {
      const std::int64_t size = raw<std::int64_t>();
      if (size < 0 || std::uint64_t(size) > bytes_.size()) return fail();
      value.assign(bytes_.substr(0, size_t(size)));
      bytes_.remove_prefix(size_t(size));
    } else if constexpr (std::is_floating_point_v<Value>) {
      value = Value(raw<double>());
    } else {
      value = Value(raw<std::int64_t>());
    }
  }
  bool complete() const { return ok_ && bytes_.empty(); }

 private:
  template <typename Raw>
  Raw raw() {
    Raw value{};
    if (bytes_.size() < sizeof value) {
      fail();
      return value;
    }
    std::memcpy(&value, bytes_.data(), sizeof value);
    bytes_.remove_prefix(sizeof value);
    return value;
  }
  void fail() {
    ok_ = false;
    bytes_ = {};
  }
  std::string_view bytes_;
  bool ok_ = true;
};

// The one list of what travels, for writing and reading alike.
template <typename Job, typename Visit>
void EachJobField(Job& worker, Visit& visit) {
  auto& job = worker.job;
  visit(job.sourcePath), visit(job.outputPath), visit(job.container), visit(job.startSeconds);
  visit(job.durationSeconds), visit(job.videoCodec), visit(job.baselineProfile), visit(job.width);
  visit(job.height), visit(job.frameRate), visit(job.keyFrameInterval), visit(job.videoBitRate), visit(job.fit);
  visit(job.sizeLimitBytes), visit(job.onePass), visit(job.audioCodec), visit(job.audioBitRate);
  visit(job.audioSampleRate), visit(job.audioChannels), visit(worker.verbose), visit(worker.measureOnly);
}

template <typename Some, typename Visit>
void EachFailureField(Some& failure, Visit& visit) {
  visit(failure.code), visit(failure.subject), visit(failure.detail), visit(failure.secondDetail);
}

template <typename Facts, typename Visit>
void EachFactsField(Facts& facts, Visit& visit) {
  visit(facts.hasVideo), visit(facts.hasAudio), visit(facts.codedWidth), visit(facts.codedHeight);
  visit(facts.sampleAspectNum), visit(facts.sampleAspectDen), visit(facts.rotationDegrees), visit(facts.frameRate);
  visit(facts.audioSampleRate), visit(facts.audioChannels), visit(facts.durationSeconds), visit(facts.videoBitRate);
  visit(facts.audioBitRate), visit(facts.wholeBitRate), visit(facts.durationKnown), visit(facts.naturalWidth);
  visit(facts.naturalHeight);
}

// A message on the report pipe: its length, its tag, its fields.
std::string Framed(char tag, const std::string& fields) {
  Writer frame;
  frame(std::int64_t(fields.size() + 1));
  return frame.take() + tag + fields;
}

}  // namespace

std::string EncodeWorkerJob(const WorkerJob& job) {
  Writer writer;
  EachJobField(job, writer);
  return writer.take();
}

bool DecodeWorkerJob(std::string_view bytes, WorkerJob* job) {
  Reader reader(bytes);
  EachJobField(*job, reader);
  return reader.complete();
}

std::string EncodeProgressReport(double fractionDone) {
  Writer writer;
  writer(fractionDone);
  return Framed(kProgressTag, writer.take());
}

std::string EncodeOutcomeReport(const WorkerOutcome& outcome) {
  Writer writer;
  writer(outcome.status);
  EachFailureField(outcome.failure, writer);
  EachFailureField(outcome.notice, writer);
  EachFactsField(outcome.facts, writer);
  return Framed(kOutcomeTag, writer.take());
}

bool TakeWorkerReport(std::string* received, WorkerReport* report, bool* malformed) {
  *malformed = false;
  std::int64_t length = 0;
  if (received->size() < sizeof length) return false;
  std::memcpy(&length, received->data(), sizeof length);
  if (length < 1 || length > (1 << 20)) {
    *malformed = true;
    return false;
  }
  if (received->size() < sizeof length + size_t(length)) return false;
  const char tag = (*received)[sizeof length];
  Reader reader(std::string_view(*received).substr(sizeof length + 1, size_t(length) - 1));
  *report = {};
  if (tag == kProgressTag) {
    double fraction = 0;
    reader(fraction);
    report->fractionDone = fraction;
  } else if (tag == kOutcomeTag) {
    WorkerOutcome outcome;
    reader(outcome.status);
    EachFailureField(outcome.failure, reader);
    EachFailureField(outcome.notice, reader);
    EachFactsField(outcome.facts, reader);
    if (outcome.failure.code < FailureCode::count && outcome.notice.code < FailureCode::count) report->outcome = outcome;
  }
  received->erase(0, sizeof length + size_t(length));
  *malformed = !reader.complete() || (!report->fractionDone && !report->outcome);
  return !*malformed;
}

bool WriteWholly(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    done += size_t(written);
  }
  return true;
}

std::string ReadToEnd(int fd) {
  std::string bytes;
  char buffer[4096];
  for (;;) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return bytes;
    bytes.append(buffer, size_t(got));
  }
}
