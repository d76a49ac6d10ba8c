// Folders of whole files in memory, each file with a size and a write time that moves on
// at every change, as a user editing the files would leave them.
#pragma once

#include <map>
#include <set>
#include <string>

#include "platform/ports.h"

class FakeFolderFiles : public FolderFiles {
public:
    struct File {
        std::string bytes;
        uint64_t lastWrite = 0;
        bool unreadable = false;  // held by another program, or not ours to read
        bool link = false;        // a reparse point: never listed nor read
    };
    std::string roaming = "C:\\Users\\me\\AppData\\Roaming";
    // Folder path (as the program names it) to its files by name.
    std::map<std::string, std::map<std::string, File>> folders;
    std::set<std::string> unwritable;  // folders that refuse new files and new folders
    bool elevated = false;
    int32_t reads = 0;

    // Writes (or replaces) a file, making its folder; its write time moves on.
    void Put(const std::string& folder, const std::string& name, const std::string& bytes);
    void Remove(const std::string& folder, const std::string& name);
    // The file's bytes; "" when there is none.
    std::string Bytes(const std::string& folder, const std::string& name) const;

    std::string RoamingAppDataFolder() override { return roaming; }
    bool List(const std::string& folder, const std::string& suffix,
              std::vector<FolderEntry>& out) override;
    bool Read(const std::string& path, size_t maxBytes, std::string& out) override;
    bool MakeFolders(const std::string& path) override;
    CreateStatus WriteNew(const std::string& path, const std::string& bytes) override;
    bool ReplaceExisting(const std::string& path, const std::string& bytes) override;
    bool DeleteExisting(const std::string& path) override;
    bool ProcessElevated() override { return elevated; }

private:
    File* Find(const std::string& path);
    uint64_t clock_ = 0;
};
