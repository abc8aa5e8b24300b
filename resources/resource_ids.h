#pragma once

// Ids of the resources in melvora.rc that code refers to. Plain #defines so that the
// resource script can use them too.

#define IDI_MELVORA 5
#define IDR_MAIN_MENU 173
#define IDR_FILE_MENU 174
#define IDD_ABOUT 381
#define IDB_ABOUT_PICTURE 382

// Title row of every skinned window.
#define IDC_CLOSE_BOX 1063
#define IDC_HELP_BOX 1064
#define IDC_TITLE_BAR 1065
#define IDC_MINIMIZE_BOX 1072

// About box placeholders.
#define IDC_ABOUT_PICTURE 1066
#define IDC_ABOUT_TEXT 1067
#define IDC_ABOUT_OK 1001

// Menu commands.
#define ID_FILE_NEW 57600
#define ID_FILE_OPEN 57601
#define ID_FILE_SAVE 57603
#define ID_OPTIONS 33053
#define ID_EXIT 33054
#define ID_VIEW_ANALYSIS 33071
#define ID_VIEW_MEDIA_PLAYER 33057
#define ID_VIEW_STAFF 33059
#define ID_VIEW_KEYBOARD 33058
#define ID_VIEW_VOLUME 33068
#define ID_HELP_TOPICS 33062
#define ID_ABOUT 33063
