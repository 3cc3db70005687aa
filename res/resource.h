// Resource ids of Varnek.exe, shared by res/Varnek.rc and the program.
#pragma once

// 128: toolbar, its bitmap, the second menu and the about icon.
// 129: the main frame: title string, menu bar and class icon.
#define IDR_MAINFRAME 128
#define IDR_VARNEK 129

#define IDD_SETUP 101
#define IDD_EDITSTRING 102
#define IDD_ABOUTBOX 103
#define IDD_INBOX 104

// Setup dialog.
#define IDC_PORT 1000
#define IDC_SPEED 1002
#define IDC_CHECKDUPLICATES 1003
#define IDC_MINPAUSE 1005
#define IDC_MAXPAUSE 1006
#define IDC_FINDPORT 1008
#define IDC_SEARCHSTATE 1009
#define IDC_REPORTS 1010
#define IDC_SMSC 1011

// Input dialog.
#define IDC_PROMPT 1000
#define IDC_TEXT 1001

// Inbox.
#define IDC_INBOXSTATE 1000
#define IDC_INBOXLIST 1001

// About box.
#define IDC_WEBLINK 1000
#define IDC_MAILLINK 1001
#define IDC_VERSION 1002

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Commands.
#define ID_LIST_CLEAR 57600
#define ID_LIST_OPEN 57601
#define ID_LIST_ADD 32781
#define ID_LIST_GENERATE 32782
#define ID_DELIVERY_START 32775
#define ID_DELIVERY_START_SELECTED 32788
#define ID_DELIVERY_STOP 32776
#define ID_DELIVERY_RESEND_UNCONFIRMED 32789
#define ID_INBOX 32790
#define ID_SETUP 32777
#define ID_HELP_ABOUT 32778

// The status bar's text before the frame has finished its creation.
#define IDS_READY 57345

// Prompts of the system menu's commands.
#define IDS_SCSIZE 61184
#define IDS_SCMOVE 61185
#define IDS_SCMINIMIZE 61186
#define IDS_SCMAXIMIZE 61187
#define IDS_SCNEXTWINDOW 61188
#define IDS_SCPREVWINDOW 61189
#define IDS_SCCLOSE 61190
#define IDS_SCRESTORE 61202
#define IDS_SCTASKLIST 61203
