#pragma once
// The message dispatch that MDialog and MPopupWnd share: the messages with a handler of the same meaning
// go to it first (its result is ignored), two are answered at once, and everything then goes on to the
// paint manager and the previous window procedure.

#include <optional>

#include "core/geometry.h"
#include "ui/framework/messages.h"

template <class Window>
std::optional<LRESULT> DispatchToHandlers(Window& window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    const CPoint point(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    const auto flags = static_cast<unsigned>(wParam);
    switch (msg) {
    case WM_CREATE:
        window.OnCreate(reinterpret_cast<CREATESTRUCTW*>(lParam));
        break;
    case WM_DESTROY:
        window.OnDestroy();
        break;
    case WM_SIZE:
        window.OnSize(flags, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        break;
    case WM_PAINT:
        window.OnPaint();
        break;
    case WM_CLOSE:
        window.OnClose();
        break;
    case WM_WINDOWPOSCHANGING:
        window.OnWindowPosChanging(reinterpret_cast<WINDOWPOS*>(lParam));
        break;
    case WM_WINDOWPOSCHANGED:
        window.OnWindowPosChanged(reinterpret_cast<WINDOWPOS*>(lParam));
        break;
    case WM_NCACTIVATE:
        window.OnNcActivate(static_cast<int>(wParam));
        break;
    case WM_TIMER:
        window.OnTimer(flags);
        break;
    case WM_MOUSEMOVE:
        window.OnMouseMove(flags, point);
        break;
    case WM_LBUTTONDOWN:
        window.OnLButtonDown(flags, point);
        break;
    case WM_LBUTTONUP:
        window.OnLButtonUp(flags, point);
        break;
    case WM_LBUTTONDBLCLK:
        window.OnLButtonDblClk(flags, point);
        break;
    case WM_RBUTTONDOWN:
        window.OnRButtonDown(flags, point);
        break;
    case WM_RBUTTONUP:
        window.OnRButtonUp(flags, point);
        break;
    case WM_RBUTTONDBLCLK:
        window.OnRButtonDblClk(flags, point);
        break;
    case WM_MOUSEHOVER:
        window.OnMouseHover(flags, static_cast<long>(lParam));
        break;
    case WM_MOUSELEAVE:
        window.OnMouseLeave(flags, static_cast<long>(lParam));
        break;
    case WM_ERASEBKGND:
        return 1; // the paint pass covers everything; nothing is erased
    case WM_DIALOG_CLOSE:
        return window.OnUserCloseWindow(flags, static_cast<long>(lParam));
    default:
        break;
    }
    return std::nullopt;
}
