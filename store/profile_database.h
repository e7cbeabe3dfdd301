#pragma once
// The process-wide profile database: one SQLite file per keyboard model ("db\%s_data_v6.db" in the data
// folder), the lock that serialises every use of it, and every record operation of the program.
//
// Every operation takes the lock for its whole run, opening, closing and deleting the file included, so
// it may be called from any thread and never meets a half-closed connection. SQL errors never escape:
// writes answer false or 0, single-row reads "not found" with their output untouched, list reads an
// empty list. Without an open file that is what every operation answers. Ids are never reused.
//
// List reads replace the caller's rows and return how many there are; they come in id order unless the
// operation says otherwise. Multi-row writes take their rows over and run in one transaction in which a
// failing row is skipped and the others are committed.
//
// A Batch makes several operations one transaction (an import lands whole or not at all): it holds the
// lock for its whole life, so other threads' operations wait instead of slipping into it, while the
// operations of its own thread join it instead of committing on their own.

#include <mutex>
#include <string>

#include "core/wide_text.h"
#include "store/profile_rows.h"
#include "store/sqlite_auto_transaction.h"
#include "store/sqlite_db.h"

class ProfileDatabase {
public:
    class Batch {
    public:
        // Takes the lock and begins the transaction; inside another batch of this thread it joins that
        // one.
        explicit Batch(ProfileDatabase& database);
        // Rolls back what the batch did unless it was committed. An inner batch left this way makes
        // the outer one roll back too.
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

        // Commits everything done since the outermost batch began (an inner batch leaves that to the
        // outer one). False, with everything rolled back, when the commit failed, the transaction could
        // not begin, or an inner batch was abandoned.
        bool Commit();

    private:
        ProfileDatabase& m_database;
        std::unique_lock<std::recursive_mutex> m_lock;
        bool m_outermost = false;
        bool m_finished = false;
    };

    // The one object of the process, made on first use and closed at normal exit.
    static ProfileDatabase& Instance();

    // Tests make their own; the program uses Instance().
    ProfileDatabase() = default;
    ~ProfileDatabase();
    ProfileDatabase(const ProfileDatabase&) = delete;
    ProfileDatabase& operator=(const ProfileDatabase&) = delete;

    // --- The file ---

    // dataFolder ends with a separator and already holds the "db" folder. An existing file is opened as
    // it is (no schema statements run on it); a missing one is created with the schema.
    bool OpenForDevice(const CString& dataFolder, const CString& modelName);
    void Close();
    // Opens the remembered file with create rights and runs the schema; true at once when a
    // connection is held. False when any schema statement failed (the connection stays usable).
    bool CreateSchema();
    // Removes the model's file (closing it first when it is the open one), ignoring the outcome.
    void DeleteDatabaseFile(const CString& dataFolder, const CString& modelName);
    // The eleven default configuration rows of profile 1, written once into a new file.
    void SeedConfiguration();

    // Whether the last OpenForDevice succeeded.
    bool IsOpened() const;
    // The database file's path (UTF-8) as the last OpenForDevice built it.
    std::string FilePath() const;

    // --- Profiles ---

    // Stores name and app; status and type are written as 0. The new id, or 0.
    int AddProfile(const ProfileRow& row);
    bool DeleteProfile(int profile);
    bool RenameProfile(int profile, const CString& name);
    // name is emptied first.
    bool GetProfileName(int profile, CString& name);
    int ListProfiles(ProfileList& list);
    // Clears every profile's mark, then marks this one.
    bool SetActiveProfile(int profile);
    // The first marked profile, or 0.
    int GetActiveProfile();

    // --- Music layer (the program keeps one, id 1, under profile 1) ---

    int CountMusicLayers();
    // Profile 1 with deviceindex 0, fore_amplitude 300, backmode 0, backb_right 100, not selected.
    int AddMusicLayer(const CString& name, int foremode);
    bool GetMusicLayer(int layerId, MusicLayerRow& row);
    // Writes the row's five settings into layer 1.
    bool UpdateMusicLayer(const MusicLayerRow& row);
    // Selects layer 1 of profile 1.
    bool SelectMusicLayer();
    int GetSelectedMusicLayer();

