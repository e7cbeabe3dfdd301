// The record operations. Each one holds the lock for its whole run and keeps its statement on the stack,
// so nothing stays compiled between operations. Operations of several statements run in one
// transaction: a crash never leaves half of them done, and there is one commit instead of several.

#include "store/profile_database.h"

#include "store/record_statement.h"

namespace {

constexpr int kMacroAssignment = 3;
constexpr int kNoEventRecordType = 1;

// "SELECT *" columns, in each table's column order.

void FillProfile(const RecordStatement& s, ProfileRow& row)
{
    row.profile = s.ColumnInt(0);
    row.name = s.ColumnString(1);
    row.status = s.ColumnInt(2);
    row.app = s.ColumnString(3);
    row.type = s.ColumnInt(4);
}

void FillMusicLayer(const RecordStatement& s, MusicLayerRow& row)
{
    row.layer_id = s.ColumnInt(0);
    row.profile = s.ColumnInt(1);
    row.name = s.ColumnString(2);
    row.deviceindex = s.ColumnInt(3);
    row.foremode = s.ColumnInt(4);
    row.fore_amplitude = s.ColumnInt(5);
    row.backmode = s.ColumnInt(6);
    row.backb_right = s.ColumnInt(7);
}

void FillKeyAssignment(const RecordStatement& s, KeyAssignmentRow& row)
{
    row.key_id = s.ColumnInt(0);
    row.profile = s.ColumnInt(1);
    row.fn_layer = s.ColumnInt(2);
    row.key_code = s.ColumnInt(3);
    row.layout_value = s.ColumnInt(4);
    row.layout_desc = s.ColumnString(5);
    row.macro_type = s.ColumnInt(6);
    row.macro_value = s.ColumnInt(7);
    row.macro_value2 = s.ColumnInt(8);
    row.macro_value3 = s.ColumnInt(9);
    row.macro_desc = s.ColumnString(10);
}

void FillLight(const RecordStatement& s, LightRow& row)
{
    row.light_id = s.ColumnInt(0);
    row.profile = s.ColumnInt(1);
    row.name = s.ColumnString(2);
    row.mode = s.ColumnInt(3);
    row.brightness = s.ColumnInt(4);
    row.speed = s.ColumnInt(5);
    row.direction = s.ColumnInt(6);
    row.colorful = s.ColumnInt(7);
    row.colorindex = s.ColumnInt(8);
    row.color_value = s.ColumnInt(9);
    row.config_func = s.ColumnInt(10);
    row.reserved = s.ColumnInt(11);
    row.status = s.ColumnInt(12);
}

void FillKeyLight(const RecordStatement& s, KeyLightRow& row)
{
    row.keylight_id = s.ColumnInt(0);
    row.profile = s.ColumnInt(1);
    row.light_id = s.ColumnInt(2);
    row.key_code = s.ColumnInt(3);
    row.key_rgb = s.ColumnInt(4);
}

void FillMacro(const RecordStatement& s, MacroRow& row)
{
    row.macro_id = s.ColumnInt(0);
    row.play_times = s.ColumnInt(1);
    row.delay_type = s.ColumnInt(2);
    row.delay_time = s.ColumnInt(3);
    row.link_count = s.ColumnInt(4);
    row.loop_type = s.ColumnInt(5);
    row.name = s.ColumnString(6);
}

void FillMacroRecord(const RecordStatement& s, MacroRecordRow& row)
{
    row.record_id = s.ColumnInt(0);
    row.macro_id = s.ColumnInt(1);
    row.type = s.ColumnInt(2);
    row.record_index = s.ColumnInt(3);
    row.desc = s.ColumnString(4);
    row.value = s.ColumnInt(5);
    row.delay_time = s.ColumnInt(6);
}

// The first column of the first row, or 0.
int ReadNumber(RecordStatement& statement)
{
    return statement.ReadRow() ? statement.ColumnInt(0) : 0;
}

constexpr const char* kInsertMacro =
    "INSERT INTO t_macro_data(play_times, delay_type, delay_time, link_count, "
    "loop_type, name) VALUES (?, ?, ?, ?, ?, ?);";
constexpr const char* kInsertMacroRecord =
    "INSERT INTO t_macrorecord(macro_id, type, record_index, desc, value, "
    "delay_time) VALUES (?, ?, ?, ?, ?, ?);";
constexpr const char* kSelectMacroRecords =
    "SELECT * FROM t_macrorecord WHERE macro_id = ? ORDER BY record_index ASC";

RecordStatement& BindMacroRecord(RecordStatement& statement, const MacroRecordRow& row)
{
    return statement.Int(row.macro_id)
        .Int(row.type)
        .Int(row.record_index)
        .Text(row.desc)
        .Int(row.value)
        .Int(row.delay_time);
}

} // namespace

