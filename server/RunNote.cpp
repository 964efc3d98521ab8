#include "server/RunNote.h"

std::string RunNoteText(ERunNote note, const std::string& detail)
{
    switch (note) {
    case ERunNote::Crashed: return "The server crashed and is started again in 5 seconds.";
    case ERunNote::CrashLoop:
        return "The server crashed 3 times in a row, each time within 60 s of its launch, and is not restarted.";
    case ERunNote::NotResponding:
        return "The server stopped responding for 60 s and was ended; it is started again in 5 seconds.";
    case ERunNote::NotRespondingEnded: return "The server stopped responding for 60 s and was ended.";
    case ERunNote::LoginFailed: return "Tollan could not log in to the server and stopped it.";
    case ERunNote::LoginRefused: return "Tollan could not log in to the server it picked up; the server keeps running.";
    case ERunNote::ScheduledRestart: return "The server is restarted as scheduled.";
    case ERunNote::RelaunchFailed: return "The server could not be started again (" + detail + "); it is down.";
    case ERunNote::RunningAgain: return "The server is running again.";
    }
    return std::string();
}
