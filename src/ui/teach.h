// Teaching a button: what the user taught for a program goes into the user's own
// profile file for it, changing that button's line alone, or into a new file.
#pragma once

#include <cstdint>
#include <string>

#include "platform/ports.h"
#include "profiles/profile_files.h"
#include "ui/profile_watch.h"

struct TaughtSave {
    bool ok = false;
    std::string path;  // the file written
    std::string text;  // what to tell the user
};

// `action` as a file writes a value ("\"Ctrl+P\"", "{ app_command = \"MEDIA_PLAY\" }").
// The user's file in force for the program's process is changed in place; without one,
// a new file is made for it. Either way the folders are read again, so the change is in
// force at once.
TaughtSave SaveTaughtButton(FolderFiles& files, const ProfileFolderPaths& paths,
                            const KnownProgram& program, int32_t button, const std::string& action);

// Both folders read and put in force now, with every problem recorded for the settings.
void ReloadProfileFolders(FolderFiles& files, const ProfileFolderPaths& paths);
