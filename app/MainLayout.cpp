#include "app/MainLayout.h"

CMainLayout ComputeMainLayout(int w, int h, int listHeight, int commandLineHeight, bool themed)
{
    CMainLayout m;
    m.m_configSettings = {5, 5, 100, 25};
    m.m_currentConfigLabel = {110, 6, 80, listHeight};
    m.m_configList = {192, 6, 106, listHeight};
    m.m_cfgLabel = {295, 6, 30, listHeight};
    m.m_listPlayers = {w - 338, 5, 73, 25};
    m.m_pauseServer = {w - 260, 5, 80, 25};
    m.m_restartServer = {w - 175, 5, 85, 25};
    m.m_startServer = {w - 80, 5, 75, 25};
    m.m_console = themed ? CLayoutRect{6, 35, w - 12, h - 82} : CLayoutRect{5, 35, w - 10, h - 82};
    m.m_commandLine = {5, h - 40, w - 10, commandLineHeight};
    m.m_sizeGrip = {w - 12, h - 12, 12, 12};
    return m;
}

void ClampSizingRect(ESizingEdge edge, int& left, int& top, int& right, int& bottom)
{
    bool leftEdge = edge == ESizingEdge::Left || edge == ESizingEdge::TopLeft ||
                    edge == ESizingEdge::BottomLeft;
    bool topEdge = edge == ESizingEdge::Top || edge == ESizingEdge::TopLeft ||
                   edge == ESizingEdge::TopRight;
    if (right - left < kMinWindowWidth) {
        if (leftEdge)
            left = right - kMinWindowWidth;
        else
            right = left + kMinWindowWidth;
    }
    if (bottom - top < kMinWindowHeight) {
        if (topEdge)
            top = bottom - kMinWindowHeight;
        else
            bottom = top + kMinWindowHeight;
    }
}

std::optional<std::uint32_t> FrameColourForScheme(const std::string& colorName)
{
    if (colorName == "NormalColor" || colorName == "Metallic")
        return 0xB99D7Fu;
    if (colorName == "HomeStead")
        return 0x7FB9A4u;
    return std::nullopt;
}
