#pragma once

// Resource and control identifiers of Levelsmith.exe.
#define IDR_MAINFRAME 128
#define IDD_COMPILER_DIALOG 102
#define IDB_COMPILER_PICTURE 131

#define IDC_COMPILE 3
#define IDC_VIEWMAP 5
#define IDC_INPUT 1000
#define IDC_OUTPUT 1001
#define IDC_BROWSE 1004
#define IDC_SPLIT 1007
#define IDC_PROGRESS 1008
#define IDC_EPSILON 1014
