#include "keys/key_assignments.h"

#include "store/profile_database.h"

int KeyAssignments::Assign(int profile, int fnLayer, int keyCode, KeyAssignmentRow row)
{
    row.key_id = 0;
    row.profile = profile;
    row.fn_layer = fnLayer;
    row.key_code = keyCode;
    // A default row clears the key whatever values it might carry.
    if (row.macro_type == AssignmentType::kDefault)
        row.macro_value = row.macro_value2 = 0;
    return m_database.SaveKeyAssignment(row);
}

std::optional<KeyAssignmentRow> KeyAssignments::Find(int profile, int fnLayer, int keyCode)
{
    KeyAssignmentRow row;
    if (!m_database.GetKeyAssignment(profile, fnLayer, keyCode, row) || !IsSound(row))
        return std::nullopt;
    return row;
}

std::vector<KeyAssignmentRow> KeyAssignments::SoundRows(int profile, int fnLayer)
{
    KeyAssignmentList list;
    m_database.ListKeyAssignments(profile, fnLayer, list);
    std::vector<KeyAssignmentRow> rows;
    const KeyExtraLookup records = Records();
    for (const auto& row : list) {
        if (IsSoundAssignment(*row, records))
            rows.push_back(*row);
    }
    return rows;
}

bool KeyAssignments::IsSound(const KeyAssignmentRow& row)
{
    return IsSoundAssignment(row, Records());
}

std::optional<KeyAssignmentRow> KeyAssignments::MakeProgramRun(const KeyExtraRow& record)
{
    if (!AssignmentType::IsProgramRun(record.type))
        return std::nullopt;
    const int id = m_database.AddKeyExtra(record);
    if (id <= 0)
        return std::nullopt;
    return ProgramRunAssignment(record.type, id, ShownRecordText(record));
}

std::optional<KeyExtraRow> KeyAssignments::Record(int id)
{
    return ReadKeyExtra(m_database, id);
}

KeyExtraLookup KeyAssignments::Records()
{
    return KeyExtrasOf(m_database);
}

std::optional<KeyExtraRow> ReadKeyExtra(ProfileDatabase& database, int id)
{
    KeyExtraRow record;
    // The outputs stay untouched when there is no such record: a type no record has tells.
    record.type = -1;
    database.GetKeyExtra(id, record.macro_desc, record.param, record.type);
    if (record.type == -1)
        return std::nullopt;
    return record;
}

KeyExtraLookup KeyExtrasOf(ProfileDatabase& database)
{
    return [&database](int id) { return ReadKeyExtra(database, id); };
}
