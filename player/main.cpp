// The player program's entry: the form framework and the picture service join
// the runtime, then the application runs. Until the player's form is built the start-up form is
// missing and the runtime reports that through its fatal error path.

#include <windows.h>

#include "extunits/win/picture_win.h"
#include "forms/framework.h"
#include "player/program.h"
#include "runtime/application.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  forms::InstallFramework();
  ext::InstallPictureService();
  rt::RunApplication(player::Header(), player::Entry);
}
