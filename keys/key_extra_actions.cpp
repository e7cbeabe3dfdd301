#include "keys/key_extra_actions.h"

#include <cstdio>

#include "core/folders.h"
#include "platform/shell.h"
#include "store/profile_database.h"

KeyExtraActions::Outcome KeyExtraActions::Run(int recordId)
{
    const std::optional<KeyExtraRow> record = m_backends.assignments.Record(recordId);
    if (!record)
        return {};
    switch (record->type) {
    case AssignmentType::kProgram:
        return StartProgram(*record);
    case AssignmentType::kAddress:
        return OpenAddress(*record);
    case AssignmentType::kText:
        return TypeText(*record);
    case AssignmentType::kProfile:
        return SwitchProfile(*record);
    default:
        return {};
    }
}

KeyExtraActions::Outcome KeyExtraActions::StartProgram(const KeyExtraRow& record)
{
    const CString& path = record.param;
    if (path.empty() || !PathExists(path))
        return Outcome{Result::ProgramMissing, path, 0};
    if (!m_backends.shell.StartProgram(path))
        return Outcome{Result::NotStarted, path, 0};
    return Outcome{Result::Done, {}, 0};
}

KeyExtraActions::Outcome KeyExtraActions::OpenAddress(const KeyExtraRow& record)
{
    const CString address = AddressToOpen(record.macro_desc);
    if (address.empty())
        return {};
    if (!m_backends.shell.OpenAddress(address))
        return Outcome{Result::NotStarted, address, 0};
    return Outcome{Result::Done, {}, 0};
}

KeyExtraActions::Outcome KeyExtraActions::TypeText(const KeyExtraRow& record)
{
    const TypingPlan plan = PlanTyping(record.macro_desc, m_backends.layout);
    if (plan.skipped > 0 || plan.cut > 0)
        Log(plan.Summary());
    if (plan.keys.empty())
        return Outcome{Result::NothingToType, {}, 0};
    KeyTyper* typer = m_backends.typer ? m_backends.typer() : nullptr;
    if (!typer || !typer->TypeKeys(plan.keys))
        return Outcome{Result::TypingBusy, {}, 0};
    return Outcome{Result::Done, {}, 0};
}

KeyExtraActions::Outcome KeyExtraActions::SwitchProfile(const KeyExtraRow& record)
{
    const int profile = ProfileOfRecord(record);
    CString name;
    if (profile <= 0 || !m_backends.database.GetProfileName(profile, name))
        return Outcome{Result::ProfileMissing, record.macro_desc, 0};
    return {Result::SwitchProfile, {}, profile};
}

void KeyExtraActions::Log(const std::string& line) const
{
    if (m_backends.log)
        m_backends.log(line);
    else
        std::fprintf(stderr, "%s\n", line.c_str());
}
