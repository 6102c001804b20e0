// formc: compiles a form source into window template data for a program.
//
//   formc SOURCE --name NAME --cpp OUT.cpp --header OUT.h [--bin OUT.bin] [--depfile OUT.d]
//
// Writes the C++ source that holds the template data and the header that
// declares it and lists the form's routines (see output.h); --bin writes the
// bare template data, --depfile the files the result depends on. Problems
// in the source are reported as "file:line: message" and exit with 1.

#include <cstdio>
#include <exception>
#include <fstream>
#include <map>
#include <string>

#include "tools/formc/compiler.h"
#include "tools/formc/output.h"

namespace {

struct Options {
  std::string source;
  std::map<std::string, std::string> values;  // "--name" -> "PlayerForm"
};

bool ParseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg.rfind("--", 0) != 0) {
      if (!options.source.empty()) return false;
      options.source = arg;
    } else if (i + 1 < argc) {
      options.values[arg] = argv[++i];
    } else {
      return false;
    }
  }
  for (const auto& [key, value] : options.values) {
    if (key != "--name" && key != "--cpp" && key != "--header" && key != "--bin" &&
        key != "--depfile") {
      return false;
    }
  }
  return !options.source.empty() && options.values.count("--name") &&
         options.values.count("--cpp") && options.values.count("--header") &&
         formc::IsOutputName(options.values["--name"]);
}

std::string BaseName(const std::string& path) { return path.substr(path.rfind('/') + 1); }

bool WriteFile(const std::string& path, const void* data, size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
  if (out.flush()) return true;
  std::fprintf(stderr, "formc: cannot write %s\n", path.c_str());
  return false;
}

bool WriteText(const std::string& path, const std::string& text) {
  return WriteFile(path, text.data(), text.size());
}

bool WriteOutputs(Options& o, const formc::CompiledForms& compiled) {
  const std::vector<uint8_t> data = forms::WriteTemplate(compiled.data);
  const std::string& name = o.values["--name"];
  const std::string source = BaseName(o.source);
  const std::string& header = o.values["--header"];
  bool ok = WriteText(header, formc::GeneratedHeader(name, source, data.size(), compiled.routines));
  ok = ok &&
       WriteText(o.values["--cpp"], formc::GeneratedSource(name, source, BaseName(header), data));
  if (ok && o.values.count("--bin")) ok = WriteFile(o.values["--bin"], data.data(), data.size());
  if (ok && o.values.count("--depfile")) {
    ok = WriteText(o.values["--depfile"], formc::DepFile(o.values["--cpp"], compiled.files));
  }
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    std::fprintf(stderr,
                 "usage: formc SOURCE --name NAME --cpp OUT.cpp --header OUT.h "
                 "[--bin OUT.bin] [--depfile OUT.d]\n(NAME: letters and digits, a letter "
                 "first)\n");
    return 2;
  }
  try {
    formc::CompiledForms compiled = formc::CompileFile(options.source);
    return WriteOutputs(options, compiled) ? 0 : 1;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
}
