// The program's entry: drives the one application object that the program defines.
#include "winfx/win_app.h"

#include <cstdlib>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    CWinApp* app = CWinApp::GetApp();
    if (!app || !app->InitInstance())
        return EXIT_FAILURE;
    return app->Run();
}
