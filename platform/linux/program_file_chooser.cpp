#include "platform/linux/program_file_chooser.h"

#include <cstdlib>
#include <sstream>
#include <unistd.h>

#include "core/wide_text.h"

namespace {

bool OnPath(const std::string& program)
{
    const char* path = std::getenv("PATH");
    std::istringstream folders(path ? path : "");
    std::string folder;
    while (std::getline(folders, folder, ':')) {
        if (folder.empty())
            continue;
        const std::string candidate = folder + "/" + program;
        if (::access(candidate.c_str(), X_OK) == 0)
            return true;
    }
    return false;
}

std::string FolderWithSeparator(const NativeFilePath& folder)
{
    std::string bytes = folder.Native();
    if (bytes.empty() || bytes.back() != '/')
        bytes += '/';
    return bytes;
}

std::string Patterns(const FileTypeFilter& filter)
{
    std::string patterns;
    for (const CString& pattern : filter.patterns)
        patterns += (patterns.empty() ? "" : " ") + WideToUtf8(pattern);
    return patterns;
}

} // namespace

std::optional<ProgramFileChooser::Program> ProgramFileChooser::Find()
{
    const char* desktop = std::getenv("XDG_CURRENT_DESKTOP");
    const bool kde = desktop && std::string(desktop).find("KDE") != std::string::npos;
    const Program order[2] = {kde ? Program::KDialog : Program::Zenity,
                              kde ? Program::Zenity : Program::KDialog};
    for (const Program program : order) {
        if (OnPath(program == Program::Zenity ? "zenity" : "kdialog"))
            return program;
    }
    return std::nullopt;
}

ProgramFileChooser::ProgramFileChooser(Program program, CommandRunner& runner, int zenityMajor)
    : m_program(program), m_runner(runner), m_zenityMajor(zenityMajor)
{
}

int ProgramFileChooser::ZenityMajor()
{
    if (m_zenityMajor == 0) {
        std::string version;
        if (m_runner.RunForOutput({"zenity", "--version"}, std::chrono::seconds(5), version) == 0)
            m_zenityMajor = std::atoi(version.c_str());
        // Unknown: taken as a version that still has the option.
        if (m_zenityMajor <= 0)
            m_zenityMajor = 3;
    }
    return m_zenityMajor;
}

std::vector<std::string> ProgramFileChooser::CommandLine(const FileChooserRequest& request,
                                                         uint64_t ownerWindow)
{
    const bool save = request.kind == FileChooserRequest::Kind::Save;
    const std::string start =
        FolderWithSeparator(request.folder) + (save ? WideToUtf8(request.suggestedName) : std::string());
    std::vector<std::string> args;
    if (m_program == Program::Zenity) {
        args = {"zenity", "--file-selection", "--title=" + WideToUtf8(request.title), "--filename=" + start};
        if (save) {
            args.push_back("--save");
            if (ZenityMajor() < 4)
                args.push_back("--confirm-overwrite");
        }
        for (const FileTypeFilter& filter : request.filters)
            args.push_back("--file-filter=" + WideToUtf8(filter.name) + " | " + Patterns(filter));
        if (ownerWindow) {
            args.push_back("--modal");
            args.push_back("--attach=" + std::to_string(ownerWindow));
        }
        return args;
    }
    args = {"kdialog", "--title", WideToUtf8(request.title)};
    if (ownerWindow) {
        args.push_back("--attach");
        args.push_back(std::to_string(ownerWindow));
    }
    args.push_back(save ? "--getsavefilename" : "--getopenfilename");
    args.push_back(start);
    std::string filters;
    for (const FileTypeFilter& filter : request.filters)
        filters += (filters.empty() ? "" : "\n") + Patterns(filter) + "|" + WideToUtf8(filter.name);
    if (!filters.empty())
        args.push_back(filters);
    return args;
}

ChooserOutcome ProgramFileChooser::Show(const FileChooserRequest& request, uint64_t ownerWindow,
                                        const CancelToken* cancel, std::chrono::milliseconds timeout)
{
    std::string output;
    const int status = m_runner.RunForOutput(CommandLine(request, ownerWindow), timeout, output, cancel);
    if (status == CommandRunner::kCancelled || status == CommandRunner::kTimedOut || status == 1)
        return ChooserOutcome::Cancelled();
    if (status != 0)
        return ChooserOutcome::Failed();
    // One path and its line end; a path may hold any byte but the line end and NUL.
    if (!output.empty() && output.back() == '\n')
        output.pop_back();
    if (output.empty() || output.find('\n') != std::string::npos || output.find('\0') != std::string::npos ||
        output.front() != '/')
        return ChooserOutcome::Failed();
    return ChooserOutcome::Chosen(NativeFilePath(std::move(output)));
}
