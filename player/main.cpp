// The player program's entry: the form framework joins the runtime, then the
// application runs. Until the player's form is built the start-up form is
// missing and the runtime reports that through its fatal error path.

#include <windows.h>

#include "forms/framework.h"
#include "player/program.h"
#include "runtime/application.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  forms::InstallFramework();
  rt::RunApplication(player::Header(), player::Entry);
}
