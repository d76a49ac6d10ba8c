// Resource ids of the introduction (intro.rc).
#pragma once
#define IDI_INTRO_APP 1
#define IDI_INTRO_AVAILABLE 10
#define IDI_INTRO_MISSING 11
#define IDI_INTRO_RED 20
#define IDI_INTRO_GREEN 21
#define IDI_INTRO_YELLOW 22
#define IDI_INTRO_BLUE 23
