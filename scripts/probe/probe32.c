/* The smallest 32-bit Windows program that proves this host runs one: it writes one token. */
#include <windows.h>

int main(void)
{
    static const char token[] = "tollan-probe-ok\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), token, sizeof token - 1, &written, NULL);
    return 0;
}
