#include "config/VoteOptionsDlg_win.h"

#include "config/Resource.h"

CVoteOptionsDlg::CVoteOptionsDlg(CServerConfig& record) : COptionPage(IDD_VOTE_OPTIONS, record) {}

void CVoteOptionsDlg::BindFields(CRecordExchange& exchange) { exchange.Bind(m_hWnd, VoteOptionsFields()); }
