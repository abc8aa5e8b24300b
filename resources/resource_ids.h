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

// Staff window (dialog 166): the view's placeholder.
#define IDC_STAFF_VIEW 1066

// MIDI input chooser (dialog 165).
#define IDD_LIST_CHOOSER 165
#define IDC_CHOOSER_LIST 1015
