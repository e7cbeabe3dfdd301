#pragma once
// Running a call on the UI thread from another thread and waiting for it, for the "waits" calls of
// DeviceWindowView. `post` hands a closure to the UI thread (the window wires it to PostClosure).

#include <chrono>
#include <functional>

using UiPoster = std::function<void(std::function<void()>)>;

// Posts `call` and waits until the UI thread has run it (true) or `timeout` has passed (false; the call
// still runs when the UI thread gets to it). Called on the UI thread itself it runs `call` at once.
bool CallOnUiThread(const UiPoster& post, std::function<void()> call, std::chrono::milliseconds timeout,
                    bool onUiThread = false);
