#include "tests/ui/headless_fixture.h"

MessageLog* MessageLog::s_current = nullptr;

HeadlessFixture::HeadlessFixture()
{
    auto backend = std::make_unique<HeadlessBackend>();
    m_backend = backend.get();
    WindowSystem::Install(std::move(backend));
    // A test that would wait for ever fails after this instead.
    m_backend->SetIdleLimit(10000);
}

MessageLog::MessageLog(UINT classStyle)
{
    s_current = this;
    WNDCLASSEXW wc;
    wc.style = classStyle;
    wc.lpfnWndProc = &MessageLog::Proc;
    wc.lpszClassName = L"LoggedWindow";
    WindowSystem::RegisterClassExW(wc);
}

MessageLog::~MessageLog()
{
    for (HWND hwnd : WindowSystem::Windows())
        WindowSystem::DestroyWindow(hwnd);
    s_current = nullptr;
}

HWND MessageLog::Create(CRect rect, DWORD style, HWND parent, DWORD exStyle)
{
    return WindowSystem::CreateWindowExW(exStyle, L"LoggedWindow", L"logged", style, rect.left, rect.top,
                                         rect.Width(), rect.Height(), parent, nullptr, nullptr, nullptr);
}

std::vector<LoggedMessage> MessageLog::Of(UINT msg, HWND hwnd) const
{
    std::vector<LoggedMessage> out;
    for (const LoggedMessage& m : m_log) {
        if (m.msg == msg && (!hwnd || m.hwnd == hwnd))
            out.push_back(m);
    }
    return out;
}

std::vector<UINT> MessageLog::Messages(HWND hwnd) const
{
    std::vector<UINT> out;
    for (const LoggedMessage& m : m_log) {
        if (m.hwnd == hwnd)
            out.push_back(m.msg);
    }
    return out;
}

LRESULT MessageLog::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (s_current) {
        const LoggedMessage logged{hwnd, msg, wParam, lParam};
        s_current->m_log.push_back(logged);
        if (s_current->Answer) {
            if (const auto answer = s_current->Answer(logged))
                return *answer;
        }
    }
    return WindowSystem::DefWindowProcW(hwnd, msg, wParam, lParam);
}
