#include "ui/controls/control_helpers.h"

#include <algorithm>

#include "ui/framework/m_panel.h"
#include "ui/framework/messages.h"
#include "ui/framework/paint_manager.h"
#include "ui/framework/window_system.h"

CRect ControlRectInWindow(const MControl& control, CRect rect)
{
    for (const MObject* p = control.GetParantObject(); p;) {
        const auto* parent = dynamic_cast<const MControl*>(p);
        if (!parent)
            break;
        if (const auto* panel = dynamic_cast<const MPanel*>(p)) {
            const CPoint offset = panel->GetScrollOffset();
            rect.OffsetRect(-offset.x, -offset.y);
        }
        p = parent->GetParantObject();
    }
    return rect;
}

std::vector<MControl*> SiblingControls(const MControl& control)
{
    if (const auto* owner = dynamic_cast<const MControl*>(control.GetParantObject()))
        return owner->GetControls().Snapshot();
    if (control.GetManager())
        return control.GetManager()->GetControls().Snapshot();
    return {};
}

bool FollowHover(const MControl& control, bool& hover, CPoint point, const wchar_t* cursor)
{
    const bool now = control.IsEnabled() && control.PtInRect(point);
    if (now)
        WindowSystem::SetCursor(WindowSystem::LoadCursorW(nullptr, cursor));
    if (now == hover)
        return false;
    if (!now)
        WindowSystem::SetCursor(WindowSystem::LoadCursorW(nullptr, IDC_ARROW));
    hover = now;
    return true;
}

int OffsetShowing(int offset, int top, int height, int view)
{
    if (top < offset)
        return top;
    if (top + height > offset + view)
        return top + height - view;
    return offset;
}

std::optional<int> ListKeyMove(unsigned key, int from, int count, int page)
{
    if (count <= 0)
        return std::nullopt;
    int to = from;
    switch (key) {
    case VK_UP:
        to = from < 0 ? count - 1 : from - 1;
        break;
    case VK_DOWN:
        to = from + 1;
        break;
    case VK_HOME:
        to = 0;
        break;
    case VK_END:
        to = count - 1;
        break;
    case VK_PRIOR:
        to = from - std::max(page, 1);
        break;
    case VK_NEXT:
        to = from + std::max(page, 1);
        break;
    default:
        return std::nullopt;
    }
    return std::clamp(to, 0, count - 1);
}
