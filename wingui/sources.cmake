tollan_win(
  Dialog.cpp
  FolderBrowser.cpp
  Subclass.cpp
  Registry.cpp
  Owners.cpp
  Temp.cpp
)
