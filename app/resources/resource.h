// Resource and control identifiers of Tunewright's dialogs and icons.
#pragma once

// Dialog templates.
#define IDD_MAIN 102
#define IDD_ABOUT 104

// Icons (the first, the program's own, is also the executable's icon).
#define IDI_TUNEWRIGHT 201
#define IDI_HELP 202
#define IDI_EXIT 203
#define IDI_OPEN 204
#define IDI_MIDI_FILE 205
#define IDI_PLAY 206
#define IDI_STOP 207
#define IDI_CONVERT 208
#define IDI_ABORT 209
#define IDI_WAVE 210
#define IDI_MP3 211
#define IDI_HOME_PAGE 212
#define IDI_SET_PATH 213
#define IDI_DEFAULT 214

// Commands without a control of their own.
#define IDC_EXIT 1         // IDOK: the Exit button and the About box's OK
#define IDC_ESCAPE 2       // IDCANCEL: the Escape key
#define IDC_HELP_COMMAND 9 // IDHELP: F1 (the dialog's accelerator)

// Main dialog (102), in tab order.
#define IDC_GROUP_MIDI_FILE 1999
#define IDC_OPEN 2004
#define IDC_FILE_NAME 2016
#define IDC_PLAY_TIME 2032
#define IDC_PLAY 2007
#define IDC_STOP 2017
#define IDC_POSITION 2009
#define IDC_GROUP_VOLUME 1993
#define IDC_VOLUME 2024
#define IDC_GROUP_TEMPO 1998
#define IDC_TEMPO 2025
#define IDC_TEMPO_LABEL 2026
#define IDC_GROUP_TONE 1994
#define IDC_TONE_LABEL 2027
#define IDC_TONE_UP 2028
#define IDC_TONE_DOWN 2029
#define IDC_GROUP_CONVERTER 1997
#define IDC_OUTPUT_FORMAT 2022
#define IDC_WAV_QUALITY 2011
#define IDC_MP3_QUALITY 2023
#define IDC_GROUP_OUTPUT_PATH 1995
#define IDC_SET_PATH 2013
#define IDC_OUTPUT_PATH 2012
#define IDC_SAME_DIRECTORY 2014
#define IDC_PROGRESS 2010
#define IDC_CONVERT_TIME 2015
#define IDC_ABORT 2018
#define IDC_CONVERT 2008
#define IDC_GROUP_INSTRUMENTS 1996
#define IDC_DEFAULT 2030
#define IDC_INSTRUMENTS 2031
#define IDC_ABOUT 2001

// About box (104).
#define IDC_HOME_PAGE 2101

// Commands the main dialog adds to its system menu: below 0xF000 and with the low four bits clear, as the
// system asks of its menu's commands, and above the identifiers Lustrekit gives separators (0..32767).
#define IDM_SOUNDFONT 0xE010
#define IDM_DEFAULT_SOUNDFONT 0xE020
