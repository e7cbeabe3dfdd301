#pragma once
// A fresh headless window system for every test, and a window class that records its messages.

#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <vector>

#include "ui/framework/backend/headless/headless_backend.h"
#include "ui/framework/messages.h"
#include "ui/framework/window_system.h"

class HeadlessFixture : public ::testing::Test {
protected:
    HeadlessFixture();

    HeadlessBackend& Backend() { return *m_backend; }
    int Pump() { return m_backend->Pump(); }

private:
    HeadlessBackend* m_backend = nullptr;
};

struct LoggedMessage {
    HWND hwnd;
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
};

// Windows of the class "LoggedWindow" append every message to the log, then let the default procedure
// handle it unless Answer gives a result.
class MessageLog {
public:
    MessageLog(UINT classStyle = CS_DBLCLKS);
    ~MessageLog();

    HWND Create(CRect rect = {100, 100, 400, 300}, DWORD style = WS_POPUP, HWND parent = nullptr,
                DWORD exStyle = 0);
    const std::vector<LoggedMessage>& All() const { return m_log; }
    std::vector<LoggedMessage> Of(UINT msg, HWND hwnd = nullptr) const;
    std::vector<UINT> Messages(HWND hwnd) const;
    void Clear() { m_log.clear(); }

    std::function<std::optional<LRESULT>(const LoggedMessage&)> Answer;

private:
    static LRESULT Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static MessageLog* s_current;
    std::vector<LoggedMessage> m_log;
};
