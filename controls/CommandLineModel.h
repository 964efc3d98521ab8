// The command line's rules without the combo box: its fixed list, the pending command that Enter
// sends, when a letter opens the list, and what Enter and Tab do with the list open or closed.
//
// Contract for the shell (CCommandLineCtrl / CCommandLineEditCtrl / CTollanDlg), for a key message
// aimed at the edit field, before the system sees it:
//   1. edit:  OnEditKey(is a character message, code, field text reader);
//   2. combo: on a key-down, carry out OnComboKeyDown(code, list open); kCloseList consumes it;
//   3. main dialog: Enter while a server runs sends TakeForSend(field text) plus "\r\n", empties
//      the field and puts the focus there.
// A selection change or close-up with an entry selected calls OnEntrySelected(entry text).
#pragma once
#include <cstddef>
#include <functional>
#include <string>

// The console variables and functions offered, in the order they go into the list (which the
// control shows sorted). "qelTimeBanCLient()" is written the way the server's list has it.
constexpr std::size_t kCommandLineEntryCount = 34;
extern const char* const kCommandLineEntries[kCommandLineEntryCount];

// Key and character codes the rules look at (the same values as Windows' virtual keys).
constexpr unsigned kKeyBackspace = 8;
constexpr unsigned kKeyTab = 9;
constexpr unsigned kKeyEnter = 13;

enum class ECommandLineKey {
    kPass,       // nothing to do; the key goes on
    kOpenList,   // open the list; the key goes on
    kCloseList,  // close the list; the key goes no further
    kNextEntry,  // select the next entry, as the Down key does; the key goes on
};

class CCommandLineModel {
public:
    // Below this length of the pending command a letter opens the list.
    static constexpr std::size_t kOpenBelowLength = 6;

    const std::string& PendingCommand() const { return m_strPending; }

    // The edit field's step for any key message: Enter (key or character) takes the field's
    // text; the Backspace character drops the pending command's last character (the field
    // deletes its own as usual).
    void OnEditKey(bool bCharacter, unsigned code, const std::function<std::string()>& readField);

    // The combo's step for a key-down. A key code that reads as a letter opens the closed list
    // while the pending command is short; Enter and Tab close an open list; Tab with the list
    // closed steps to the next entry.
    ECommandLineKey OnComboKeyDown(unsigned code, bool bListOpen) const;

    // The combo's selection changed or its list closed, with this entry selected.
    void OnEntrySelected(const std::string& entry) { m_strPending = entry; }

    // The main dialog's Enter while a server runs: the command is what the field shows (the
    // pending command alone may still hold an entry picked earlier). Empties the pending command.
    std::string TakeForSend(const std::string& fieldText);

private:
    std::string m_strPending;
};
