// Tollan's version: the about dialog's label and the version resource are both made from these,
// so they cannot disagree.
#pragma once

#define TOLLAN_VERSION_MAJOR 1
#define TOLLAN_VERSION_MINOR 5
// Major and minor as the program has always shown them: the minor in two digits.
#define TOLLAN_VERSION_TEXT "1.05"
