tollan_win(
  Dialog_win.cpp
  FolderBrowser_win.cpp
  Subclass_win.cpp
  Owners_win.cpp
)
