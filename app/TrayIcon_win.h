// Tollan's icon in the notification area: shown, its tip changed, a balloon, taken away; the icon
// calls its owner back with WM_APP_TRAY, and what such a message asks for is RequestOf's answer.
#pragma once
#include <windows.h>

#include <shellapi.h>

#include <string>

// The main window's timer that keeps the tip up to date while the icon is shown (the main
// window's only timer: the server run's are on its own window).
constexpr UINT_PTR kTimerTrayTip = 1;
constexpr UINT kTrayTipMs = 1000;

enum class ETrayRequest { None, Show, Menu };

class CTrayIcon {
public:
    CTrayIcon() = default;
    ~CTrayIcon() { Remove(); }
    CTrayIcon(const CTrayIcon&) = delete;
    CTrayIcon& operator=(const CTrayIcon&) = delete;

    // Shows the icon (again, after Explorer restarted), or changes its tip. False when the shell
    // would not take it (no notification area yet): the next call tries again.
    bool Show(HWND owner, HICON icon, const std::string& tip);
    void Remove();
    bool IsShown() const { return m_bShown; }
    // Explorer started anew, and its notification area knows no icon.
    void Forget() { m_bShown = false; }
    // A balloon over the icon; it takes no focus. Nothing without the icon.
    void ShowBalloon(const std::string& title, const std::string& text);
    ETrayRequest RequestOf(LPARAM l) const;
    // The icon's menu at the pointer; the command chosen reaches the owner as WM_COMMAND.
    void ShowMenu(bool bExitEnabled) const;

    // The message Explorer broadcasts when it has made the taskbar, as after a restart; let
    // through to an elevated Tollan, with the icon's own. Called once, at start-up.
    static UINT RegisterTaskbarCreated();

private:
    bool Call(DWORD message, UINT flags);

    NOTIFYICONDATAA m_data{};
    bool m_bShown = false;
    bool m_bVersion3 = false;
};
