// The player program's entry: the form framework, the picture service and the
// sound service join the runtime, then the application runs.

#include <windows.h>

#include "extunits/win/picture_win.h"
#include "forms/framework.h"
#include "player/program.h"
#include "player/win/handle_log.h"
#include "runtime/application.h"
#include "units/win/sound.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  forms::InstallFramework();
  ext::InstallPictureService();
  units::InstallSoundService();
  player::StartHandleLogIfAsked();
  rt::RunApplication(player::Header(), player::Entry);
}
