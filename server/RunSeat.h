// The seam between the server run and the window that shows it, on the pattern of PuTTY's Seat:
// the runner asks for what the user sees through these calls only, and the main window implements
// them. The run never touches the window's controls, timers or title itself.
#pragma once
#include "server/RunAction.h"

#include <string>

class CRunSeat {
public:
    // Button 1 (Start/Stop) and the three command buttons.
    virtual void ShowButtons(const CButtonStates& buttons) = 0;
    virtual void ShowTitle(const std::string& title) = 0;
    // Text for the console (AppendConsoleText).
    virtual void ShowConsoleText(const std::string& text) = 0;
    // The server's log was recreated: the console's unfinished line belonged to the old one.
    virtual void DropConsoleFragment() = 0;
    // A warning the user must confirm; returns once the box is closed (it runs a message loop).
    virtual void ShowWarning(const std::string& text) = 0;
    // Something a user away from the screen wants to know, of the configuration `config`: the
    // balloon and the alerts. `detail` says why a relaunch failed.
    virtual void ShowNote(ERunNote note, const std::string& config, const std::string& detail) = 0;
    // The run asked for at the close is over: the window goes now.
    virtual void CloseWindow() = 0;

protected:
    ~CRunSeat() = default;
};
