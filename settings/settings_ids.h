// Resource identifiers of the settings sheet (strings, dialogs, controls).
#pragma once

#define IDI_VERIVIR 2
#define IDC_HAND_CURSOR 104

#define IDD_ABOUT_PAGE 3
#define IDD_GENERAL_PAGE 102
#define IDD_TEXT_PAGE 103
#define IDD_ZAZOZERU_PAGE 104
#define IDD_GL_PAGE 108

// The sheet's caption, in the program's own block of strings 0 to 15.
#define IDS_SHEET_CAPTION 5

// Strings 6 to 37.
#define IDS_LINK_HOME 6
#define IDS_LINK_MAIL 7
#define IDS_LINK_UPDATE 8
#define IDS_TIP_HOME 9
#define IDS_TIP_MAIL 10
#define IDS_TIP_BLEND 11
#define IDS_TIP_ALPHA 12
#define IDS_TIP_DITHER 13
#define IDS_TIP_LIGHTS 14
#define IDS_TIP_SMOOTH 15
#define IDS_TIP_TEXT 16
#define IDS_TIP_FONT 17
#define IDS_TIP_QUALITY 18
#define IDS_TIP_SIZE 19
#define IDS_TIP_UPDATE 20
#define IDS_TIP_SPEED 21
#define IDS_TIP_BIG_SHOW 22
#define IDS_TIP_BIG_DENSITY 23
#define IDS_TIP_BIG_POINTS 24
#define IDS_TIP_BIG_WIRE 25
#define IDS_TIP_BIG_COLOR 26
#define IDS_TIP_SMALL_SHOW 27
#define IDS_TIP_SMALL_DENSITY 28
#define IDS_TIP_SMALL_POINTS 29
#define IDS_TIP_SMALL_WIRE 30
#define IDS_TIP_SMALL_SOLID 31
#define IDS_TIP_SMALL_COLOR 32
#define IDS_TIP_DISPLAY_LISTS 33
#define IDS_TIP_SHOW_TEXT 34
#define IDS_TIP_TEXT_COLOR 35
#define IDS_BUILD 36
#define IDS_NOT_AVAILABLE 37

// About page.
#define IDC_BUILD 1050
#define IDC_LINK_HOME 1020
#define IDC_LINK_MAIL 1021
#define IDC_LINK_UPDATE 1022

// General page.
#define IDC_BLEND 1035
#define IDC_ALPHA 1036
#define IDC_DITHER 1037
#define IDC_LIGHTS 1038
#define IDC_SMOOTH 1039
#define IDC_DISPLAY_LISTS 1047

// Text page.
#define IDC_TEXT 1008
#define IDC_FONT 1009
#define IDC_TEXT_QUALITY 1010
#define IDC_TEXT_SIZE 1022
#define IDC_SPEED 1041
#define IDC_FAST 1042
#define IDC_SLOW 1043
#define IDC_SHOW_TEXT 1048
#define IDC_TEXT_COLOR 1049

// Verivir page.
#define IDC_BIG_SHOW 1018
#define IDC_BIG_DENSITY 1015
#define IDC_BIG_APPEARANCE 1025
#define IDC_BIG_POINTS 1026
#define IDC_BIG_WIRE 1027
#define IDC_BIG_COLOR 1034
#define IDC_SMALL_SHOW 1017
#define IDC_SMALL_DENSITY 1013
#define IDC_SMALL_APPEARANCE 1028
#define IDC_SMALL_POINTS 1029
#define IDC_SMALL_WIRE 1030
#define IDC_SMALL_SOLID 1031
#define IDC_SMALL_COLOR 1035

// OpenGL page.
#define IDC_GL_VENDOR 1051
#define IDC_GL_RENDERER 1052
#define IDC_GL_VERSION 1053
#define IDC_GL_EXTENSIONS 1054
