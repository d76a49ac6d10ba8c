// Resource and control ids of OrbiscopeRemote.exe, shared by the .rc file and the
// windows that use them. Plain #defines so that windres reads this file too.
#pragma once

// Application icon; also the document template's resource id.
#define IDR_MAINFRAME 1
#define IDI_APP 1

// Dialog templates.
#define IDD_MACROS_PAGE 107      // "Macros" page (CGeneralPropPage)
#define IDD_NOIR 171             // "Hardware Error" (CNoIRDlg)
#define IDD_PLUGIN_WAIT 209      // hardware-wait window (CPlugInDlg)
#define IDD_FORMVIEW 212         // settings form (CRemoteFormView)
#define IDD_ADVANCED_PAGE 215    // "Advanced" page (CAdvancedPropPage)
#define IDD_UNSUPPORTED 228      // unsupported-program warning (CUnsupportedDlg)
#define IDD_ABOUT_PAGE 238       // "About" page (CAboutPropPage)
#define IDD_PROGRAMS_PAGE 250    // "Programs" page, between Macros and About
#define IDD_TEACH 260            // "Teach a Button", opened from the Programs page

// Tray menu; its first pop-up holds the commands below.
#define IDR_TRAYMENU 208
#define ID_TRAY_SETTINGS 32775
#define ID_TRAY_SHUTDOWN 32773
#define ID_TRAY_HELP 32772

// Strings.
#define IDS_SHEET_CAPTION 129

// Icons.
#define IDI_NOT_AVAILABLE 166
#define IDI_AVAILABLE 170
#define IDI_HARDWARE_ERROR 175
#define IDI_MACRO_GREEN 224      // row 2
#define IDI_MACRO_RED 225        // row 1
#define IDI_MACRO_YELLOW 226     // row 3
#define IDI_MACRO_BLUE 227       // row 4

// Bitmaps.
#define IDB_PLUGIN_WAIT 215
#define IDB_ABOUT 240

// Settings form (212).
#define IDC_SHEET_PLACEHOLDER 1019
#define IDC_FORM_OK 1030
#define IDC_FORM_CANCEL 1031
#define IDC_FORM_HELP 1012

// Macros page (107): rows 1..4 top to bottom.
#define IDC_MACROS_TITLE 1033
#define IDC_MACRO1_COMBO 1039
#define IDC_MACRO1_EDIT 1020
#define IDC_MACRO1_BROWSE 1021
#define IDC_MACRO2_COMBO 1040
#define IDC_MACRO2_EDIT 1022
#define IDC_MACRO2_BROWSE 1023
#define IDC_MACRO3_COMBO 1042
#define IDC_MACRO3_EDIT 1024
#define IDC_MACRO3_BROWSE 1025
#define IDC_MACRO4_COMBO 1043
#define IDC_MACRO4_EDIT 1026
#define IDC_MACRO4_BROWSE 1027

// Advanced page (215).
#define IDC_VOLUME_SLIDER 1028
#define IDC_REPEAT_RATE_SLIDER 1029
#define IDC_REPEAT_DELAY_SLIDER 1030
#define IDC_POWER_BUTTON_CHECK 1032
#define IDC_AUTOSWITCH_CHECK 1033
#define IDC_SAVER_WAKEUP_CHECK 1034
#define IDC_MOUSE_MODE_CHECK 1038
#define IDC_POWER_MODE_COMBO 1041
#define IDC_OSD_CHECK 1060

// Programs page (250).
#define IDC_PROGRAMS_SEARCH 1070
#define IDC_PROGRAMS_LIST 1071
#define IDC_PROGRAMS_BUTTONS 1072
#define IDC_PROGRAMS_PROBLEMS 1073
#define IDC_PROGRAMS_PROBLEMS_LABEL 1074
#define IDC_PROGRAMS_COPY 1075
#define IDC_PROGRAMS_OPEN 1076
#define IDC_PROGRAMS_TEACH 1080

// Teach a Button (260).
#define IDC_TEACH_PROGRAM 1081
#define IDC_TEACH_BROWSE 1082
#define IDC_TEACH_BUTTON_TEXT 1083
#define IDC_TEACH_AGAIN 1084
#define IDC_TEACH_KEYS 1085
#define IDC_TEACH_LIST 1086
#define IDC_TEACH_LINE 1087
#define IDC_TEACH_SAVE 1088
#define IDC_TEACH_RESULT 1089

// About page (238).
#define IDC_ABOUT_PICTURE 1044
#define IDC_ABOUT_LINK 1045

// Unsupported-program warning (228).
#define IDC_UNSUPPORTED_TEXT 1037
#define IDC_UNSUPPORTED_DONT_SHOW 1036

// Hardware-wait window (209).
#define IDC_PLUGIN_HELP 1014
#define IDC_PLUGIN_CANCEL 1035

// Another remote: the Programs page's button, and its dialog (270).
#define IDD_ANOTHER_REMOTE 270
#define IDC_PROGRAMS_ANOTHER_REMOTE 1100
#define IDC_REMOTE_NAME 1101
#define IDC_REMOTE_STATUS 1102
#define IDC_REMOTE_START_OVER 1103
#define IDC_REMOTE_BUTTON 1104
#define IDC_REMOTE_SAVE 1105
#define IDC_REMOTE_LEARNED 1106
#define IDC_REMOTE_REMOVE 1107
