#include "tests/extunits/media/fake_mci.h"

#include <cstring>

namespace fakemci {

namespace {

std::string Recorded(std::string text) {
  const std::string& alias = Fake().alias;
  for (size_t at; !alias.empty() && (at = text.find(alias)) != std::string::npos;) {
    text.replace(at, alias.size(), "%s");
  }
  return text;
}

uint32_t Respond(const std::string& command, char* reply, uint32_t replySize) {
  Fake().sent.push_back(command);
  auto found = Fake().answers.find(command);
  if (found == Fake().answers.end()) return Fake().otherError;
  if (reply && replySize > 0) {
    std::strncpy(reply, found->second.reply.c_str(), replySize - 1);
    reply[replySize - 1] = '\0';
  }
  return found->second.error;
}

uint32_t SendString(const char* command, char* reply, uint32_t replySize) {
  return Respond(Recorded(command), reply, replySize);
}

uint32_t OpenDevice(const char* type, const char* element, const char* alias) {
  return Respond(Recorded(std::string("open ") + type + "|" + element + "|" + alias), nullptr, 0);
}

bool IsWindow(uintptr_t window) { return Fake().windows.count(window) != 0; }
uint32_t Now() { return Fake().now; }

const media::MciPort kPort = {SendString, OpenDevice, IsWindow, Now};

}  // namespace

State& Fake() {
  static State state;
  return state;
}

Installed::Installed(const std::string& alias) : previous_(media::SetPortForTest(&kPort)) {
  Fake() = State();
  Fake().alias = alias;
}

Installed::~Installed() { media::SetPortForTest(previous_); }

}  // namespace fakemci
