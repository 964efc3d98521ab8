// The system's process list, walked through a Toolhelp snapshot.
#pragma once
#include "platform/Handle_win.h"

#include <tlhelp32.h>

namespace platform {

// `visit(entry)` sees each process in turn until it returns false. False when the list cannot
// be taken.
template <class Visit>
bool ForEachProcess(Visit visit)
{
    CHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot)
        return false;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32First(snapshot.Get(), &entry); more; more = ::Process32Next(snapshot.Get(), &entry))
        if (!visit(static_cast<const PROCESSENTRY32&>(entry)))
            break;
    return true;
}

}  // namespace platform