    // --- Key assignments and their extra text ---

    // Replaces the row of (profile, fn_layer, key_code). Key code 0 changes nothing; with macro_value
    // and macro_value2 both 0 the key keeps no row. The new key_id, or 0 when nothing was stored.
    int SaveKeyAssignment(const KeyAssignmentRow& row);
    bool GetKeyAssignment(int profile, int fnLayer, int keyCode, KeyAssignmentRow& row);
    int ListKeyAssignments(int profile, int fnLayer, KeyAssignmentList& list);
    void DeleteProfileAssignments(int profile);
    // The new record's id, to be stored in an assignment's macro_value; 0 on failure.
    int AddKeyExtra(const KeyExtraRow& row);
    // Always true; the outputs stay untouched when there is no such record.
    bool GetKeyExtra(int id, CString& macroDesc, CString& param, int& type);

    // --- Lighting and per-key colours ---

    int CountLights(int profile);
    int AddLight(const LightRow& row);
    // Writes brightness ... reserved of the row into the row of (profile, mode).
    bool UpdateLight(int profile, int mode, const LightRow& row);
    // Clears the mark on every lighting row of every profile, then marks (profile, mode).
    bool SetActiveLight(int profile, int mode);
    // The marked mode of the profile, or 0.
    int GetActiveLightMode(int profile);
    bool GetLight(int profile, int mode, LightRow& row);
    int ListLights(int profile, LightList& list);
    // Returns the number of rows given.
    int AddKeyLights(KeyLightList rows);
    bool DeleteKeyLights(int lightSet);
    int ListKeyLights(int lightSet, KeyLightList& list);

    // --- Macros and their records ---

    // Plays once, delay type 1, no fixed delay, no link, no loop.
    int AddMacro(const CString& name);
    int InsertMacro(const MacroRow& row);
    bool RenameMacro(int macroId, const CString& name);
    // Writes play_times, delay_type, delay_time and loop_type (not link_count, not name).
    bool UpdateMacro(const MacroRow& row);
    // The macro, its records and every assignment (type 3) that runs it, in every profile and layer.
    // When the macro row cannot be deleted nothing else is touched.
    bool DeleteMacro(int macroId);
    bool GetMacroPlayTimes(int macroId, int& playTimes);
    bool GetMacro(int macroId, MacroRow& row);
    int ListMacros(MacroList& list);
    int AddMacroRecord(const MacroRecordRow& row);
    void AddMacroRecords(MacroRecordList rows);
    // In ascending record_index.
    int ListMacroRecords(int macroId, MacroRecordList& list);
    bool DeleteMacroRecords(int macroId);
    // The macro's records whose type is not 1.
    int CountMacroEvents(int macroId);

private:
    // What every record operation holds for its whole run.
    class OperationLock {
    public:
        explicit OperationLock(ProfileDatabase& database);

    private:
        std::lock_guard<std::recursive_mutex> m_lock;
    };

    // A record operation's own transaction; inside a batch it joins the batch's, which commits for it.
    class OperationTransaction {
    public:
        explicit OperationTransaction(ProfileDatabase& database);
        // True when committed, or when the batch will commit it.
        bool End();

    private:
        bool m_joined;
        SQLiteAutoTransaction m_transaction;
    };

    bool CreateSchemaLocked();
    bool RunSchema();

    SQLiteDB m_db;
    // Recursive so that the operations of a batch's own thread pass it.
    mutable std::recursive_mutex m_lock;
    int m_batchDepth = 0;
    bool m_batchFailed = false; // an inner batch was abandoned, or SQLite ended the transaction
    std::string m_path;         // UTF-8, the form SQLite takes
    bool m_opened = false;
};
