#include "platform/linux/modal_wait.h"

#include <atomic>
#include <optional>
#include <thread>

#include "ui/framework/messages.h"
#include "ui/framework/window_system.h"

void RunBesideUiThread(HWND owner, const std::function<void(const CancelToken&)>& work)
{
    CancelToken cancel;
    std::atomic<bool> done{false};
    std::thread worker([&] {
        work(cancel);
        done = true;
        // Wakes the loop below (a closure would run inside the wait without ending it).
        WindowSystem::PostMessageW(nullptr, WM_NULL, 0, 0);
    });
    const bool disable = owner && WindowSystem::IsWindow(owner) && WindowSystem::IsWindowEnabled(owner);
    if (disable)
        WindowSystem::EnableWindow(owner, FALSE);
    std::optional<int> quit;
    while (!done) {
        MSG msg;
        if (!WindowSystem::GetMessageW(&msg)) {
            quit = static_cast<int>(msg.wParam);
            cancel.Cancel();
            break;
        }
        WindowSystem::TranslateMessage(&msg);
        WindowSystem::DispatchMessageW(&msg);
    }
    worker.join();
    if (disable && WindowSystem::IsWindow(owner)) {
        WindowSystem::EnableWindow(owner, TRUE);
        WindowSystem::SetFocus(owner);
    }
    if (quit)
        WindowSystem::PostQuitMessage(*quit);
}
