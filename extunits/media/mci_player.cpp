#include "extunits/media/mci_player.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <limits>
#include <utility>

namespace media {

namespace {

std::atomic<const MciPort*> replacedPort{nullptr};

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsOneOf(const std::string& text, std::initializer_list<const char*> names) {
  for (const char* name : names) {
    if (text == name) return true;
  }
  return false;
}

// Window handles are 32-bit values on every Windows, also in 64-bit processes.
int64_t HandleNumber(uintptr_t window) { return static_cast<int32_t>(window); }

}  // namespace

const MciPort& Port() {
  const MciPort* port = replacedPort.load();
  return port ? *port : PlatformPort();
}

const MciPort* SetPortForTest(const MciPort* port) { return replacedPort.exchange(port); }

// ---- Rules that need no device ---------------------------------------------------

std::string ExtensionOf(const char* fileName) {
  const char* name = fileName ? fileName : "";
  const char* dot = std::strrchr(name, '.');
  std::string extension(dot ? dot + 1 : name);
  extension.resize(std::min<size_t>(extension.size(), 3));
  for (char& c : extension) c = AsciiLower(c);
  return extension;
}

const char* DeviceTypeFor(const std::string& extension) {
  if (extension == "avi") return "avivideo";
  if (extension == "wav") return "waveaudio";
  if (extension == "cda") return "cdaudio";
  if (IsOneOf(extension, {"rm", "ra", "mp3", "ram"})) return "MPEGvideo";
  if (IsOneOf(extension, {"mid", "rmi", "idi"})) return "Sequencer";
  if (IsOneOf(extension,
              {"asf", "wma", "asx", "ivf", "lsf", "lsx", "p2v", "wax", "wvx", "wmx", "wmp"})) {
    return "MPEGvideo2";
  }
  return "MPEGvideo";
}

bool HasVideo(const std::string& extension) {
  return !IsOneOf(extension, {"mp3", "wav", "cda", "mid"});
}

std::string AliasFromGuidText(const char* guidText) {
  std::string alias;
  for (const char* p = guidText ? guidText : ""; *p; ++p) {
    if (*p != '-') alias += *p;
  }
  return alias;
}

int32_t ParseLeadingInt(const char* text) {
  const char* p = text ? text : "";
  while (*p == ' ' || *p == '\t') ++p;
  const bool negative = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  int64_t value = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    value = std::min<int64_t>(value * 10 + (*p - '0'), int64_t{1} << 32);
  }
  value = negative ? -value : value;
  value = std::max<int64_t>(value, std::numeric_limits<int32_t>::min());
  return static_cast<int32_t>(std::min<int64_t>(value, std::numeric_limits<int32_t>::max()));
}

// ---- The player --------------------------------------------------------------------

MciPlayer::MciPlayer(std::string alias) : alias_(std::move(alias)) {}

MciPlayer::~MciPlayer() { Send("close %s"); }

uint32_t MciPlayer::Send(const char* format, char* reply, uint32_t replySize) {
  return SendNumber(format, 0, reply, replySize);
}

// The alias fills the "%s" of every format; "%d", where there is one, takes
// `number`. With an empty alias nothing is sent: the text would name no
// device or, worse, read a keyword as a device name.
uint32_t MciPlayer::SendNumber(const char* format, int64_t number, char* reply,
                               uint32_t replySize) {
  if (alias_.empty()) return kNoAliasError;
  char command[160];
  std::snprintf(command, sizeof command, format, alias_.c_str(), static_cast<int>(number));
  const uint32_t error = Port().sendString(command, reply, replySize);
  if (reply && replySize > 0) reply[replySize - 1] = '\0';
  return error;
}

bool MciPlayer::Open(const char* fileName) {
  Send("close %s");
  fileName_ = fileName ? fileName : "";
  extension_ = ExtensionOf(fileName_.c_str());
  played_ = false;
  sawPlaying_ = false;
  millisecondsSet_ = false;
  const uint32_t error = alias_.empty() ? kNoAliasError
                                        : Port().openDevice(DeviceTypeFor(extension_),
                                                            fileName_.c_str(), alias_.c_str());
  hasVideo_ = HasVideo(extension_);
  if (hasVideo_ && windowHandle_ != 0) {
    SendNumber("window %s handle %d", HandleNumber(windowHandle_));
  }
  return error == 0;
}

