#pragma once
// Waits for work done on a thread of its own while the UI thread goes on handling its messages, with
// the owner window taking no input meanwhile (as under a modal dialog). When the program is asked to
// quit during the wait, the work's cancel token is raised, the work is waited for, and the quit is
// passed on to the outer loop.

#include <functional>

#include "platform/cancel_token.h"
#include "ui/framework/win_types.h"

template <class Result> Result RunBesideUi(HWND owner, const std::function<Result(const CancelToken&)>& work);

// The untyped core: runs `work` and returns once it has ended.
void RunBesideUiThread(HWND owner, const std::function<void(const CancelToken&)>& work);

template <class Result> Result RunBesideUi(HWND owner, const std::function<Result(const CancelToken&)>& work)
{
    Result result{};
    RunBesideUiThread(owner, [&](const CancelToken& cancel) { result = work(cancel); });
    return result;
}
