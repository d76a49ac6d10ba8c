#include "profiles/catalogue.h"

int ForegroundCatalogueRow() { return -1; }
int HandleCatalogueButton(int, int32_t) { return 0; }
bool WindowIsCatalogued(WindowHandle) { return false; }
bool ForegroundIsSageTvFamily() { return false; }
