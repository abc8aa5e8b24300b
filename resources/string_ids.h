#pragma once

// Names for the ids of resources/strings.rc. Each names the English entry n; the Turkish
// text is entry n + 1000 (LoadText adds the offset). Plain #defines so that resource
// scripts can use them as well as C++ code.

// Media player
#define IDS_PLAY 102
#define IDS_PAUSE 103
#define IDS_STOP 104
#define IDS_OPEN_FILE 105
#define IDS_CHANGE_TEMPO 107
#define IDS_MEDIA_PLAYER 141
#define IDS_MIDI_BEAT 142
#define IDS_NAVIGATE_POSITION 152
#define IDS_MCI_ERROR 224
#define IDS_CANNOT_CLOSE_MIDI_OUT 222
#define IDS_CANNOT_REOPEN_MIDI_OUT 223

// Main controls window
#define IDS_TIP_REPLAY_POSITION 106
#define IDS_TIP_REC 108
#define IDS_TIP_REW 109
#define IDS_TIP_PLAY 110
#define IDS_TIP_EJECT 111
#define IDS_APP_CAPTION 125
#define IDS_GROUP_RECORD 132
#define IDS_GROUP_REPLAY 134
#define IDS_MENU_FILE 135
#define IDS_GROUP_FILE 136
#define IDS_RECORDED_SO_FAR 140
#define IDS_CLOSE 143
#define IDS_MENU_VIEW 144
#define IDS_MENU_HELP 145
#define IDS_MINIMIZE 153
#define IDS_HELP 191
#define IDS_ERROR 236
#define IDS_ERROR_MOVING_FILE 237
#define IDS_FILE 238
#define IDS_TARGET 239
#define IDS_ASK_SAVE_RECORDINGS 240
#define IDS_SAVE 243

// Volume and input mixer, energy bar
#define IDS_SYSTEM_VOLUME 112
#define IDS_INPUT_GAIN 113
#define IDS_VOICE_ACTIVATION 114
#define IDS_AMPLITUDE 115
#define IDS_SELECT_INPUT_DEVICE 137
#define IDS_LABEL_OUT 154
#define IDS_LABEL_IN 155
#define IDS_LABEL_VAD 156

// Analysis window
#define IDS_TESSIM_TITLE 116
#define IDS_ANALYSIS 151
#define IDS_JITTER_TITLE 157
#define IDS_SHIMMER_TITLE 158
#define IDS_DETECTED_PITCH 160
#define IDS_TESSIM_ANIMATION 161
#define IDS_JITTER_ANIMATION 162
#define IDS_SHIMMER_ANIMATION 163
#define IDS_DETECTED_NOTE 164
#define IDS_PITCH 166
#define IDS_TESSIM 167
#define IDS_JITTER 168
#define IDS_SHIMMER 169
#define IDS_VIEW_CIRCLE 210
#define IDS_VIEW_CIRCLE2 211
#define IDS_VIEW_3D_CIRCLE 212
#define IDS_VIEW_3D_KNIFE 213
#define IDS_VIEW_STAR 214
#define IDS_VIEW_STAR2 215

// OpenGL views
#define IDS_NO_GL_CONTEXT 131
#define IDS_GL_MAKE_CURRENT_FAILED 216
#define IDS_CHOOSE_PIXEL_FORMAT_FAILED 217
#define IDS_SET_PIXEL_FORMAT_FAILED 218

// Staff and keyboard windows, MIDI
#define IDS_DEVICE 146
#define IDS_STAFF 148
#define IDS_KEYBOARD 149
#define IDS_SELECT_MIDI_INPUT 133
#define IDS_CANNOT_OPEN_MIDI_IN 219
#define IDS_CANNOT_OPEN_MIDI_OUT 220
#define IDS_CANNOT_START_MIDI_IN 221
#define IDS_VOLUME_LOW 229
#define IDS_VOLUME_MEDIUM 230
#define IDS_VOLUME_HIGH 231
#define IDS_SELECT_MIDI_INPUT_PROMPT 244

// Exercise window (tool tips and the exit question)
#define IDS_TIP_RECORDING_POSITION 117
#define IDS_TIP_PLAYING_POSITION 118
#define IDS_TIP_RETRY 119
#define IDS_TIP_NEXT 120
#define IDS_TIP_BEGIN 121
#define IDS_TIP_FINISH 122
#define IDS_TIP_POSITION 123
#define IDS_TIP_SAVE_EXIT 124
#define IDS_TIP_STOP_RECORDING 126
#define IDS_TIP_STOP_PLAYING 127
#define IDS_TIP_EXIT 128
#define IDS_TIP_NEW_EXERCISE 129
#define IDS_TIP_RESTART 130
#define IDS_ASK_CONTINUE_EXERCISE 235
#define IDS_EXIT 241
#define IDS_ARE_YOU_SURE 242