// --- Profiles ---

int ProfileDatabase::AddProfile(const ProfileRow& row)
{
    const OperationLock lock(*this);
    RecordStatement statement(m_db,
                              "INSERT INTO t_profile_data(name, status, app, type) VALUES (?, ?, ?, ?);");
    return statement.Text(row.name).Int(0).Text(row.app).Int(0).Insert();
}

bool ProfileDatabase::DeleteProfile(int profile)
{
    const OperationLock lock(*this);
    RecordStatement statement(m_db, "DELETE FROM t_profile_data WHERE profile = ?");
    return statement.Int(profile).Write();
}

bool ProfileDatabase::RenameProfile(int profile, const CString& name)
{
    const OperationLock lock(*this);
    RecordStatement statement(m_db, "UPDATE t_profile_data SET name = ? WHERE profile = ?");
    return statement.Text(name).Int(profile).Write();
}

bool ProfileDatabase::GetProfileName(int profile, CString& name)
{
    const OperationLock lock(*this);
    name.clear();
    RecordStatement statement(m_db, "SELECT name FROM t_profile_data WHERE profile = ?");
    if (!statement.Int(profile).ReadRow())
        return false;
    name = statement.ColumnString(0);
    return true;
}

int ProfileDatabase::ListProfiles(ProfileList& list)
{
    const OperationLock lock(*this);
    RecordStatement statement(m_db, "SELECT * FROM t_profile_data");
    return statement.ReadRows(list, FillProfile);
}

bool ProfileDatabase::SetActiveProfile(int profile)
{
    const OperationLock lock(*this);
    OperationTransaction transaction(*this);
    RecordStatement statement(m_db, "UPDATE t_profile_data SET status = ?");
    statement.Int(0).Write();
    statement.Prepare("UPDATE t_profile_data SET status = ? WHERE profile = ?");
    const bool ok = statement.Int(1).Int(profile).Write();
    return transaction.End() && ok;
}

int ProfileDatabase::GetActiveProfile()
{
    const OperationLock lock(*this);
    RecordStatement statement(m_db, "SELECT profile FROM t_profile_data WHERE status = ?");
    return ReadNumber(statement.Int(1));
}

// --- Music layer ---

int ProfileDatabase::CountMusicLayers()
{
    const OperationLock lock(*this);
    RecordStatement statement(m_db, "select count(*) FROM t_musiclayer_data WHERE profile = ?");
    return ReadNumber(statement.Int(1));
}

int ProfileDatabase::AddMusicLayer(const CString& name, int foremode)
{
    const OperationLock lock(*this);
    RecordStatement statement(m_db,
                              "INSERT INTO t_musiclayer_data(profile, name, deviceindex, foremode, "
                              "fore_amplitude, backmode, backb_right, sel) VALUES (?, ?, ?, ?, ?, ?, ?, ?);");
    return statement.Int(1).Text(name).Int(0).Int(foremode).Int(300).Int(0).Int(100).Int(0).Insert();
}

bool ProfileDatabase::GetMusicLayer(int layerId, MusicLayerRow& row)
{
    const OperationLock lock(*this);
    RecordStatement statement(m_db, "SELECT * FROM t_musiclayer_data WHERE layer_id = ?");
    if (!statement.Int(layerId).ReadRow())
        return false;
    FillMusicLayer(statement, row);
    return true;
}

bool ProfileDatabase::UpdateMusicLayer(const MusicLayerRow& row)
{
    const OperationLock lock(*this);
    RecordStatement statement(m_db,
                              "UPDATE t_musiclayer_data SET deviceindex= ?, foremode= ?, fore_amplitude = ?, "
                              "backmode= ?, backb_right= ? WHERE layer_id = ?");
    return statement.Int(row.deviceindex)
        .Int(row.foremode)
        .Int(row.fore_amplitude)
        .Int(row.backmode)
        .Int(row.backb_right)
        .Int(1)
        .Write();
}

