#include "config/VoteOptionsDlg.h"

#include "resources/resource.h"

CVoteOptionsDlg::CVoteOptionsDlg(CServerConfig& record) : COptionPage(IDD_VOTE_OPTIONS, record) {}

void CVoteOptionsDlg::BindFields(CRecordExchange& exchange) { exchange.Bind(m_hWnd, VoteOptionsFields()); }