bool MciPlayer::Play(int32_t position, std::optional<uintptr_t> window) {
  paused_ = false;
  bool ok = true;
  if (window && Port().isWindow(*window)) {
    windowHandle_ = *window;
    ok = SendNumber("window %s handle %d", HandleNumber(*window)) == 0;
  }
  const uint32_t error = position == -1 ? Send("play %s") : SendNumber("play %s from %d", position);
  if (error == 0) {
    played_ = true;
    sawPlaying_ = false;
    playedFrom_ = std::max(position, 0);
    runningSince_ = Port().milliseconds();
  }
  return ok && error == 0;
}

// The flag flips before the command is sent, whatever MCI answers, so after
// a refused pause the next call sends "resume".
bool MciPlayer::TogglePause() {
  const bool resuming = paused_;
  paused_ = !paused_;
  const uint32_t error = Send(resuming ? "resume %s" : "pause %s");
  if (resuming) runningSince_ = Port().milliseconds();
  return error == 0;
}

int32_t MciPlayer::GetLength() {
  millisecondsSet_ = Send("set %s time format milliseconds") == 0;
  char reply[50] = {};
  if (Send("status %s length", reply, sizeof reply) != 0) return 0;
  return ParseLeadingInt(reply);
}

// The end of a file. MCI on Windows keeps reporting position = length once a
// file has played to its end, and callers find the end of a song by that
// comparison. Wine's MCI instead stops the device and reports the position
// the play started from (0 after a plain play); and for every later play of
// the same device it answers "stopped" while it plays, then rests at the
// length. So after an accepted play, with no pause in force, a device that
// answers "stopped" has stopped at its end by itself when it was seen playing
// since that play, when its position has reached the length, or when more
// milliseconds have passed since the play (or the last resume) than the rest
// of the file from where that play started lasts. Its position is then
// reported as the length, on both systems.
// Before any play, and while paused, the position is reported as MCI gives it.
int32_t MciPlayer::GetPosition() {
  char reply[255] = {};
  if (Send("status %s position", reply, sizeof reply) != 0) return -1;
  const int32_t position = ParseLeadingInt(reply);
  if (!played_ || paused_) return position;
  char mode[32] = {};
  if (Send("status %s mode", mode, sizeof mode) != 0) return position;
  if (std::strcmp(mode, "playing") == 0) sawPlaying_ = true;
  if (std::strcmp(mode, "stopped") != 0) return position;
  char length[50] = {};
  if (Send("status %s length", length, sizeof length) != 0) return position;
  const int32_t total = ParseLeadingInt(length);
  return StoppedAtEnd(position, total) ? total : position;
}

bool MciPlayer::StoppedAtEnd(int32_t position, int32_t length) {
  if (sawPlaying_ || position >= length) return true;
  // The clock speaks milliseconds; the length does once GetLength has set
  // them. After a resume the rest is shorter still, so the test stays safe.
  const int64_t elapsed = static_cast<uint32_t>(Port().milliseconds() - runningSince_);
  return millisecondsSet_ && elapsed >= int64_t{length} - playedFrom_;
}

bool MciPlayer::SetVolume(std::optional<int32_t> left, std::optional<int32_t> right) {
  const int64_t leftMci = left ? int64_t{*left} * 10 : -1;
  const int64_t rightMci = right ? int64_t{*right} * 10 : -1;
  bool result = false;
  if (leftMci >= 0 && leftMci <= 1000) {
    result = SendNumber("setaudio %s left volume to %d", leftMci) == 0;
  }
  if (rightMci >= 0 && rightMci <= 1000) {
    const bool sent = SendNumber("setaudio %s right volume to %d", rightMci) == 0;
    result = result && sent;
  }
  return result;
}

// Each query starts from a cleared reply, so a failed query reads as 0 and
// never as the other channel's value.
bool MciPlayer::GetVolume(int32_t* left, int32_t* right) {
  char reply[32] = {};
  const bool leftOk = Send("status %s left volume", reply, sizeof reply) == 0;
  const int32_t leftMci = ParseLeadingInt(reply);
  std::memset(reply, 0, sizeof reply);
  const bool rightOk = Send("status %s right volume", reply, sizeof reply) == 0;
  const int32_t rightMci = ParseLeadingInt(reply);
  if (left) *left = leftMci / 10;
  if (right) *right = rightMci / 10;
  return leftOk && rightOk;
}

}  // namespace media
