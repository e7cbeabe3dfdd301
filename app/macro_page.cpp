#include "app/macro_page.h"

#include "app/main_window_ids.h"

void MacroPage::Build(MPanel* page, const CRect& /*client*/)
{
    m_page = page;
}

void MacroPage::Layout(const CRect& /*client*/) {}

bool MacroPage::Owns(unsigned controlId) const
{
    return controlId == MainId::kMacroSingle ||
           (controlId >= MainId::kMacroRangeFirst && controlId <= MainId::kMacroRangeLast);
}

long MacroPage::OnMessage(unsigned /*id*/, unsigned /*code*/, unsigned /*wParam*/, long /*lParam*/)
{
    // FIXME: the macro page's handlers.
    return 0;
}

long MacroPage::OnMenuCommand(long /*itemId*/)
{
    // FIXME: the macro page menu's commands.
    return 0;
}
