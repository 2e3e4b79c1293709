#pragma once
// Ids of the practice dialog (the resource compiler reads this file too).

#define IDD_PRACTICE 200
#define IDC_PRACTICE_START 1001
#define IDC_PRACTICE_NEVER 1002
#define IDC_PRACTICE_STATUS 1003
#define IDC_PRACTICE_OPTION 1004
#define IDC_PRACTICE_NUMBER 1005
#define IDC_PRACTICE_FILL 1006
#define IDC_PRACTICE_LOCKED 1007
#define IDC_PRACTICE_HANG 1008
