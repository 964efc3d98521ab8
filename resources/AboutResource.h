// Resource and control ids of the about dialog.
#pragma once

#define IDD_ABOUTBOX 100
// The two link labels; their ids are also the string-table ids of their tooltips.
#define IDC_AUTHOR_LINK 1074
#define IDC_MAKER_LINK 1075
