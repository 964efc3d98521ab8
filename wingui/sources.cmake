tollan_win(
  Dialog.cpp
  Subclass.cpp
)
