// The console pane (control 1056): a read-only rich edit 2.0 control that shows the text the
// server log follower hands the main window, cut by its console model into coloured lines; it
// keeps the caret at the end and scrolls new lines into view. Used on the user-interface thread
// only, the model included.
#pragma once
#include "controls/ConsoleModel.h"
#include "wingui/Controls.h"

class CConsoleCtrl : public wingui::CRichEdit {
public:
    // Undo off and the bold 10-point format every line is inserted with.
    void Prepare();
    // The one way text reaches the console.
    void AppendConsoleText(const std::string& text);
    // The server's log was recreated: the unfinished line of the old text is not continued.
    void DropPendingFragment() { m_model.DropPendingFragment(); }
    const std::string& CurrentLevel() const { return m_model.CurrentLevel(); }
    void ClearCurrentLevel() { m_model.ClearCurrentLevel(); }
    // "  Clear Console Log": everything selected and replaced by nothing.
    void Clear();
    bool HasSelection() const;
    // The one-item "EditPopup" menu at a screen point; its command copies the selection.
    void ShowContextMenu(HINSTANCE instance, HWND owner, POINT screenPoint, HBITMAP copyBitmap) const;
    void Copy() const { SendMsg(WM_COPY); }

private:
    // Text length in the control's own character positions (a paragraph end counts once).
    size_t GetCharCount() const;
    // Trims, inserts the batch's lines in their colours and scrolls by the lines added.
    void ApplyBatch(const CConsoleBatch& batch);

    CConsoleModel m_model;
    CHARFORMATA m_cf{};
};
