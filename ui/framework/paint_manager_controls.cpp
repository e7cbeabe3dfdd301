// PaintManager: creating, finding and removing controls, and forgetting them when they go.

#include "ui/framework/control_factory.h"
#include "ui/framework/m_control.h"
#include "ui/framework/paint_manager.h"
#include "ui/framework/window_system.h"

namespace {

enum ListKind { kAreaList = 0, kControlList = 1 };

// Calls fn for a control and every control beneath it.
template <class Fn> void ForSubtree(MControl* control, Fn&& fn)
{
    fn(control);
    for (MControl* c : control->GetAreas().Snapshot())
        ForSubtree(c, fn);
    for (MControl* c : control->GetControls().Snapshot())
        ForSubtree(c, fn);
}

} // namespace

MControl* PaintManager::Create(int kind, MObject* parent, const wchar_t* className, unsigned id, CRect rect,
                               const wchar_t* title, int a, int b)
{
    std::unique_ptr<MControl> control =
        CreateControlByName(className, kMadeByWindow, parent, id, rect, title, a, b);
    if (!control)
        return nullptr;
    return kind == kAreaList ? AddArea(std::move(control)) : AddControl(std::move(control));
}

MControl* PaintManager::CreateControl(MObject* parent, const wchar_t* className, unsigned id, CRect rect,
                                      const wchar_t* title, int a, int b)
{
    return Create(kControlList, parent, className, id, rect, title, a, b);
}

MControl* PaintManager::CreateArea(MObject* parent, const wchar_t* className, unsigned id, CRect rect,
                                   const wchar_t* title, int a, int b)
{
    return Create(kAreaList, parent, className, id, rect, title, a, b);
}

MControl* PaintManager::AddControl(std::unique_ptr<MControl> control)
{
    if (!control)
        return nullptr;
    control->SetManager(this);
    control->InitControl(this);
    return m_controls.Append(std::move(control));
}

MControl* PaintManager::AddArea(std::unique_ptr<MControl> area)
{
    if (!area)
        return nullptr;
    area->SetManager(this);
    area->InitControl(this);
    return m_areas.Append(std::move(area));
}

MControl* PaintManager::GetControl(unsigned id) const
{
    MControl* found = nullptr;
    auto search = [&](MControl* c) {
        found = c->GetID() == id ? c : c->GetControl(id);
        return found != nullptr;
    };
    if (!m_areas.FindIf(search))
        m_controls.FindIf(search);
    return found;
}

void PaintManager::RemoveControl(MControl* control)
{
    std::unique_ptr<MControl> taken = m_controls.Take(control);
    if (!taken)
        taken = m_areas.Take(control);
    if (!taken)
        return;
    const CRect rect = taken->GetRect();
    const bool visible = taken->IsVisible();
    DetachControl(taken.get());
    Retire(std::move(taken));
    if (visible)
        InvalidateRect(rect, 0);
}

void PaintManager::ClearAllControls()
{
    ClearAreaControls();
    ClearControls();
}

void PaintManager::ClearAreaControls()
{
    for (std::unique_ptr<MControl>& c : m_areas.TakeAll()) {
        DetachControl(c.get());
        Retire(std::move(c));
    }
    Invalidate();
}

void PaintManager::ClearControls()
{
    for (std::unique_ptr<MControl>& c : m_controls.TakeAll()) {
        DetachControl(c.get());
        Retire(std::move(c));
    }
    Invalidate();
}

void PaintManager::Retire(std::unique_ptr<MControl> control)
{
    RetireControl(std::move(control));
}

void PaintManager::DetachControl(MControl* control)
{
    if (!control)
        return;
    if (m_focusMarked && m_focus) {
        bool holdsFocus = false;
        ForSubtree(control, [&](MControl* c) { holdsFocus = holdsFocus || c == m_focus; });
        if (holdsFocus)
            InvalidateFocusMark(m_focus);
    }
    ForSubtree(control, [this](MControl* c) {
        ForgetControl(c);
        // A control that lives on past its removal (until the running walk ends) no longer reaches
        // this window.
        c->SetManager(nullptr);
    });
}

void PaintManager::ForgetControl(MControl* control)
{
    if (m_hover == control) {
        m_hover = nullptr;
        m_lastMove.reset();
        m_leftPressed = m_rightPressed = false;
    }
    if (m_focus == control)
        m_focus = nullptr;
    KillTimer(control);
    DeleteFSTimer(control);
}

// --- Focus ---

void PaintManager::SetFocusControl(MControl* control)
{
    if (control == m_focus)
        return;
    MControl* old = m_focus;
    if (m_focusMarked) {
        InvalidateFocusMark(old);
        InvalidateFocusMark(control);
    }
    m_focus = control;
    if (old)
        old->SetControlFocus(0);
    // The old control's handler may have moved the focus again; only a still-current new focus is told.
    if (control && m_focus == control)
        control->SetControlFocus(1);
}

namespace {

// The Tab order: the top-level controls in order, each followed by the controls inside it, so the
// controls of a shown page take their turn after the page. Hidden and disabled controls keep everything
// inside them out.
void CollectFocusOrder(const ControlList& list, std::vector<MControl*>& out)
{
    list.ForEach([&out](MControl* c) {
        if (!c->IsVisible() || !c->IsEnabled())
            return;
        out.push_back(c);
        CollectFocusOrder(c->GetControls(), out);
    });
}

} // namespace

MControl* PaintManager::GetNextFocusableControl() const
{
    std::vector<MControl*> order;
    CollectFocusOrder(m_controls, order);
    return NextFocusableControl(order, m_focus, true);
}

MControl* PaintManager::GetPrevFocusableControl() const
{
    std::vector<MControl*> order;
    CollectFocusOrder(m_controls, order);
    return NextFocusableControl(order, m_focus, false);
}

void PaintManager::SetCapture()
{
    if (!m_initialized)
        return;
    WindowSystem::SetCapture(m_hWnd);
    m_captured = true;
}

void PaintManager::ReleaseCapture()
{
    if (m_captured && WindowSystem::GetCapture() == m_hWnd)
        WindowSystem::ReleaseCapture();
    m_captured = false;
}
