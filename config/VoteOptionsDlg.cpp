#include "config/VoteOptionsDlg.h"

#include "resources/resource.h"

CVoteOptionsDlg::CVoteOptionsDlg() : COptionPage(IDD_VOTE_OPTIONS) {}

void CVoteOptionsDlg::BindFields(CRecordExchange& exchange) { exchange.Bind(m_hWnd, VoteOptionsFields()); }
