#pragma once

// Every number that names a resource, a control or a command of Melvora. The resource
// scripts and the code both include this file; no other file writes these numbers. Plain
// #defines so that the resource compiler can read them.

// Icon and menus.
#define IDI_MELVORA 5
#define IDR_MAIN_MENU 173
#define IDR_FILE_MENU 174

// Dialog templates.
#define IDD_CONTROLS 102
#define IDD_OWNER 116
#define IDD_KEYBOARD 130
#define IDD_ANALYSIS 131
#define IDD_STAFF 166
#define IDD_MEDIA_PLAYER 167
#define IDD_VOLUME 177
#define IDD_ABOUT 381

// Bitmaps with numbers (the skins are named resources).
#define IDB_KEY_BLACK 210
#define IDB_KEY_WHITE 211
#define IDB_TITLE_ACTIVE 185
#define IDB_TITLE_INACTIVE 199
#define IDB_TITLE_END_ACTIVE 376
#define IDB_TITLE_END_INACTIVE 375
#define IDB_SLIDER_POSITION_BEFORE 349
#define IDB_SLIDER_POSITION_AFTER 348
#define IDB_SLIDER_MEDIA_BEFORE 354
#define IDB_SLIDER_MEDIA_AFTER 353
#define IDB_SLIDER_TEMPO_BEFORE 356
#define IDB_SLIDER_TEMPO_AFTER 355
#define IDB_SLIDER_VOLUME_BEFORE 347
#define IDB_SLIDER_VOLUME_AFTER 346
#define IDB_THUMB_HORIZONTAL 351
#define IDB_THUMB_TEMPO 352
#define IDB_THUMB_VOLUME 329
#define IDB_ABOUT_PICTURE 382
#define IDB_STAR 341
#define IDB_CLEF_HALO 331
#define IDB_CLEF 332
#define IDB_NOTE_HALO 333
#define IDB_NOTE 334
#define IDB_NOTE_MASK 335
#define IDB_SHARP_HALO 336
#define IDB_SHARP 337
#define IDB_SHARP_MASK 338

// Title row of every skinned window.
#define IDC_CLOSE_BOX 1063
#define IDC_HELP_BOX 1064
#define IDC_TITLE_BAR 1065
#define IDC_MINIMIZE_BOX 1072

// About box placeholders.
#define IDC_ABOUT_PICTURE 1066
#define IDC_ABOUT_TEXT 1067
#define IDC_ABOUT_OK 1001

// Buttons of the skinned message box, left to right.
#define IDC_MESSAGE_BUTTON_1 1001
#define IDC_MESSAGE_BUTTON_2 1002
#define IDC_MESSAGE_BUTTON_3 1003

// Main controls window. The deck buttons' ids are also the commands the transport posts.
#define IDC_REC 1006
#define IDC_REW 1008
#define IDC_PLAY 1009
#define IDC_EJECT 1011
#define IDC_POSITION_SLIDER 1017
#define IDC_TIME_TEXT 1027
#define IDC_FILE_MENU_BUTTON 1073
#define IDC_VIEW_MENU_BUTTON 1074
#define IDC_HELP_MENU_BUTTON 1075
#define IDC_RECORD_GROUP 1090
#define IDC_REPLAY_GROUP 1091
#define IDC_FILE_GROUP 1092

// Places of the views in the floating windows.
#define IDC_STAFF_VIEW 1066
#define IDC_ANALYSIS_VIEW 1067

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
// Starts the exercises; inserted into the File menu at run time (no item in the resource).
#define ID_EXERCISES 33072

// Messages the program posts to its own windows, as offsets from WM_APP.
#define APP_MSG_TRANSPORT_EVENT 1
