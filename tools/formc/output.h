#pragma once
// The files the form compiler writes for a program: a C++ source holding the
// template data, a header declaring it and listing the form's routines as an
// X-macro, and a depfile for the build.
//
// For the name PlayerForm the header reads
//   extern const uint8_t kPlayerFormTemplate[N];
//   constexpr uint32_t kPlayerFormTemplateSize = N;
//   #define PLAYER_FORM_ROUTINES(X) X(FormCreated) X(WindowMoved) ...
//   constexpr uint32_t kPlayerFormRoutineCount = ...;
// and X(Name) stands at the position of Name's handler link.

#include <cstdint>
#include <string>
#include <vector>

namespace formc {

// True for a name that gives valid C++ names: letters and digits, a letter first.
bool IsOutputName(const std::string& name);
// "PlayerForm" -> "PLAYER_FORM_ROUTINES".
std::string RoutineMacroName(const std::string& name);

std::string GeneratedHeader(const std::string& name, const std::string& sourceName,
                            size_t templateSize, const std::vector<std::string>& routines);
std::string GeneratedSource(const std::string& name, const std::string& sourceName,
                            const std::string& headerName, const std::vector<uint8_t>& data);
// "target: input input ..." with spaces in paths escaped.
std::string DepFile(const std::string& target, const std::vector<std::string>& inputs);

}  // namespace formc
