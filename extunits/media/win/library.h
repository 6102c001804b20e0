#pragma once
// The multimedia library (index 5 of the program's library table): eight
// type slots with `MediaPlay` as type 6, and the seven MediaPlay commands in
// the order GetVolume, SetVolume, Open, Play, TogglePause, GetPosition,
// GetLength.

#include "runtime/program.h"

namespace media {

inline constexpr int32_t kLibraryIndex = 5;
inline constexpr uint32_t kTypeSlots = 8;

const rt::LibraryDescriptor& Library();

}  // namespace media
