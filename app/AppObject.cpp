#include "app/SetupApp.h"

// The application object, constructed before WinMain runs.
CSetupApp theApp;
