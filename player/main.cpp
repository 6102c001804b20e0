// The player program's entry: the form framework, the picture service and the
// sound service join the runtime, then the application runs. Until the
// player's form is built the start-up form is missing and the runtime reports
// that through its fatal error path.

#include <windows.h>

#include "extunits/win/picture_win.h"
#include "forms/framework.h"
#include "player/program.h"
#include "runtime/application.h"
#include "units/win/sound.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  forms::InstallFramework();
  ext::InstallPictureService();
  units::InstallSoundService();
  rt::RunApplication(player::Header(), player::Entry);
}
