// Identifiers of the program's resources and commands, shared by ketterlin.rc and the code.
#pragma once

#define IDR_MAINMENU 101
#define IDI_MAINICON 102

#define IDM_EXIT 40001
#define IDM_OPEN 40002
#define IDM_ABOUT 40003
// The Data view's context menu, made in code.
#define IDM_PLOT 40010
