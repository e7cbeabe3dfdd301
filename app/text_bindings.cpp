#include "app/text_bindings.h"

#include <algorithm>

#include "app/language_text.h"
#include "ui/framework/m_control_font.h"
#include "ui/framework/m_dialog.h"

void TextBindings::Bind(unsigned controlId, int textId, Kind kind)
{
    const auto same = [&](const Binding& b) { return b.controlId == controlId && b.kind == kind; };
    const auto existing = std::find_if(m_bindings.begin(), m_bindings.end(), same);
    if (existing != m_bindings.end())
        existing->textId = textId;
    else
        m_bindings.push_back({controlId, textId, kind});
}

int TextBindings::TextIdOf(unsigned controlId, Kind kind) const
{
    for (const Binding& b : m_bindings) {
        if (b.controlId == controlId && b.kind == kind)
            return b.textId;
    }
    return 0;
}

void TextBindings::ApplyOne(MDialog& window, const Binding& binding)
{
    MControl* control = window.GetControl(binding.controlId);
    if (!control)
        return;
    const CString text = GetText(kDialogSection, binding.textId);
    if (binding.kind == Kind::Tooltip) {
        control->SetTooltip(text.c_str());
    } else if (auto* titled = dynamic_cast<MControlFont*>(control)) {
        titled->SetControlTitle(text.c_str());
    }
}

void TextBindings::Apply(MDialog& window) const
{
    for (const Binding& b : m_bindings)
        ApplyOne(window, b);
}

void TextBindings::BindAndApply(MDialog& window, unsigned controlId, int textId, Kind kind)
{
    Bind(controlId, textId, kind);
    ApplyOne(window, {controlId, textId, kind});
}
