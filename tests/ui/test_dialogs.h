#pragma once
// Dialogs that record what the window model calls on them.

#include <string>
#include <vector>

#include "ui/framework/m_dialog.h"
#include "ui/framework/m_popup_wnd.h"

class RecordingDialog : public MDialog {
public:
    int InitUI(CRect client) override
    {
        ++initUiCalls;
        initClient = client;
        return 0;
    }
    int UISize(CRect client) override
    {
        uiSizes.push_back(client);
        return 0;
    }
    long OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override
    {
        calls.push_back("OnMessage " + std::to_string(id) + " " + std::to_string(code) + " " +
                        std::to_string(wParam) + " " + std::to_string(lParam));
        return messageAnswer;
    }
    int OnLButtonDown(unsigned flags, CPoint p) override { return Record("OnLButtonDown", flags, p); }
    int OnLButtonUp(unsigned flags, CPoint p) override { return Record("OnLButtonUp", flags, p); }
    int OnLButtonDblClk(unsigned flags, CPoint p) override { return Record("OnLButtonDblClk", flags, p); }
    int OnRButtonDown(unsigned flags, CPoint p) override { return Record("OnRButtonDown", flags, p); }
    int OnRButtonUp(unsigned flags, CPoint p) override { return Record("OnRButtonUp", flags, p); }
    int OnRButtonDblClk(unsigned flags, CPoint p) override { return Record("OnRButtonDblClk", flags, p); }
    int OnMouseMove(unsigned flags, CPoint p) override { return Record("OnMouseMove", flags, p); }
    int OnMouseHover(unsigned w, long l) override
    {
        return Record("OnMouseHover", w, CPoint(static_cast<int>(l), 0));
    }
    int OnMouseLeave(unsigned w, long l) override
    {
        return Record("OnMouseLeave", w, CPoint(static_cast<int>(l), 0));
    }
    int OnTimer(unsigned id) override { return Record("OnTimer", id, {}); }
    int OnNcActivate(int active) override
    {
        return Record("OnNcActivate", static_cast<unsigned>(active), {});
    }
    int OnKeyDown(unsigned key, unsigned, unsigned) override { return Record("OnKeyDown", key, {}); }
    int OnMouseWheel(unsigned flags, short, CPoint p) override { return Record("OnMouseWheel", flags, p); }
    int OnSize(unsigned type, int cx, int cy) override
    {
        Record("OnSize", type, {cx, cy});
        return MDialog::OnSize(type, cx, cy);
    }
    int OnClose() override { return Record("OnClose", 0, {}); }
    int OnDestroy() override { return Record("OnDestroy", 0, {}); }
    int PostNcDestroy() override { return Record("PostNcDestroy", 0, {}); }

    std::vector<std::string> Take()
    {
        std::vector<std::string> out;
        out.swap(calls);
        return out;
    }

    int initUiCalls = 0;
    CRect initClient;
    std::vector<CRect> uiSizes;
    std::vector<std::string> calls;
    long messageAnswer = 0;

private:
    int Record(const char* name, unsigned a, CPoint p)
    {
        calls.push_back(std::string(name) + " " + std::to_string(a) + " " + std::to_string(p.x) + "," +
                        std::to_string(p.y));
        return 0;
    }
};
