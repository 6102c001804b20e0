#pragma once
// MciPlayer: one media file at a time through the Media Control Interface.
// It owns one MCI device, opened under an alias that never changes, and turns
// each request into MCI command strings. Every string and the one device open
// go through the MCI port below, which tests replace to see the exact commands
// and to answer them without a sound device.

#include <cstdint>
#include <optional>
#include <string>

namespace media {

// Where MCI requests go. Every function answers 0 for success or an MCI
// error code, like mciSendStringA.
struct MciPort {
  // One command string; the reply (always NUL-terminated) goes into `reply`.
  uint32_t (*sendString)(const char* command, char* reply, uint32_t replySize);
  // Opens a device by type name with a file as its element, under an alias.
  uint32_t (*openDevice)(const char* deviceType, const char* element, const char* alias);
  // True when the value names an existing window.
  bool (*isWindow)(uintptr_t window);
  // A millisecond clock (wrapping at 2^32).
  uint32_t (*milliseconds)();
};

// The port in use: the platform's unless a test replaced it.
const MciPort& Port();
// Replaces the port; null restores the platform's. Returns the previous one.
const MciPort* SetPortForTest(const MciPort* port);
// The platform's own port (mciSendStringA and friends on Windows; elsewhere
// a port on which every request fails).
const MciPort& PlatformPort();

// Answered for requests that are never sent because the alias is empty.
constexpr uint32_t kNoAliasError = 263;  // MCIERR_INVALID_DEVICE_NAME

// ---- Rules that need no device ---------------------------------------------------

// The text after the last "." (the whole name without one), at most three
// characters, lower-cased.
std::string ExtensionOf(const char* fileName);
// The MCI device type for a lower-cased extension.
const char* DeviceTypeFor(const std::string& extension);
// Whether a file of this extension may show video.
bool HasVideo(const std::string& extension);
// An alias from a GUID's text: every "-" removed.
std::string AliasFromGuidText(const char* guidText);
// Leading decimal digits (after blanks and a sign) as a number; 0 when none.
// Numbers beyond the 32-bit range saturate.
int32_t ParseLeadingInt(const char* text);

class MciPlayer {
 public:
  // An empty alias makes every request fail without being sent.
  explicit MciPlayer(std::string alias);
  ~MciPlayer();  // closes the device
  MciPlayer(const MciPlayer&) = delete;
  MciPlayer& operator=(const MciPlayer&) = delete;

  bool Open(const char* fileName);
  // position -1 plays from where the device stands.
  bool Play(int32_t position, std::optional<uintptr_t> window);
  bool TogglePause();
  int32_t GetLength();
  int32_t GetPosition();
  bool SetVolume(std::optional<int32_t> left, std::optional<int32_t> right);
  // Both queries are always sent; the values are in 0..100 units.
  bool GetVolume(int32_t* left, int32_t* right);

  const std::string& alias() const { return alias_; }
  const std::string& fileName() const { return fileName_; }
  const std::string& extension() const { return extension_; }
  bool hasVideo() const { return hasVideo_; }
  bool paused() const { return paused_; }
  uintptr_t windowHandle() const { return windowHandle_; }

 private:
  // Sends the format with the alias in its "%s" (and `number` in its "%d").
  uint32_t Send(const char* format, char* reply = nullptr, uint32_t replySize = 0);
  uint32_t SendNumber(const char* format, int64_t number, char* reply = nullptr,
                      uint32_t replySize = 0);
  bool StoppedAtEnd(int32_t position, int32_t length);

  const std::string alias_;
  uintptr_t windowHandle_ = 0;
  bool hasVideo_ = false;
  bool paused_ = false;
  std::string extension_;
  std::string fileName_;

  // What GetPosition needs to tell a file that played to its end from one
  // that was never started (see GetPosition).
  bool played_ = false;           // a play was accepted since the last open
  bool sawPlaying_ = false;       // the device answered "playing" since that play
  bool millisecondsSet_ = false;  // GetLength set the time format since the open
  int32_t playedFrom_ = 0;        // where that play started (0 when not said)
  uint32_t runningSince_ = 0;     // the clock at that play or at the last resume
};

}  // namespace media
