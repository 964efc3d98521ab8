// The voting page: which votes players may call, and the vote timings.
#pragma once
#include "config/RecordExchange_win.h"

class CVoteOptionsDlg : public COptionPage {
public:
    explicit CVoteOptionsDlg(CServerConfig& record);

protected:
    void BindFields(CRecordExchange& exchange) override;
};
