// The look at the remote console port before a launch, on Windows: the TCP listener tables from
// iphlpapi and the owner's image name from a process snapshot. What follows from it (the message,
// the log lines, the launch) is the run model's.
#pragma once
#include "server/RunModel.h"

// Who listens on 127.0.0.1:25600 (or an address covering it); Unknown when the tables cannot be
// read at all.
CPortCheck CheckConsolePort();
