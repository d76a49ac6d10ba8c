// Shared by the settings window and dialog files: the thin dialog wrapper and the page
// controls over a real dialog.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "ui/pages.h"

namespace ui32 {

HINSTANCE Instance();

// The DPI a window is drawn for (GetDpiForWindow where the system has it, else the
// system DPI).
UINT WindowDpi(HWND w);

// A picture of this program's bitmaps, which are drawn for 192 DPI, scaled for a window
// of the given DPI (a 24-bit DIB section the caller deletes); null when it is missing.
HBITMAP LoadPictureForDpi(int resource, UINT dpi);

inline WindowHandle Handle(HWND h) { return reinterpret_cast<WindowHandle>(h); }

// A dialog object behind a dialog procedure: the object arrives with WM_INITDIALOG
// (directly, or as a property page's lParam) and is found in DWLP_USER afterwards; the
// pointer is cleared when the window goes.
class Dialog {
public:
    Dialog() = default;
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;
    virtual ~Dialog() = default;

    HWND hwnd() const { return hwnd_; }
    // For dialogs: the object is WM_INITDIALOG's parameter.
    static INT_PTR CALLBACK DialogProc(HWND h, UINT m, WPARAM wp, LPARAM lp);
    // For property pages: the object is the PROPSHEETPAGE's lParam.
    static INT_PTR CALLBACK PageProc(HWND h, UINT m, WPARAM wp, LPARAM lp);

protected:
    virtual INT_PTR OnMessage(UINT m, WPARAM wp, LPARAM lp) = 0;
    // After WM_NCDESTROY, when the window is gone; the object may delete itself here.
    virtual void OnGone() {}

    HWND hwnd_ = nullptr;

private:
    static INT_PTR Route(Dialog* d, HWND h, UINT m, WPARAM wp, LPARAM lp);
};

// PageControls over the controls of one dialog window.
class DialogControls : public PageControls {
public:
    explicit DialogControls(HWND& dialog) : dialog_(dialog) {}
    WindowHandle Window() override { return Handle(dialog_); }
    void AddComboItem(int32_t id, const std::string& text) override;
    int32_t ComboCount(int32_t id) override;
    std::string ComboItem(int32_t id, int32_t index) override;
    void SetComboSelection(int32_t id, int32_t index) override;
    int32_t ComboSelection(int32_t id) override;
    void SetEnabled(int32_t id, bool enabled) override;
    void SetText(int32_t id, const std::string& text) override;
    std::string Text(int32_t id) override;
    void SetSliderPos(int32_t id, int32_t pos) override;
    int32_t SliderPos(int32_t id) override;
    void SetChecked(int32_t id, bool checked) override;
    bool Checked(int32_t id) override;
    std::optional<std::string> ChooseExistingFile() override;
    void SetListRows(int32_t id, const std::vector<std::vector<std::string>>& rows) override;
    int32_t ListSelection(int32_t id) override;
    void SetListSelection(int32_t id, int32_t index) override;

private:
    // A list view; otherwise the list is a list box.
    bool IsListView(int32_t id);
    LRESULT SendItem(int32_t id, UINT m, WPARAM wp, LPARAM lp);
    HWND& dialog_;
};

}  // namespace ui32
