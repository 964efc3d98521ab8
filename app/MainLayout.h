// Geometry and colours of the main window that do not need a window: the layout of the controls
// for a client size, the minimum size while the frame is dragged, and the console's frame colour.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

struct CLayoutRect {
    int m_nX = 0, m_nY = 0, m_nWidth = 0, m_nHeight = 0;
    bool operator==(const CLayoutRect& o) const
    {
        return m_nX == o.m_nX && m_nY == o.m_nY && m_nWidth == o.m_nWidth && m_nHeight == o.m_nHeight;
    }
};

struct CMainLayout {
    CLayoutRect m_configSettings, m_currentConfigLabel, m_configList, m_cfgLabel;
    CLayoutRect m_listPlayers, m_pauseServer, m_restartServer, m_startServer;
    CLayoutRect m_console, m_commandLine, m_sizeGrip;
};

// w, h: client size in pixels; listHeight, commandLineHeight: the two combo boxes' current
// heights; themed: the console then sits one pixel further in, inside its painted frame.
CMainLayout ComputeMainLayout(int w, int h, int listHeight, int commandLineHeight, bool themed);

constexpr int kMinWindowWidth = 680;
constexpr int kMinWindowHeight = 480;

// Edge codes as the platform's sizing message gives them.
enum class ESizingEdge { Left = 1, Right, Top, TopLeft, TopRight, Bottom, BottomLeft, BottomRight };

// Keeps a window rectangle being dragged at the minimum size: the dragged edge stops there.
void ClampSizingRect(ESizingEdge edge, int& left, int& top, int& right, int& bottom);

// Frame colour (0x00BBGGRR) for a desktop colour scheme name; none for unknown names.
std::optional<std::uint32_t> FrameColourForScheme(const std::string& colorName);
