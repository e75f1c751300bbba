#pragma once
// Numbers of the module's resources and of the controls in its dialogs,
// shared by the resource script and the code (plain defines: the resource
// compiler reads this file too).

// Dialog templates.
#define IDD_PAGE 101           // the property page (no controls of its own)
#define IDD_ABOUT_PANEL 102    // the painted About panel
#define IDD_ABOUT_TEXT 103     // the About text dialog
#define IDD_PREFS_MISC 134     // the "Misc" page of the Preferences dialog
#define IDD_PREFERENCES 135    // the Preferences dialog
#define IDD_PRESETS 136        // the Presets dialog
#define IDD_VALUE_ENTRY 137    // the value-entry popup

// Bitmaps.
#define IDB_SKIN 106           // 430 x 110 page skin
#define IDB_SLIDER_CAP 107     // 50 x 50, fader cap on pure blue
#define IDB_ABOUT_PANEL 108    // 220 x 220 About panel
#define IDB_KNOB_A 109         // 81 x 81 knob face, ridges in one phase
#define IDB_KNOB_B 110         // 81 x 81 knob face, ridges in the other
#define IDB_RIGHT_LIT 111      // 22 x 19 right select arrow, pressed
#define IDB_RIGHT_DIM 112      // 22 x 19 right select arrow, normal
#define IDB_LEFT_LIT 113       // 22 x 19 left select arrow, pressed
#define IDB_LEFT_DIM 114       // 22 x 19 left select arrow, normal

// The page's context menu and its items.
#define IDM_CONTEXT 117
#define ID_HELP 40001
#define ID_ABOUT 40002
#define ID_PRESETS 40003
#define ID_PREFERENCES 40004

// Strings.
#define IDS_TITLE 1            // "OVSombrevoxLight", the page title
#define IDS_ABOUT_TITLE 3      // the About title, enciphered with IDS_ABOUT_KEY
#define IDS_VERSION 4          // "Version 2.0"
#define IDS_ABOUT_KEY 5        // the key of IDS_ABOUT_TITLE
#define IDS_NOTICE 6           // the About panel's notice line
#define IDS_BANK_FILE 7        // "SombrevoxLight20.prs", the default bank file name

// Controls of the page.
#define IDC_LEVEL 201
#define IDC_VALUE 202
#define IDC_SELECT_LEFT 203
#define IDC_SELECT_RIGHT 204
#define IDC_DISPLAY 205

// Controls of the dialogs.
#define IDC_ABOUT_TEXT 1020
#define IDC_SHOW_PRESENTATION 1022
#define IDC_PREFS_TABS 1023
#define IDC_PRESET_NAME 1024
#define IDC_PRESET_LIST 1025
#define IDC_BANK 1026
#define IDC_LOAD 1027
#define IDC_ADD 1028
#define IDC_UPDATE 1029
#define IDC_DELETE 1030
#define IDC_VALUE_EDIT 1031
