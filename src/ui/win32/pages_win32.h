// The settings form, its property sheet and the four pages.
#pragma once

#include <windows.h>

#include <memory>

#include "ui/pages.h"
#include "ui/win32/ui_win32.h"

class CDocument;

namespace ui32 {

class CGeneralPropPage : public Dialog {
public:
    explicit CGeneralPropPage(CDocument* doc) : logic_(controls_, doc) {}
    ~CGeneralPropPage() override;
    bool Fill() { return hwnd_ != nullptr && logic_.Fill(); }

protected:
    INT_PTR OnMessage(UINT m, WPARAM wp, LPARAM lp) override;

private:
    DialogControls controls_{hwnd_};
    MacrosPageLogic logic_;
    HFONT boldFont_ = nullptr;
};

class CAdvancedPropPage : public Dialog {
public:
    CAdvancedPropPage() : logic_(controls_) {}
    bool Fill() { return hwnd_ != nullptr && logic_.Fill(); }

protected:
    INT_PTR OnMessage(UINT m, WPARAM wp, LPARAM lp) override;

private:
    DialogControls controls_{hwnd_};
    AdvancedPageLogic logic_;
};

class CProgramsPropPage : public Dialog {
public:
    CProgramsPropPage() : logic_(controls_) {}
    ~CProgramsPropPage() override;
    bool Fill() { return hwnd_ != nullptr && logic_.Fill(); }
    // Closes the Teach a Button dialog when it is open (the settings window is hidden).
    void EndTeaching();

protected:
    INT_PTR OnMessage(UINT m, WPARAM wp, LPARAM lp) override;

private:
    void Teach();

    DialogControls controls_{hwnd_};
    ProgramsPageLogic logic_;
    HWND teaching_ = nullptr;  // the Teach a Button dialog while it runs
    // False once the page is gone: the teach dialog's loop may outlive the page (the
    // program ends while it is open), and its caller must not touch the page then.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

class CAboutPropPage : public Dialog {
public:
    bool Fill() { return hwnd_ != nullptr; }

protected:
    INT_PTR OnMessage(UINT m, WPARAM wp, LPARAM lp) override;

private:
    HBITMAP picture_ = nullptr;  // drawn for the page's DPI, owned here
};

}  // namespace ui32
