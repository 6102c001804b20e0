#include "tools/formc/source.h"

namespace formc {

std::string_view Trim(std::string_view text) {
  const char* kSpace = " \t\r\n";
  size_t first = text.find_first_not_of(kSpace);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kSpace) - first + 1);
}

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

void AddLine(std::string_view line, const Location& at, std::vector<Section>& sections) {
  if (line.empty() || line[0] == ';' || line[0] == '#') return;
  if (line.front() == '[') {
    if (line.back() != ']') Fail(at, "a section header must end with ']'");
    sections.push_back({std::string(Trim(line.substr(1, line.size() - 2))), at, {}});
    return;
  }
  size_t equals = line.find('=');
  if (equals == std::string_view::npos) Fail(at, "expected 'key = value'");
  std::string key(Trim(line.substr(0, equals)));
  if (key.empty()) Fail(at, "a key is missing before '='");
  if (sections.empty()) Fail(at, "'" + key + "' comes before any section");
  sections.back().entries.push_back({key, std::string(Trim(line.substr(equals + 1))), at});
}

}  // namespace

std::vector<Section> ParseSections(std::string_view text, const std::string& file) {
  if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
    text.remove_prefix(kByteOrderMark.size());
  }
  std::vector<Section> sections;
  int number = 0;
  while (!text.empty()) {
    size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    Location at{file, ++number};
    if (line.find('\0') != std::string_view::npos) Fail(at, "the line holds a zero byte");
    AddLine(Trim(line), at, sections);
  }
  return sections;
}

}  // namespace formc
