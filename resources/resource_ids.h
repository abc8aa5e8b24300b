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

// Volume window.
#define IDC_VOLUME_VAD_SLIDER 1017
#define IDC_VOLUME_IN_SLIDER 1018
#define IDC_VOLUME_OUT_SLIDER 1019
#define IDC_VOLUME_ENERGY_BAR 1021
#define IDC_VOLUME_SOURCE 1034
#define IDC_VOLUME_OUT_LABEL 1035
#define IDC_VOLUME_IN_LABEL 1036
#define IDC_VOLUME_VAD_LABEL 1037

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

// Exercise window (181), its menu (182) and the exercise chooser (183). The exercise window
// also has the main controls window's slider, time text and File and View buttons.
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
#define ID_RESTART_EXERCISE 33086
// Keyboard window (dialog 130): controls, the layout and MIDI volume menu commands, and the
// three runs of Device menu commands (General MIDI programs 0-72, 73-79, 80-127).
#define IDC_KEYBOARD_VIEW 1069
#define IDC_KEYBOARD_DEVICE 1076
#define IDC_KEYBOARD_LAYOUT 1077
#define IDC_KEYBOARD_SPACER 1078
#define IDC_PLAY_ALONG 1079
#define IDC_MIDI_VOLUME 1110
#define ID_LAYOUT_SINGLE_ROW 33109
#define ID_LAYOUT_DOUBLE_ROW 33110
#define ID_MIDI_VOLUME_LOW 33118
#define ID_MIDI_VOLUME_MEDIUM 33119
#define ID_MIDI_VOLUME_HIGH 33120
#define ID_INSTRUMENT_FIRST 32917
#define ID_INSTRUMENT_FLUTE 32991
#define ID_INSTRUMENT_LEAD_1 32999

// MIDI input chooser (dialog 165).
#define IDD_LIST_CHOOSER 165
#define IDC_CHOOSER_LIST 1015
// Media player window.
#define IDC_PLAYER_PLAY 1009
#define IDC_PLAYER_EJECT 1011
#define IDC_PLAYER_POSITION 1017
#define IDC_PLAYER_PAUSE 1024
#define IDC_PLAYER_STOP 1025
#define IDC_PLAYER_TIME 1027
#define IDC_PLAYER_TEMPO 1028
#define IDC_PLAYER_TEMPO_CAPTION 1093
#define IDC_PLAYER_MARK_X8 1107
#define IDC_PLAYER_MARK_X1 1108
#define IDC_PLAYER_MARK_EIGHTH 1109

// Options window.
#define IDD_OPTIONS 380
#define IDC_OPTIONS_DOCKING 1033
#define IDC_OPTIONS_NOTE_LETTERS 1034
#define IDC_OPTIONS_PLAY_ALONG 1035
#define IDC_OPTIONS_VIEW 1041
#define IDC_OPTIONS_LANGUAGE 1081
#define IDC_OPTIONS_LAYOUT 1082
#define IDC_OPTIONS_MIDI_VOLUME 1083
#define IDC_OPTIONS_MIDI_INPUT 1084
#define IDC_OPTIONS_LAYOUT_LABEL 1094
#define IDC_OPTIONS_LANGUAGE_LABEL 1095
#define IDC_OPTIONS_MIDI_VOLUME_LABEL 1096
#define IDC_OPTIONS_VIEW_LABEL 1105
#define IDC_OPTIONS_OK 1119
#define IDC_OPTIONS_CANCEL 1120
#define IDC_OPTIONS_MIDI_INPUT_LABEL 1125
#define IDC_OPTIONS_SET 1126
// The exercise flags of the options record.
#define IDC_OPTIONS_ALWAYS_CONTINUE 1141
#define IDC_OPTIONS_AUTO_ADVANCE 1142
#define IDC_OPTIONS_EXERCISE_VAD 1143
#define IDC_OPTIONS_KEEP_RECORDINGS 1144
// Messages the program posts to its own windows, as offsets from WM_APP.
#define APP_MSG_TRANSPORT_EVENT 1
