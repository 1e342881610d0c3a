#pragma once

// Resource and control IDs, grouped by the window that uses them.

// Program icon
#define IDR_MAINFRAME 133

// Main setup dialog
#define IDD_SETUP_DIALOG 102
#define IDB_PRINTERS 129
#define IDB_LOGO 147
#define IDC_MODEL_TAB 1000
#define IDC_MODEL_LIST 1001
#define IDC_PRINTER_NAME_LABEL 1009
#define IDC_PRINTER_NAME 1017
#define IDC_PORT_GROUP 1018
#define IDC_PORT_USB 1019
#define IDC_PORT_SERIAL 1020
#define IDC_MAKE_DEFAULT 1032
#define IDC_PORT_TCPIP 1033
#define IDC_PORT_LPT 1066
#define IDC_PORT_UTP 1067
#define IDC_LOGO 1068

// Busy notice
#define IDD_BUSY_NOTICE 130
#define IDB_SETUP_PICTURE 132
#define IDC_NOTICE_TEXT 1002

// Port selection dialog
#define IDD_PORT_SELECTION 109
#define IDC_PORT_SELECT_OK 1008
#define IDC_PORT_SELECT_CANCEL 1006
#define IDC_PORT_LIST 1016
#define IDC_CURRENT_PORT 1017
#define IDC_CONFIGURE_PORT 1029
#define IDC_CREATE_PORT 1034

// USB printer arrival dialog
#define IDD_DEVICE_ARRIVAL 106
#define IDC_ARRIVAL_PROMPT 1031

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
