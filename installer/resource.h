// Resource and control ids of the Installer and its two companion programs.
#pragma once

#define IDR_MAINFRAME 128
#define IDI_SMALL 157

// Wizard frame and its panels
#define IDD_INSTALLER_DIALOG 102
#define IDD_WELCOME_PAGE 129
#define IDD_DESTINATION_PAGE 130
#define IDD_SHORTCUTS_PAGE 131
#define IDD_PROGRESS_PAGE 132
#define IDD_FINISHED_PAGE 133
#define IDD_PAGE_HEADER 136
#define IDD_CANCEL_DIALOG 143

// The payload: type "ZIP", number 140, US English
#define IDR_PAYLOAD 140
// Uninstall.exe carries Delete.dll
#define IDR_DELETE_DLL 141

// Frame
#define IDC_NEXT 1004
#define IDC_BACK 1007
#define IDC_FRAME_LINE 1022
// Pages
#define IDC_PAGE_TITLE 1006
#define IDC_SIDE_PICTURE 1023
#define IDC_FOLDER_ICON 1021
#define IDC_TARGET_FOLDER 1008
#define IDC_BROWSE 1009
#define IDC_START_MENU_ICONS 1016
#define IDC_DESKTOP_ICONS 1017
#define IDC_QUICK_LAUNCH_ICONS 1018
#define IDC_STATUS_LINE 1018
#define IDC_DETAIL_LINE 1011
#define IDC_PROGRESS 1012
#define IDC_VIEW_README 1017
#define IDC_LAUNCH_UTILITY 1018
// Header band
#define IDC_HEADER_TITLE 1013
#define IDC_HEADER_LINE 1014
#define IDC_HEADER_SUBTITLE 1015
#define IDC_HEADER_ICON 1019
// Cancel confirmation
#define IDC_QUESTION_ICON 1020

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
