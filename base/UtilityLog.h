// Tollan.log: the utility's own journal. Every part of Tollan reports through LogMessage.
#pragma once
#include <ctime>
#include <string>

// Appends one entry: "MM/DD/YY HH:MM:SS - " and the formatted message cut to 255 characters.
// Each "\n" is written as CR LF. Safe to call from any thread; never fails visibly.
void LogMessage(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// The prefix of an entry made at the given local time, e.g. "12/06/26 13:45:07 - ".
std::string FormatLogPrefix(const std::tm& localTime);

// Path of the journal; by default Tollan.log in Tollan's own folder (see OwnFolder.h).
std::string UtilityLogPath();
