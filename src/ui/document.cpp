#include "ui/document.h"

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "receiver/button_map.h"
#include "receiver/receiver.h"
#include "state/settings_store.h"

void CDocument::OnCloseDocument() {
    DeleteContents();
    views_.clear();
}

int32_t CDocument::AddView(ViewUpdate update) {
    const int32_t id = nextView_++;
    views_[id] = std::move(update);
    return id;
}

void CDocument::RemoveView(int32_t id) { views_.erase(id); }

void CDocument::UpdateAllViews() {
    // A view may remove itself while it refreshes.
    std::vector<ViewUpdate> updates;
    for (const auto& view : views_) updates.push_back(view.second);
    for (const auto& update : updates) {
        if (update) update();
    }
}

CRemoteDoc::CRemoteDoc() { SetCurrentSettings(&settings_); }

CRemoteDoc::~CRemoteDoc() {
    if (CurrentSettings() == &settings_) SetCurrentSettings(nullptr);
}

void CRemoteDoc::DeleteContents() { TheButtonMap().RemoveAllButtons(); }

bool CRemoteDoc::OnOpenDocument(const char* /*path*/) {
    // Declared first so that it closes last, after the views saw the new values.
    std::unique_ptr<RegistryKey> machineKey;
    {
        // The reader matches a whole code under this lock: held from the emptying to
        // the rebuild, it sees the whole old map or the whole new one, never an empty
        // or half-built one.
        CButtonMap& map = TheButtonMap();
        std::lock_guard<std::recursive_mutex> hold(map.Lock());
        DeleteContents();

        machineKey = OpenMachineSettingsKey();
        std::optional<std::string> installDir;
        if (machineKey) installDir = ReadLastInstallDir(*machineKey);
        const std::string defaults[4] = {DefaultFavorite(1, installDir),
                                         DefaultFavorite(2, installDir),
                                         DefaultFavorite(3, installDir),
                                         DefaultFavorite(4, installDir)};

        auto userKey = OpenUserSettingsKey();
        LoadSettingsValues(settings_, userKey.get(), defaults);
        LoadDefaultButtons(map);
    }
    SetModifiedFlag(false);
    UpdateAllViews();
    machineKey.reset();
    return true;
}

bool CRemoteDoc::OnSaveDocument(const char* /*path*/) {
    // The flag is cleared before the values are read: a change the reader thread makes
    // meanwhile either goes into this save or marks the record modified again, so the
    // next save writes it.
    SetModifiedFlag(false);
    auto userKey = OpenUserSettingsKey();
    SaveSettingsValues(settings_, userKey.get());
    return true;
}

void CRemoteDoc::OnCloseDocument() {
    CloseReceiver();
    CDocument::OnCloseDocument();
}

bool CRemoteDoc::SaveModified() {
    if (IsModified()) OnSaveDocument(nullptr);
    return true;
}