// Options dialog
#define IDS_OPTIONS 170
#define IDS_DOCKING 176
#define IDS_TIP_DOCKING 177
#define IDS_NOTE_LETTERS 178
#define IDS_TIP_NOTE_LETTERS 179
#define IDS_PLAY_ALONG 180
#define IDS_TIP_PLAY_ALONG 181
#define IDS_PC_LAYOUT 182
#define IDS_TIP_PC_LAYOUT 183
#define IDS_SINGLE_ROW 184
#define IDS_TIP_SINGLE_ROW 185
#define IDS_DOUBLE_ROW 186
#define IDS_TIP_DOUBLE_ROW 187
#define IDS_LANGUAGE 188
#define IDS_TIP_LANGUAGE 189
#define IDS_VIEW 208
#define IDS_TIP_VIEW 209
#define IDS_MIDI_VOLUME 227
#define IDS_TIP_MIDI_VOLUME 228
#define IDS_MIDI_INPUT 259
#define IDS_TIP_MIDI_INPUT 260
#define IDS_SET 261
#define IDS_MIDI_NOT_AVAILABLE 262

// Message box buttons
#define IDS_OK 138
#define IDS_CANCEL 139
#define IDS_YES 147
#define IDS_NO 226
#define IDS_RETRY 232
#define IDS_ABORT 233
#define IDS_IGNORE 234

// About box
#define IDS_ABOUT_TEXT 258

// Texts the windows show without a numbered string of their own (captions, exercise
// runner texts, file-dialog filters, display formats).
#define IDS_VOLUME 300
#define IDS_EXERCISES 301
#define IDS_OPEN_EXERCISE 302
#define IDS_EXERCISE_DESCRIPTION 303
#define IDS_CONTINUE_CAPTION 304
#define IDS_BUTTON_RETRY 305
#define IDS_BUTTON_RESTART 306
#define IDS_BUTTON_BEGIN 307
#define IDS_BUTTON_NEXT 308
#define IDS_BUTTON_FINISH 309
#define IDS_BUTTON_NEW_EXERCISE 310
#define IDS_BUTTON_SAVE_EXIT 311
#define IDS_BUTTON_STOP 312
#define IDS_BUTTON_EXIT 313
#define IDS_TIME_TEXT_IDLE 314
#define IDS_RESULT_NONE 315
#define IDS_NO_RESULTS 316
#define IDS_FMT_STEP 317
#define IDS_FMT_STEP_RESULTS 318
#define IDS_FMT_STEP_PLAYING 319
#define IDS_FMT_STEP_ANALYZING 320
#define IDS_FMT_FINAL_RESULTS 321
#define IDS_FMT_TRY_AVERAGES 322
#define IDS_FMT_OVERALL_AVERAGES 323
#define IDS_FMT_PLAYING_TIME 324
#define IDS_FMT_RECORDING_TIME 325
#define IDS_ABOUT_CAPTION 326
#define IDS_FILTER_WAVE 327
#define IDS_FILTER_ALL 328
#define IDS_FMT_RECORDED_SO_FAR 329
#define IDS_FMT_REPLAY_TIME 330
#define IDS_FMT_MOVE_ERROR 331
#define IDS_FMT_CONTINUE_QUESTION 332
#define IDS_CANNOT_OPEN_WORKING_FILE 333
#define IDS_CAPTURE_DEVICE_FAILED 334
#define IDS_PLAYBACK_DEVICE_FAILED 335
// The working files that cannot be created in the program's folder.
#define IDS_CANNOT_CREATE_WORKING_FILES 336

// Exercise window: how well a try matched the melody, and a start that failed.
#define IDS_FMT_IN_TUNE 340
#define IDS_OCTAVE_BELOW 341
#define IDS_OCTAVE_ABOVE 342
#define IDS_FMT_OCTAVES 343
#define IDS_EXERCISE_START_FAILED 344
#define IDS_MENU_EXIT 345
// Options dialog: the exercise flags of the options record.
#define IDS_ALWAYS_CONTINUE 360
#define IDS_TIP_ALWAYS_CONTINUE 361
#define IDS_AUTO_ADVANCE 362
#define IDS_TIP_AUTO_ADVANCE 363
#define IDS_EXERCISE_VAD 364
#define IDS_TIP_EXERCISE_VAD 365
#define IDS_KEEP_RECORDINGS 366
#define IDS_TIP_KEEP_RECORDINGS 367
// Media player: a MIDI file with no MIDI output to play it on.
#define IDS_NO_MIDI_OUTPUT 368
// Replay: the take's file cannot be read back.
#define IDS_CANNOT_REPLAY 369
// Recording: the current file cannot be written.
#define IDS_CANNOT_WRITE_RECORDING 370
// Set-up: a sound device that cannot be opened.
