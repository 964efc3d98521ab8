// The checks of the Wine test programs that run a list of cases: a failed CHECK is printed with
// its place and counted, and the program goes on; CheckResult() ends with the count.
#pragma once
#include <cstdio>

inline int g_nCheckFailures = 0;

#define CHECK(cond, what)                                                     \
    do {                                                                      \
        if (!(cond)) {                                                        \
            ++g_nCheckFailures;                                               \
            printf("FAIL %s:%d: %s [%s]\n", __FILE__, __LINE__, what, #cond); \
        }                                                                     \
    } while (0)

// Prints the outcome; the program's exit code.
inline int CheckResult()
{
    printf(g_nCheckFailures ? "%d check(s) failed\n" : "all checks passed\n", g_nCheckFailures);
    return g_nCheckFailures ? 1 : 0;
}
