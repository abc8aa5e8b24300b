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

// Exercise window (181), its menu (182) and the exercise chooser (183).
#define IDD_EXERCISE 181
#define IDR_EXERCISE_MENU 182
#define IDD_OPEN_EXERCISE 183
#define IDC_EXERCISE_EXIT 5
#define IDC_EXERCISE_TEXT 1045
#define IDC_EXERCISE_NEXT 1046
#define IDC_EXERCISE_LIST 1051
#define IDC_EXERCISE_DESCRIPTION 1053
#define IDC_EXERCISE_RETRY 1061
#define IDC_EXERCISE_SCORE 1081
#define ID_EXERCISES 33072
#define ID_RESTART_EXERCISE 33086

// Shared by the main controls window and the exercise window.
#define IDC_POSITION_SLIDER 1017
#define IDC_TIME_TEXT 1027
#define IDC_FILE_MENU_BUTTON 1073
#define IDC_VIEW_MENU_BUTTON 1074
#define IDB_SLIDER_AFTER 348
#define IDB_SLIDER_BEFORE 349
#define IDB_SLIDER_THUMB 351
