#pragma once
// The form compiler: turns a form source into window template data and the
// list of routines its handler links name.
//
// Sections, in order: [form] starts a form; its [unit] sections follow, the
// form's own window unit (id 0x06010000, type window) first; then its [menu]
// items in menu order. Table order is source order.
//
//   [form]  id, name, text, worda, wordb
//   [unit]  type (name or 0x code), id, name, left, top, width, height,
//           visible (default true), disable, tabstop, taborder, parent,
//           children, cursor (0..14 or @file), tag, eventlink,
//           on.<event> = Routine, prop.<Property> = value, raw = <kind> <value>
//   [menu]  id, name, level, shortcut, hidden, grey, checked, caption,
//           on.click = Routine, eventlink
//
// A unit without prop. or raw entries stores an empty property block (all
// defaults); with prop. entries it stores its type's whole block.

#include <string>
#include <string_view>
#include <vector>

#include "forms/template.h"
#include "tools/formc/diagnostics.h"

namespace formc {

struct CompiledForms {
  forms::TemplateData data;
  std::vector<std::string> routines;  // handler link n names routines[n]
  std::vector<std::string> files;     // the source and every file it names
};

// `file` names the source in messages; `folder` is where the files it names
// lie. Both fail with a CompileError ("file:line: message").
CompiledForms CompileText(std::string_view text, const std::string& file,
                          const std::string& folder);
CompiledForms CompileFile(const std::string& path);

}  // namespace formc
