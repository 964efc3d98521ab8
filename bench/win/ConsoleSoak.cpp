// Memory of the console under a long flood, without a server, a follower or a socket: the same
// 255-byte batches of 64-byte tagged lines the stand-in floods with, through CConsoleCtrl (the
// rich edit and our console model) or through the model alone. Prints the process's memory every
// `every` batches, so a growth can be put down to the rich edit or to our code.
//   ConsoleSoak.exe console|model|<variant> <batches> <every>
// A variant drives the rich edit by hand, to see which of its uses costs memory: letters
// t (trim to 20000 characters), c (a colour per line), r (redraw off per batch), s (select to the
// end before inserting), x (empty the whole control every 500 batches), d (a new control every
// 1500 batches), n (no inserts), u (empty the undo buffer per batch), w (wide EM_REPLACESEL),
// e (EM_SETTEXTEX).
#include "controls/ConsoleCtrl_win.h"
#include "controls/ConsoleModel.h"

#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void Pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void PrintMemory(int batch)
{
    PROCESS_MEMORY_COUNTERS pmc{};
    pmc.cb = sizeof pmc;
    GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc);
    std::printf("SOAK batch %d working_set_kb %lu private_kb %lu\n", batch,
                static_cast<unsigned long>(pmc.WorkingSetSize / 1024),
                static_cast<unsigned long>(pmc.PagefileUsage / 1024));
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4)
        return 2;
    const std::string mode = argv[1];
    const bool control = mode == "console";
    const bool variant = !control && mode != "model";
    auto Has = [&mode](char c) { return mode.find(c) != std::string::npos; };
    CHARFORMATA cf{};
    cf.cbSize = sizeof cf;
    cf.dwMask = CFM_SIZE | CFM_COLOR | CFM_BOLD;
    cf.dwEffects = CFE_BOLD;
    cf.yHeight = 200;
    const int batches = std::atoi(argv[2]);
    const int every = std::atoi(argv[3]);

    LoadLibraryA("riched20.dll");
    HWND frame = CreateWindowExA(0, "STATIC", "soak", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 800, 500, nullptr,
                                 nullptr, nullptr, nullptr);
    HWND edit = CreateWindowExA(WS_EX_CLIENTEDGE, "RichEdit20A", "",
                                WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY, 0, 0, 780, 460, frame,
                                nullptr, nullptr, nullptr);
    CConsoleCtrl console;
    console.Attach(edit);
    console.Prepare();
    CConsoleModel model;

    // The stand-in's flood: lines of 64 bytes whose tags change on every line.
    static const char* const kTags[] = {"INF:", "WRN:", "ERR:", "TRC:"};
    std::string stream;
    int line = 0;
    PrintMemory(0);
    for (int b = 1; b <= batches; ++b) {
        while (stream.size() < 255) {
            char text[80];
            std::snprintf(text, sizeof text, "%s  Flood line %08d of the soak, padded to 64 bytes.....", kTags[line % 4],
                          line);
            std::string l(text);
            l.resize(62, '.');
            stream += l + "\r\n";
            ++line;
        }
        std::string batch = stream.substr(0, 255);
        stream.erase(0, 255);
        if (control) {
            console.AppendConsoleText(batch);
        } else if (!variant) {
            model.AppendConsoleText(batch, 20000);
        } else {
            GETTEXTLENGTHEX gtl{GTL_NUMCHARS | GTL_PRECISE, CP_ACP};
            LRESULT length = SendMessageA(edit, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&gtl), 0);
            CConsoleBatch cut = model.AppendConsoleText(batch, static_cast<size_t>(length > 0 ? length : 0));
            if (Has('r'))
                SendMessageA(edit, WM_SETREDRAW, FALSE, 0);
            if (Has('t') && cut.m_nTrimChars) {
                SendMessageA(edit, EM_SETSEL, 0, static_cast<LPARAM>(cut.m_nTrimChars));
                SendMessageA(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(""));
            }
            for (const CConsoleInsert& insert : cut.m_inserts) {
                if (Has('n'))
                    break;
                if (Has('s'))
                    SendMessageA(edit, EM_SETSEL, -1, -1);
                if (Has('c')) {
                    cf.crTextColor = insert.m_crColour;
                    SendMessageA(edit, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
                }
                const std::string& text = insert.m_strText;
                if (Has('w')) {
                    wchar_t wide[512];
                    int n = MultiByteToWideChar(CP_ACP, 0, insert.m_strText.c_str(), -1, wide, 512);
                    if (n > 0)
                        SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(wide));
                } else if (Has('e')) {
                    SETTEXTEX st{ST_SELECTION, CP_ACP};
                    SendMessageA(edit, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&st),
                                 reinterpret_cast<LPARAM>(insert.m_strText.c_str()));
                } else {
                    SendMessageA(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
                }
            }
            if (Has('r')) {
                SendMessageA(edit, WM_SETREDRAW, TRUE, 0);
                RedrawWindow(edit, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
            }
            if (Has('u'))
                SendMessageA(edit, EM_EMPTYUNDOBUFFER, 0, 0);
            if (Has('x') && b % 500 == 0)
                SetWindowTextA(edit, "");
            if (Has('d') && b % 1500 == 0) {
                DestroyWindow(edit);
                edit = CreateWindowExA(WS_EX_CLIENTEDGE, "RichEdit20A", "",
                                       WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY, 0, 0, 780, 460,
                                       frame, nullptr, nullptr, nullptr);
                SendMessageA(edit, EM_SETUNDOLIMIT, 0, 0);
            }
        }
        Pump();
        if (b % every == 0)
            PrintMemory(b);
    }
    DestroyWindow(frame);
    return 0;
}