bool ProfileDatabase::SelectMusicLayer()
{
    const OperationLock lock(*this);
    OperationTransaction transaction(*this);
    RecordStatement statement(m_db, "UPDATE t_musiclayer_data SET sel = ? WHERE profile = ?");
    statement.Int(0).Int(1).Write();
    statement.Prepare("UPDATE t_musiclayer_data SET sel = ? WHERE profile = ? AND layer_id = ?");
    const bool ok = statement.Int(1).Int(1).Int(1).Write();
    return transaction.End() && ok;
}

int ProfileDatabase::GetSelectedMusicLayer()
{
    const OperationLock lock(*this);
    RecordStatement statement(m_db, "SELECT layer_id FROM t_musiclayer_data WHERE profile = ? AND sel = ?");
    return ReadNumber(statement.Int(1).Int(1));
}

// --- Key assignments and their extra text ---

int ProfileDatabase::SaveKeyAssignment(const KeyAssignmentRow& row)
{
    if (row.key_code == 0)
        return 0;
    const OperationLock lock(*this);
    OperationTransaction transaction(*this);
    RecordStatement statement(
        m_db, "DELETE FROM t_key_macro_data WHERE profile = ? and fn_layer = ? and key_code = ?");
    statement.Int(row.profile).Int(row.fn_layer).Int(row.key_code).Write();
    if (row.macro_value == 0 && row.macro_value2 == 0)
        return 0;
    statement.Prepare("INSERT INTO t_key_macro_data(profile, fn_layer, key_code, layout_value, layout_desc, "
                      "macro_type, macro_value, macro_value2, macro_value3, macro_desc) "
                      "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?);");
    const int keyId = statement.Int(row.profile)
                          .Int(row.fn_layer)
                          .Int(row.key_code)
                          .Int(row.layout_value)
                          .Text(row.layout_desc)
                          .Int(row.macro_type)
                          .Int(row.macro_value)
                          .Int(row.macro_value2)
                          .Int(row.macro_value3)
                          .Text(row.macro_desc)
                          .Insert();
    return transaction.End() ? keyId : 0;
}

bool ProfileDatabase::GetKeyAssignment(int profile, int fnLayer, int keyCode, KeyAssignmentRow& row)
{
    const OperationLock lock(*this);
    RecordStatement statement(
        m_db, "SELECT * FROM t_key_macro_data WHERE profile = ? and fn_layer = ? and key_code = ?");
    if (!statement.Int(profile).Int(fnLayer).Int(keyCode).ReadRow())
        return false;
    FillKeyAssignment(statement, row);
    return true;
}

int ProfileDatabase::ListKeyAssignments(int profile, int fnLayer, KeyAssignmentList& list)
{
    const OperationLock lock(*this);
    RecordStatement statement(m_db, "SELECT * FROM t_key_macro_data WHERE profile = ? and fn_layer = ?");
    return statement.Int(profile).Int(fnLayer).ReadRows(list, FillKeyAssignment);
}

void ProfileDatabase::DeleteProfileAssignments(int profile)
{
    const OperationLock lock(*this);
    RecordStatement statement(m_db, "DELETE FROM t_key_macro_data WHERE profile = ?");
    statement.Int(profile).Write();
}

int ProfileDatabase::AddKeyExtra(const KeyExtraRow& row)
{
    const OperationLock lock(*this);
    RecordStatement statement(m_db, "INSERT INTO t_key_otherdata(macro_desc, param, type) VALUES (?, ?, ?);");
    return statement.Text(row.macro_desc).Text(row.param).Int(row.type).Insert();
}

bool ProfileDatabase::GetKeyExtra(int id, CString& macroDesc, CString& param, int& type)
{
    const OperationLock lock(*this);
    RecordStatement statement(m_db,
                              "SELECT macro_desc, param, type FROM t_key_otherdata WHERE macro_value = ?");
    if (statement.Int(id).ReadRow()) {
        macroDesc = statement.ColumnString(0);
        param = statement.ColumnString(1);
        type = statement.ColumnInt(2);
    }
    return true;
}

// --- Lighting and per-key colours ---

int ProfileDatabase::CountLights(int profile)
{
    const OperationLock lock(*this);
    RecordStatement statement(m_db, "select count(*) FROM t_light_data WHERE profile = ?");
    return ReadNumber(statement.Int(profile));
}

