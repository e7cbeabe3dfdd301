#include "platform/linux/desktop_file_chooser.h"

#include <cstdio>

#include "platform/linux/debug_output.h"
#include "platform/linux/modal_wait.h"
#include "platform/linux/portal_file_chooser.h"
#include "platform/linux/program_file_chooser.h"
#include "ui/framework/window_system.h"

namespace {

// The owner's X window: what the desktop's dialogs are made transient for (0 on another backend).
uint64_t OwnerWindow(HWND owner)
{
    if (!owner || !WindowSystem::IsWindow(owner) || std::string(WindowSystem::Backend().Name()) != "x11")
        return 0;
    return WindowSystem::Instance().ToNative(owner);
}

std::optional<NativeFilePath> Answer(const ChooserOutcome& outcome)
{
    if (outcome.result == ChooserOutcome::Result::Chosen)
        return outcome.path;
    return std::nullopt;
}

} // namespace

DesktopFileChooser::DesktopFileChooser(Options options) : m_options(std::move(options)) {}

std::optional<NativeFilePath> DesktopFileChooser::Show(const FileChooserRequest& request)
{
    const uint64_t owner = OwnerWindow(request.owner);
    const auto timeout = m_options.timeout;
    if (!m_options.busAddress.empty()) {
        char parent[32] = "";
        if (owner)
            std::snprintf(parent, sizeof parent, "x11:%llx", static_cast<unsigned long long>(owner));
        PortalFileChooser portal(m_options.busAddress);
        const ChooserOutcome outcome =
            RunBesideUi<ChooserOutcome>(request.owner, [&](const CancelToken& cancel) {
                return portal.Show(request, parent, &cancel, timeout);
            });
        if (outcome.result != ChooserOutcome::Result::Failed) {
            m_last = "portal";
            return Answer(outcome);
        }
        DebugPrint("file chooser: no desktop portal\n");
    }
    if (m_options.runner) {
        if (const auto program = ProgramFileChooser::Find()) {
            ProgramFileChooser chooser(*program, *m_options.runner);
            const ChooserOutcome outcome =
                RunBesideUi<ChooserOutcome>(request.owner, [&](const CancelToken& cancel) {
                    return chooser.Show(request, owner, &cancel, timeout);
                });
            if (outcome.result != ChooserOutcome::Result::Failed) {
                m_last = *program == ProgramFileChooser::Program::Zenity ? "zenity" : "kdialog";
                return Answer(outcome);
            }
            DebugPrint("file chooser: the dialog program failed\n");
        }
    }
    m_last = "own";
    KelvoFileDialog dialog(request, m_options.texts ? m_options.texts() : FileDialogTexts());
    return dialog.Run();
}
