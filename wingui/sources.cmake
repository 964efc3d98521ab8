tollan_win(
  Dialog.cpp
)
