// The state of one link label in the about dialog: hovered and visited, the colour that follows
// from them, and when its address is opened. The dialog feeds it every message it takes from the
// queue, with whether the pointer is inside the label then.
#pragma once
#include <cstdint>

// Windows COLORREF values (0x00BBGGRR).
constexpr std::uint32_t kLinkBlue = 0xFF0000;    // not visited
constexpr std::uint32_t kLinkRed = 0x0000FF;     // the pointer is over the link
constexpr std::uint32_t kLinkPurple = 0x8B1A55;  // visited, the pointer elsewhere

struct CLinkStep {
    bool m_bOpen = false;    // open the address now
    bool m_bRedraw = false;  // the colour changed: redraw the label at once
};

class CLinkLabelModel {
public:
    // bInside: the message's pointer position lies in the label; bLeftPress: it is a left button
    // press. A press opens the link once, at the press; the colour changes only when the
    // pointer enters or leaves, so a clicked link stays red until the pointer goes.
    CLinkStep OnMessage(bool bInside, bool bLeftPress);

    bool IsHovered() const { return m_bHovered; }
    bool IsVisited() const { return m_bVisited; }
    std::uint32_t Colour() const { return m_crColour; }

private:
    bool m_bHovered = false;
    bool m_bVisited = false;
    std::uint32_t m_crColour = kLinkBlue;
};
