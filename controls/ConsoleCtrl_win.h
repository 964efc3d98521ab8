// The console pane (control 1056): a read-only rich edit 2.0 control that shows the text the
// server log follower hands the main window, cut by its console model into coloured lines; it
// keeps the caret at the end and scrolls new lines into view. Used on the user-interface thread
// only, the model included. Its own keys: Ctrl+F opens the find box, F3 finds the next match.
#pragma once
#include "controls/ConsoleFind.h"
#include "controls/ConsoleModel.h"
#include "wingui/Controls_win.h"
#include "wingui/Owners_win.h"
#include "wingui/Subclass_win.h"

class CConsoleCtrl : public wingui::CRichEdit, private wingui::CSubclass {
public:
    ~CConsoleCtrl() override;
    // Undo off, the bold 10-point format every line is inserted with, and the control's own keys
    // and menu commands (a subclass).
    void Prepare();
    // The one way text reaches the console.
    void AppendConsoleText(const std::string& text);
    // The server's log was recreated: the unfinished line of the old text is not continued.
    void DropPendingFragment() { m_model.DropPendingFragment(); }
    // "  Clear Console Log": everything selected and replaced by nothing.
    void Clear();
    bool HasSelection() const;
    // The "EditPopup" menu at a screen point: "  Copy to Clipboard" needs a selection, "  Save
    // Console to File..." some text; with neither there is no menu. Its commands come back to the
    // console as WM_COMMAND.
    void ShowContextMenu(HINSTANCE instance, POINT screenPoint, HBITMAP copyBitmap);
    void Copy() const { SendMsg(WM_COPY); }
    // The text with one character per position, a paragraph end as "\r".
    std::string GetPlainText() const;
    // Ctrl+F: the find box, modal, over the main window.
    void OpenFind();
    // Selects the next match and scrolls it into view; false when there is none.
    bool FindNext();
    // The Save As dialog, then the text through a twin into the chosen file.
    void SaveToFile();

private:
    // Text length in the control's own character positions (a paragraph end counts once).
    size_t GetCharCount() const;
    // Trims, inserts the batch's lines in their colours and scrolls by the lines added.
    void ApplyBatch(const CConsoleBatch& batch);

    CConsoleModel m_model;

    // The control's own keys and menu commands, before the rich edit's procedure.
    LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override;
    bool OnOwnMessage(UINT msg, WPARAM w);

    CHARFORMATA m_cf{};
    CConsoleFinder m_finder;
    wingui::CBitmap m_saveBitmap;
};
