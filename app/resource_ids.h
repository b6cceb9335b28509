// Resource and control identifiers, shared by the resource script and the
// code. Plain macros, so the resource compiler can read them too.
#pragma once

#define IDS_APP_TITLE 103
#define IDC_PARLIVO 109  // class-name string, main menu and accelerator table
#define IDI_PARLIVO 107
#define IDD_ABOUTBOX 103
#define IDB_ABOUT_PICTURE 1006

// Commands of the main menu.
#define IDM_ABOUT 104
#define IDM_EXIT 105
#define IDM_NEW 106
#define IDM_EDIT_CONFIG 110
#define IDM_LOAD_CONFIG 111

// Controls of the main window; the buttons send their ids as commands.
#define IDC_INPUT_BOX 1001
#define IDC_ARABIC_BOX 1002
#define IDC_ENGLISH_BOX 1003
#define IDC_GERMAN_BOX 1004
#define IDC_TRANSLATE_BUTTON 1005
#define IDC_CLEAR_BUTTON 1006
#define IDC_EXIT_BUTTON 1007
#define IDC_MODEL_LABEL 1008

// Items of the About box.
#define IDC_ABOUT_PICTURE 1005
#define IDC_ABOUT_TEXT 1007
