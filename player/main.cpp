// The player program's entry. Its form and routines come with the form
// framework; until then the start-up form is missing and the runtime reports
// that through its fatal error path.

#include <windows.h>

#include "player/program.h"
#include "runtime/application.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  rt::RunApplication(player::Header(), player::Entry);
}