int ProfileDatabase::AddLight(const LightRow& row)
{
    const OperationLock lock(*this);
    RecordStatement statement(
        m_db, "INSERT INTO t_light_data(profile, name, mode, brightness, speed, direction, colorful, "
              "colorindex, color_value, config_func, reserved, status) "
              "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?);");
    return statement.Int(row.profile)
        .Text(row.name)
        .Int(row.mode)
        .Int(row.brightness)
        .Int(row.speed)
        .Int(row.direction)
        .Int(row.colorful)
        .Int(row.colorindex)
        .Int(row.color_value)
        .Int(row.config_func)
        .Int(row.reserved)
        .Int(row.status)
        .Insert();
}

bool ProfileDatabase::UpdateLight(int profile, int mode, const LightRow& row)
{
    const OperationLock lock(*this);
    RecordStatement statement(m_db,
                              "UPDATE t_light_data SET brightness = ?, speed = ?, direction = ?, "
                              "colorful = ?, colorindex = ?, color_value = ?, config_func = ?, reserved = ? "
                              "WHERE profile = ? AND mode = ?");
    return statement.Int(row.brightness)
        .Int(row.speed)
        .Int(row.direction)
        .Int(row.colorful)
        .Int(row.colorindex)
        .Int(row.color_value)
        .Int(row.config_func)
        .Int(row.reserved)
        .Int(profile)
        .Int(mode)
        .Write();
}

bool ProfileDatabase::SetActiveLight(int profile, int mode)
{
    const OperationLock lock(*this);
    OperationTransaction transaction(*this);
    RecordStatement statement(m_db, "UPDATE t_light_data SET status = ?");
    statement.Int(0).Write();
    statement.Prepare("UPDATE t_light_data SET status = ? WHERE profile = ? and mode = ?");
    const bool ok = statement.Int(1).Int(profile).Int(mode).Write();
    return transaction.End() && ok;
}

int ProfileDatabase::GetActiveLightMode(int profile)
{
    const OperationLock lock(*this);
    RecordStatement statement(m_db, "SELECT mode FROM t_light_data WHERE profile = ? and status = ?");
    return ReadNumber(statement.Int(profile).Int(1));
}

bool ProfileDatabase::GetLight(int profile, int mode, LightRow& row)
{
    const OperationLock lock(*this);
    RecordStatement statement(m_db, "SELECT * FROM t_light_data WHERE profile = ? AND mode = ?");
    if (!statement.Int(profile).Int(mode).ReadRow())
        return false;
    FillLight(statement, row);
    return true;
}

int ProfileDatabase::ListLights(int profile, LightList& list)
{
    const OperationLock lock(*this);
    RecordStatement statement(m_db, "SELECT * FROM t_light_data WHERE profile = ?");
    return statement.Int(profile).ReadRows(list, FillLight);
}

int ProfileDatabase::AddKeyLights(KeyLightList rows)
{
    const OperationLock lock(*this);
    OperationTransaction transaction(*this);
    for (const auto& row : rows) {
        if (!row)
            continue;
        RecordStatement statement(m_db, "INSERT INTO t_key_light_data(profile, light_id, key_code, key_rgb) "
                                        "VALUES (?, ?, ?, ?);");
        statement.Int(row->profile).Int(row->light_id).Int(row->key_code).Int(row->key_rgb).Write();
    }
    transaction.End();
    return static_cast<int>(rows.size());
}

bool ProfileDatabase::DeleteKeyLights(int lightSet)
{
    const OperationLock lock(*this);
    RecordStatement statement(m_db, "DELETE FROM t_key_light_data WHERE light_id = ?");
    return statement.Int(lightSet).Write();
}

int ProfileDatabase::ListKeyLights(int lightSet, KeyLightList& list)
{
    const OperationLock lock(*this);
    RecordStatement statement(m_db, "SELECT * FROM t_key_light_data WHERE light_id = ?");
    return statement.Int(lightSet).ReadRows(list, FillKeyLight);
}

// --- Macros and their records ---

int ProfileDatabase::AddMacro(const CString& name)
{
    const OperationLock lock(*this);
    RecordStatement statement(m_db, kInsertMacro);
    return statement.Int(1).Int(1).Int(0).Int(0).Int(0).Text(name).Insert();
}

