#pragma once
// The control skin engine on Windows: a list of skinned windows of the
// calling thread, one node each, the engine's window procedure that stands
// in front of each window's own procedure, and the thread hook that skins
// windows as they are created.

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "commands/skin/rules.h"

namespace skin {

// One skinned window. The brush and text colour are the ones its parent
// gave at the last WM_ERASEBKGND (the brush is the parent's, not ours).
struct SkinNode {
  HWND window = nullptr;
  Kind kind = Kind::kNone;
  uint32_t flags = 0;
  HBRUSH parentBrush = nullptr;
  COLORREF textColour = 0;
  WNDPROC ownProc = nullptr;
};

// Stores the scheme, switches the engine off (every skinned window gets its
// own procedure back, unless another procedure was put over the engine's
// since, then the hook goes) and, for schemes 1 to 3, on again over every
// window of the thread. Answers 1 when switched on, else the
// result of removing the hook (0 when none was set).
intptr_t SetVisualStyle(int32_t scheme);

int32_t CurrentScheme();
// The node of a skinned window, null for others (valid until the next
// message the engine handles).
const SkinNode* NodeOf(HWND window);
size_t SkinnedCount();

// Paints a skinned window the way its kind looks in `scheme`.
void PaintNode(const SkinNode& node, int32_t scheme);

}  // namespace skin
