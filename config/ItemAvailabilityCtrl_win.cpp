#include "config/ItemAvailabilityCtrl_win.h"

#include "config/Resource.h"

void CAvailabilityPage::BindFields(CRecordExchange& exchange)
{
    exchange.Bind(m_hWnd, AvailabilityFields(m_ePage));
}

CItemAvailabilityCtrl::CItemAvailabilityCtrl(CServerConfig& record)
    : m_anTemplateIds{IDD_WEAPONS_PAGE, IDD_ITEMS_PAGE, IDD_POWERUPS_PAGE},
      m_apPages{std::make_unique<CAvailabilityPage>(IDD_WEAPONS_PAGE, EAvailabilityPage::Weapons, record),
                std::make_unique<CAvailabilityPage>(IDD_ITEMS_PAGE, EAvailabilityPage::Items, record),
                std::make_unique<CAvailabilityPage>(IDD_POWERUPS_PAGE, EAvailabilityPage::Powerups, record)}
{
}

void CItemAvailabilityCtrl::CreatePages(HINSTANCE instance)
{
    for (int i = 0; i < kPageCount; ++i) {
        m_apPages[i]->CreateChild(instance, m_anTemplateIds[i], m_hWnd);
        PlacePage(*m_apPages[i], 3, 1, 4, 2);
        m_apPages[i]->Show(i == 0 ? SW_SHOW : SW_HIDE);
    }
}

void CItemAvailabilityCtrl::OnSelChange()
{
    const int selected = GetCurSel();
    for (int i = 0; i < kPageCount; ++i)
        m_apPages[i]->Show(i == selected ? SW_SHOW : SW_HIDE);
}