int ProfileDatabase::InsertMacro(const MacroRow& row)
{
    const OperationLock lock(*this);
    RecordStatement statement(m_db, kInsertMacro);
    return statement.Int(row.play_times)
        .Int(row.delay_type)
        .Int(row.delay_time)
        .Int(row.link_count)
        .Int(row.loop_type)
        .Text(row.name)
        .Insert();
}

bool ProfileDatabase::RenameMacro(int macroId, const CString& name)
{
    const OperationLock lock(*this);
    RecordStatement statement(m_db, "UPDATE t_macro_data SET name = ? WHERE macro_id = ?");
    return statement.Text(name).Int(macroId).Write();
}

bool ProfileDatabase::UpdateMacro(const MacroRow& row)
{
    const OperationLock lock(*this);
    RecordStatement statement(m_db, "UPDATE t_macro_data SET play_times = ?, delay_type = ?, delay_time = ?, "
                                    "loop_type = ? WHERE macro_id = ?");
    return statement.Int(row.play_times)
        .Int(row.delay_type)
        .Int(row.delay_time)
        .Int(row.loop_type)
        .Int(row.macro_id)
        .Write();
}

bool ProfileDatabase::DeleteMacro(int macroId)
{
    const OperationLock lock(*this);
    OperationTransaction transaction(*this);
    RecordStatement statement(m_db, "DELETE FROM t_macro_data WHERE macro_id = ?");
    if (!statement.Int(macroId).Write())
        return false;
    statement.Prepare("DELETE FROM t_macrorecord WHERE macro_id = ?");
    statement.Int(macroId).Write();
    statement.Prepare("DELETE FROM t_key_macro_data WHERE macro_type = ? and macro_value = ?");
    const bool ok = statement.Int(kMacroAssignment).Int(macroId).Write();
    return transaction.End() && ok;
}

bool ProfileDatabase::GetMacroPlayTimes(int macroId, int& playTimes)
{
    const OperationLock lock(*this);
    RecordStatement statement(m_db, "SELECT play_times FROM t_macro_data WHERE macro_id = ?");
    if (!statement.Int(macroId).ReadRow())
        return false;
    playTimes = statement.ColumnInt(0);
    return true;
}

bool ProfileDatabase::GetMacro(int macroId, MacroRow& row)
{
    const OperationLock lock(*this);
    RecordStatement statement(m_db, "SELECT * FROM t_macro_data WHERE macro_id = ?");
    if (!statement.Int(macroId).ReadRow())
        return false;
    FillMacro(statement, row);
    return true;
}

int ProfileDatabase::ListMacros(MacroList& list)
{
    const OperationLock lock(*this);
    RecordStatement statement(m_db, "SELECT * FROM t_macro_data");
    return statement.ReadRows(list, FillMacro);
}

int ProfileDatabase::AddMacroRecord(const MacroRecordRow& row)
{
    const OperationLock lock(*this);
    RecordStatement statement(m_db, kInsertMacroRecord);
    return BindMacroRecord(statement, row).Insert();
}

void ProfileDatabase::AddMacroRecords(MacroRecordList rows)
{
    const OperationLock lock(*this);
    OperationTransaction transaction(*this);
    for (const auto& row : rows) {
        if (!row)
            continue;
        RecordStatement statement(m_db, kInsertMacroRecord);
        BindMacroRecord(statement, *row).Write();
    }
    transaction.End();
}

int ProfileDatabase::ListMacroRecords(int macroId, MacroRecordList& list)
{
    const OperationLock lock(*this);
    RecordStatement statement(m_db, kSelectMacroRecords);
    return statement.Int(macroId).ReadRows(list, FillMacroRecord);
}

bool ProfileDatabase::DeleteMacroRecords(int macroId)
{
    const OperationLock lock(*this);
    RecordStatement statement(m_db, "DELETE FROM t_macrorecord WHERE macro_id = ?");
    return statement.Int(macroId).Write();
}

int ProfileDatabase::CountMacroEvents(int macroId)
{
    const OperationLock lock(*this);
    RecordStatement statement(m_db, kSelectMacroRecords);
    statement.Int(macroId);
    int events = 0;
    while (statement.ReadRow()) {
        if (statement.ColumnInt(2) != kNoEventRecordType)
            ++events;
    }
    return events;
}
