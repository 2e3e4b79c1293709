#pragma once
// Resource and command ids shared by the .rc file and the code (plain macros: the resource
// compiler reads this file too).

#define IDR_MAIN_MENU 102

#define IDI_APPLICATION_ICON 105
#define IDI_NOT_CONNECTED 109
#define IDI_CONNECTED 110
#define IDB_ABOUT 111

#define IDS_SAVED 103
#define IDS_SAVE_ERROR 104
#define IDS_FILE_EXISTS 105
#define IDS_CSV_ERROR 106
#define IDS_ARE_YOU_SURE 107
#define IDS_READ_OK 108
#define IDS_LOAD_ERROR 109
#define IDS_ENTER_ALTITUDE 110
#define IDS_INHIBIT_LARGE 111
#define IDS_LINES_DISABLED 112
#define IDS_CONNECT_BATTERY 113
#define IDS_FIRMWARE_DELICATE 114

// Dialog templates and controls
#define IDD_ABOUT 103
#define IDC_STATUS 1003
#define IDC_ABOUT_CLOSE 1004
#define IDC_ABOUT_GROUP 1007
#define IDC_ABOUT_BANNER 1038

#define IDM_FILE_EXIT 40002
#define IDM_FILE_OPEN 40004
#define IDM_TOOLS_CAPTURE 40006
#define IDM_TOOLS_SETTINGS 40007
#define IDM_FILE_EXPORT 40009
#define IDM_HELP_ABOUT 40010
#define IDM_TOOLS_FIRMWARE 40011
#define IDM_TOOLS_CONTROL 40014
