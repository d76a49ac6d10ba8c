#include "platform/fake/fake_folders.h"

#include <cctype>

namespace {

bool EndsWithIgnoringCase(const std::string& name, const std::string& suffix) {
    if (name.size() < suffix.size()) return false;
    const size_t from = name.size() - suffix.size();
    for (size_t i = 0; i < suffix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(name[from + i])) !=
            std::tolower(static_cast<unsigned char>(suffix[i])))
            return false;
    }
    return true;
}

// "C:\a\b.toml" as folder "C:\a" and name "b.toml".
bool Split(const std::string& path, std::string& folder, std::string& name) {
    const size_t slash = path.rfind('\\');
    if (slash == std::string::npos) return false;
    folder = path.substr(0, slash);
    name = path.substr(slash + 1);
    return true;
}

}  // namespace

void FakeFolderFiles::Put(const std::string& folder, const std::string& name,
                          const std::string& bytes) {
    File& file = folders[folder][name];
    file.bytes = bytes;
    file.lastWrite = ++clock_;
}

void FakeFolderFiles::Remove(const std::string& folder, const std::string& name) {
    auto it = folders.find(folder);
    if (it != folders.end()) it->second.erase(name);
}

std::string FakeFolderFiles::Bytes(const std::string& folder, const std::string& name) const {
    auto it = folders.find(folder);
    if (it == folders.end()) return "";
    auto file = it->second.find(name);
    return file == it->second.end() ? "" : file->second.bytes;
}

bool FakeFolderFiles::List(const std::string& folder, const std::string& suffix,
                           std::vector<FolderEntry>& out) {
    out.clear();
    auto it = folders.find(folder);
    if (it == folders.end()) return false;
    for (const auto& [name, file] : it->second) {
        if (file.link || !EndsWithIgnoringCase(name, suffix)) continue;
        out.push_back(FolderEntry{name, file.bytes.size(), file.lastWrite});
    }
    return true;
}

FakeFolderFiles::File* FakeFolderFiles::Find(const std::string& path) {
    std::string folder, name;
    if (!Split(path, folder, name)) return nullptr;
    auto it = folders.find(folder);
    if (it == folders.end()) return nullptr;
    auto file = it->second.find(name);
    return file == it->second.end() ? nullptr : &file->second;
}

bool FakeFolderFiles::Read(const std::string& path, size_t maxBytes, std::string& out) {
    out.clear();
    ++reads;
    File* file = Find(path);
    if (file == nullptr || file->unreadable || file->link) return false;
    out = file->bytes.substr(0, maxBytes);
    return true;
}

bool FakeFolderFiles::MakeFolders(const std::string& path) {
    if (folders.count(path) != 0) return true;
    if (unwritable.count(path) != 0) return false;
    folders[path];
    return true;
}

FolderFiles::CreateStatus FakeFolderFiles::WriteNew(const std::string& path,
                                                    const std::string& bytes) {
    std::string folder, name;
    if (!Split(path, folder, name) || folders.count(folder) == 0 || unwritable.count(folder) != 0)
        return CreateStatus::Failed;
    if (folders[folder].count(name) != 0) return CreateStatus::Exists;
    Put(folder, name, bytes);
    return CreateStatus::Written;
}

bool FakeFolderFiles::ReplaceExisting(const std::string& path, const std::string& bytes) {
    std::string folder, name;
    File* file = Find(path);
    if (file == nullptr || file->link || file->unreadable || !Split(path, folder, name) ||
        unwritable.count(folder) != 0)
        return false;
    Put(folder, name, bytes);
    return true;
}

bool FakeFolderFiles::DeleteExisting(const std::string& path) {
    std::string folder, name;
    File* file = Find(path);
    if (file == nullptr || file->link || file->unreadable || !Split(path, folder, name) ||
        unwritable.count(folder) != 0)
        return false;
    Remove(folder, name);
    return true;
}
