// What happened to a run that somebody away from the screen wants to know: each note is a balloon
// over the notification area icon (RunNoteText) and one alert message (AlertText.h).
#pragma once
#include <string>

enum class ERunNote {
    Crashed,             // crashed; started again in 5 s
    CrashLoop,           // crashed for the third time in a row soon after its launch; left down
    NotResponding,       // hung for 60 s and was ended; started again in 5 s
    NotRespondingEnded,  // hung for 60 s and was ended; left down
    LoginFailed,         // Tollan could not log in and stopped the server it launched
    LoginRefused,        // Tollan could not log in to a server it picked up, which keeps running
    ScheduledRestart,    // a scheduled restart begins
    RelaunchFailed,      // the launch after a crash or a restart failed (the detail says why)
    RunningAgain,        // the server runs again after one of the above
};

// The balloon's text: "The server crashed and is started again in 5 seconds." `detail` says why a
// relaunch failed.
std::string RunNoteText(ERunNote note, const std::string& detail);
