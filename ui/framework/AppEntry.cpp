// The entry point of GUI programs built on the framework. Kept out of the
// framework library so that test programs keep their own main.
#include <windows.h>

#include "CWinApp.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return ui::AfxWinMain(); }
