#include "app/keyboard_view_filling.h"

#include "app/control_helpers.h"
#include "ui/keyboard/keyboard_ctrl.h"

namespace KeyboardViewFilling {

void Clear(const MDialog& window, unsigned viewId)
{
    if (auto* view = FindControl<KeyboardCtrl>(window, viewId))
        view->ClearItem();
}

void Place(const MDialog& window, unsigned viewId, const CRect& rect, const CString& picture, int width,
           int height)
{
    auto* view = FindControl<KeyboardCtrl>(window, viewId);
    if (!view)
        return;
    view->SetRect(rect);
    view->SetKeyboardImage(picture);
    view->SetWidthAndHeight(width, height);
}

void AddKey(const MDialog& window, unsigned viewId, const LayoutKeyItem& key)
{
    if (auto* view = FindControl<KeyboardCtrl>(window, viewId))
        view->AddKeyItem(key.name.c_str(), key.description.c_str(), key.code, key.rect, key.icon);
}

} // namespace KeyboardViewFilling
