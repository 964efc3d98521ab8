// The application object: process start-up, the single-instance guard and the main dialog.
#pragma once
#include <windows.h>

#include "platform/Handle_win.h"

class CTollanApp {
public:
    // Runs the whole program; the return value ends the process.
    int Run(HINSTANCE instance, const char* commandLine);

    HINSTANCE m_hInstance = nullptr;

private:
    // Kept open for the life of the process: the named mutex exists exactly as long as we run.
    platform::CHandle m_instanceMutex;
    platform::CModule m_richEdit;
};

