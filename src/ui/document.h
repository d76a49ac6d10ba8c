// The one document of the process: it owns the settings record, loads it from the
// registry and writes it back, and tells its views when the record changed under them.
#pragma once

#include <cstdint>
#include <functional>
#include <map>

#include "state/settings.h"

// The part of a framework document this program uses: the modified flag, the
// open/save/close operations and the views to notify.
class CDocument {
public:
    CDocument() = default;
    CDocument(const CDocument&) = delete;
    CDocument& operator=(const CDocument&) = delete;
    virtual ~CDocument() = default;

    virtual bool IsModified() const { return modified_; }
    virtual void SetModifiedFlag(bool modified = true) { modified_ = modified; }
    virtual void DeleteContents() {}
    virtual bool OnNewDocument() {
        DeleteContents();
        SetModifiedFlag(false);
        return true;
    }
    virtual bool OnOpenDocument(const char* path) { return true; }
    virtual bool OnSaveDocument(const char* path) { return true; }
    virtual void OnCloseDocument();
    virtual bool SaveModified() { return true; }

    // A view's refresh, run by UpdateAllViews on the calling thread. The id removes it.
    using ViewUpdate = std::function<void()>;
    int32_t AddView(ViewUpdate update);
    void RemoveView(int32_t id);
    void UpdateAllViews();

private:
    bool modified_ = false;
    std::map<int32_t, ViewUpdate> views_;
    int32_t nextView_ = 1;
};

class CRemoteDoc : public CDocument {
public:
    // Becomes CurrentSettings() for as long as it exists.
    CRemoteDoc();
    ~CRemoteDoc() override;

    RemoteSettings& Settings() { return settings_; }
    const RemoteSettings& Settings() const { return settings_; }

    // The record's own flag, so that the setters (called from the pages and from the
    // reader thread) and the document agree.
    bool IsModified() const override { return settings_.IsModified(); }
    void SetModifiedFlag(bool modified = true) override { settings_.SetModifiedFlag(modified); }

    // Empties the button map.
    void DeleteContents() override;
    bool OnNewDocument() override { return OnOpenDocument(nullptr); }
    // Loads the settings from the registry and rebuilds the button map.
    bool OnOpenDocument(const char* path) override;
    // Writes the settings to the registry.
    bool OnSaveDocument(const char* path) override;
    // Stops the receiver before the document goes.
    void OnCloseDocument() override;
    // Saves without asking when the record was changed.
    bool SaveModified() override;

private:
    RemoteSettings settings_;
};
