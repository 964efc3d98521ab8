// One tooltip control for a dialog: a tip per child control, shown for the control under the
// pointer. The dialog relays its mouse messages through RelayEvent.
#pragma once
#include "wingui/Window_win.h"

#include <commctrl.h>

namespace wingui {

class CToolTip : public CWindow {
public:
    bool Create(HWND owner, HINSTANCE instance)
    {
        m_hWnd = ::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner,
                                   nullptr, instance, nullptr);
        return m_hWnd != nullptr;
    }
    void AddTool(HWND owner, HWND control, const char* text) const
    {
        TTTOOLINFOA info{};
        info.cbSize = TTTOOLINFOA_V2_SIZE;
        info.uFlags = TTF_IDISHWND;
        info.hwnd = owner;
        info.uId = reinterpret_cast<UINT_PTR>(control);
        info.lpszText = const_cast<char*>(text);
        SendMsg(TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
    }
    void SetMaxTipWidth(int pixels) const { SendMsg(TTM_SETMAXTIPWIDTH, 0, pixels); }
    void SetTipBkColor(COLORREF colour) const { SendMsg(TTM_SETTIPBKCOLOR, colour); }
    void SetMargins(int pixels) const
    {
        RECT r{pixels, pixels, pixels, pixels};
        SendMsg(TTM_SETMARGIN, 0, reinterpret_cast<LPARAM>(&r));
    }
    void SetDelayTime(DWORD which, int ms) const { SendMsg(TTM_SETDELAYTIME, which, MAKELPARAM(ms, 0)); }
    // Hands the tooltip a mouse message; `tool` is the control it belongs to (a combo box, say,
    // for the messages of its edit).
    void RelayEvent(const MSG& msg, HWND tool) const
    {
        MSG copy = msg;
        copy.hwnd = tool;
        SendMsg(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&copy));
    }
};

}  // namespace wingui
