// The command line (control 1057): an editable drop-down combo box of the server's console
// variables and functions, and its edit field. Both work on one pending command (the model);
// their key rules run before the system sees a key aimed at the field, edit first, then combo,
// and the main dialog's own rules after them.
#pragma once
#include "controls/CommandLineModel.h"
#include "wingui/Controls_win.h"
#include "wingui/Subclass_win.h"

#include <string>

// The combo's edit field. The combo takes it over when it first asks for its colours and gives
// it back when the combo is destroyed.
class CCommandLineEditCtrl : public wingui::CEdit {
public:
    explicit CCommandLineEditCtrl(CCommandLineModel& model) : m_model(model) {}
    // Its step of the key chain; never consumes.
    void PreTranslateKey(const MSG& msg);

private:
    CCommandLineModel& m_model;
};

class CCommandLineCtrl : public wingui::CComboBox, private wingui::CSubclass {
public:
    CCommandLineCtrl() : m_edit(m_model) {}
    ~CCommandLineCtrl() override;
    // Binds the combo of the dialog template.
    void Attach(HWND combo);
    // Adds the fixed list (once, at the dialog's start-up).
    void Fill() const;
    // The edit's and the combo's steps for a message aimed at the field; true when consumed.
    bool PreTranslateMessage(MSG& msg);
    // The combo's CBN_ notifications, which reach the parent dialog.
    void OnNotification(WORD code);
    // The main dialog's send: the field's text, after which field and pending command are empty.
    std::string TakeCommandForSend();
    HWND EditWindow() const { return m_edit.GetHWND(); }

private:
    LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override;
    void ShowList(bool show) const { SendMsg(CB_SHOWDROPDOWN, show); }

    CCommandLineModel m_model;
    CCommandLineEditCtrl m_edit;
};
