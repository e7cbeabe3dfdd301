#pragma once
// One page of the main window. A page owns its controls (made on its tab layout) and the range of
// control ids it handles; KeyboardDlg routes every notification in that range, and the window messages
// that belong to the page, to it. What is not about controls (assignment rules, profile rules, macro
// editing, lighting state) lives in keys/, macros/ and lighting/, which the page calls.

#include "core/geometry.h"

class KeyboardDlg;
class MPanel;

class MainPage {
public:
    explicit MainPage(KeyboardDlg& window) : m_window(window) {}
    virtual ~MainPage() = default;
    MainPage(const MainPage&) = delete;
    MainPage& operator=(const MainPage&) = delete;

    // Makes the page's controls on its tab layout (null while the layout class is missing).
    virtual void Build(MPanel* page, const CRect& client) = 0;
    // Places the controls for the window's client rectangle.
    virtual void Layout(const CRect& client) = 0;
    // Whether a control id belongs to this page.
    virtual bool Owns(unsigned controlId) const = 0;
    // A notification of one of its controls; nonzero when handled.
    virtual long OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) = 0;
    // Texts beyond the bound control titles (list contents, descriptions) in the current language.
    virtual void ApplyTexts() {}

    MPanel* Page() const { return m_page; }

protected:
    KeyboardDlg& m_window;
    MPanel* m_page = nullptr;
};
