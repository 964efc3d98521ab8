#include "controls/LinkLabelModel.h"

CLinkStep CLinkLabelModel::OnMessage(bool bInside, bool bLeftPress)
{
    CLinkStep step;
    if (bInside && bLeftPress) {
        // Opened even if the shell then fails: the user did follow the link.
        step.m_bOpen = true;
        m_bVisited = true;
    }
    if (bInside != m_bHovered) {
        m_bHovered = bInside;
        m_crColour = bInside ? kLinkRed : m_bVisited ? kLinkPurple : kLinkBlue;
        step.m_bRedraw = true;
    }
    return step;
}
