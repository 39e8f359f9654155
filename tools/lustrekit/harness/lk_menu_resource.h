// Command and control identifiers of the skinned-menu demo window and the menu tests.
#pragma once

#define IDM_FILE_NEW 101
#define IDM_FILE_OPEN 102
#define IDM_FILE_SAVE 103
#define IDM_FILE_RECENT1 104
#define IDM_FILE_RECENT2 105
#define IDM_FILE_EXIT 106
#define IDM_VIEW_TOOLBAR 201
#define IDM_VIEW_STATUS 202
#define IDM_VIEW_SMALL 203
#define IDM_VIEW_MEDIUM 204
#define IDM_VIEW_LARGE 205
#define IDM_VIEW_REFRESH 206
#define IDM_VIEW_LOCKED 207
#define IDM_HELP_CONTENTS 301
#define IDM_HELP_ABOUT 302
#define IDM_EDIT_CUT 401
#define IDM_EDIT_COPY 402
#define IDM_EDIT_PASTE 403
#define IDM_EDIT_DELETE 404
#define IDC_DEMO_BUTTON 501
