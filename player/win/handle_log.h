#pragma once
// A test-only log of what the player holds, for soak runs: when the
// environment variable PLAYER_HANDLE_LOG names a file, a thread appends one
// line a second: milliseconds since start, the live handles the program's
// owners hold, the process's private bytes and the live blocks of the
// runtime heap (the two counts the lowest of ten samples over that second).
// Without it nothing runs.

namespace player {

void StartHandleLogIfAsked();

}  // namespace player
