#include "server/RunNote.h"

#include "base/StringPrintf.h"

std::string RunNoteText(ERunNote note, const std::string& detail)
{
    const char* text = "";
    switch (note) {
    case ERunNote::Crashed: text = "The server crashed and is started again in 5 seconds."; break;
    case ERunNote::CrashLoop:
        text = "The server crashed 3 times in a row, each time within 60 s of its launch, and is not restarted.";
        break;
    case ERunNote::NotResponding:
        text = "The server stopped responding for 60 s and was ended; it is started again in 5 seconds.";
        break;
    case ERunNote::NotRespondingEnded: text = "The server stopped responding for 60 s and was ended."; break;
    case ERunNote::LoginFailed: text = "Tollan could not log in to the server and stopped it."; break;
    case ERunNote::LoginRefused:
        text = "Tollan could not log in to the server it picked up; the server keeps running.";
        break;
    case ERunNote::ScheduledRestart: text = "The server is restarted as scheduled."; break;
    case ERunNote::RelaunchFailed:
        return StringPrintf("The server could not be started again (%s); it is down.", detail.c_str());
    case ERunNote::RunningAgain: text = "The server is running again."; break;
    }
    return text;
}
