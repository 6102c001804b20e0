// The player program's entry: the form framework, the picture service and the
// sound service join the runtime, then the application runs.

#include <windows.h>

#include <cstdlib>

#include "extunits/win/picture_win.h"
#include "forms/win/framework.h"
#include "player/win/program.h"
#include "player/win/handle_log.h"
#include "runtime/application.h"
#include "runtime/fatal.h"
#include "units/win/sound.h"

// The program's C++ allocations, so that a failure tells the size it asked
// for. The library's other forms of new call this one, and its deletes free.
void* operator new(std::size_t size) { return rt::NewBlock(size, std::malloc); }

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  forms::InstallFramework();
  ext::InstallPictureService();
  units::InstallSoundService();
  player::StartHandleLogIfAsked();
  rt::RunApplication(player::Header(), player::Entry);
}
