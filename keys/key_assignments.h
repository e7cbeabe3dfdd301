#pragma once
// The assignments of the profile database as the custom key page and the command line use them: store a
// row for a key, read the sound rows back, and make the key extra record a program-run row refers to.
// Every operation is one or two record operations, so it may come from any thread.

#include <optional>
#include <vector>

#include "keys/assignment_rules.h"

class ProfileDatabase;

class KeyAssignments {
public:
    explicit KeyAssignments(ProfileDatabase& database) : m_database(database) {}

    // Stores `row` as what `keyCode` does in (profile, fnLayer): the key's old row goes, and the new one
    // stays unless it assigns nothing (type 0, or both values 0). The new row's id; 0 when the key keeps
    // no row (key code 0, nothing assigned, or the database refused it).
    int Assign(int profile, int fnLayer, int keyCode, KeyAssignmentRow row);
    // The key's row when it is sound.
    std::optional<KeyAssignmentRow> Find(int profile, int fnLayer, int keyCode);
    // The sound rows of a profile and layer, in stored order.
    std::vector<KeyAssignmentRow> SoundRows(int profile, int fnLayer);
    bool IsSound(const KeyAssignmentRow& row);

    // Stores a key extra record and gives the row that refers to it (types 8-11); nullopt when the
    // database refused the record.
    std::optional<KeyAssignmentRow> MakeProgramRun(const KeyExtraRow& record);
    std::optional<KeyExtraRow> Record(int id);
    // Looks records up in the database (valid for as long as the database, not this object).
    KeyExtraLookup Records();

private:
    ProfileDatabase& m_database;
};

// The key extra record with this id; nullopt when there is none.
std::optional<KeyExtraRow> ReadKeyExtra(ProfileDatabase& database, int id);
// A lookup of the database's key extra records.
KeyExtraLookup KeyExtrasOf(ProfileDatabase& database);
