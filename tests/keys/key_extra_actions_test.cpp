// The program-run actions by key extra record, on a real profile database with the in-memory shell,
// layout and typing.

#include <gtest/gtest.h>

#include <fstream>

#include "core/folders.h"
#include "keys/custom_key_rules.h"
#include "keys/key_extra_actions.h"
#include "platform/fake/fake_shell.h"
#include "platform/fake/us_character_keys.h"
#include "store/profile_database.h"
#include "tests/support/scoped_folders.h"

namespace {

using Result = KeyExtraActions::Result;
using Outcome = KeyExtraActions::Outcome;

class RecordingTyper : public KeyTyper {
public:
    bool TypeKeys(std::vector<CharacterKey> keys) override
    {
        typed.push_back(std::move(keys));
        return accept;
    }
    std::vector<std::vector<CharacterKey>> typed;
    bool accept = true;
};

class KeyExtraActionsTest : public testing::Test {
protected:
    KeyExtraActionsTest()
    {
        const CString dataFolder = DataFolder(L"Torvik");
        CreateFolderTree(dataFolder + L"db");
        if (!m_database.OpenForDevice(dataFolder, L"Corvid Z5"))
            ADD_FAILURE() << "cannot open the profile database";
    }

    int Record(const KeyExtraRow& row) { return m_database.AddKeyExtra(row); }
    Outcome Run(int id) { return m_actions.Run(id); }

    ScopedFolders m_folders;
    ProfileDatabase m_database;
    KeyAssignments m_assignments{m_database};
    FakeShell m_shell;
    UsCharacterKeys m_layout;
    RecordingTyper m_typer;
    KeyTyper* m_currentTyper = &m_typer;
    std::vector<std::string> m_log;
    KeyExtraActions m_actions{{m_assignments, m_database, m_shell, m_layout,
                               [this] { return m_currentTyper; },
                               [this](const std::string& line) { m_log.push_back(line); }}};
};

TEST_F(KeyExtraActionsTest, AProgramStartsWhileItsFileIsThere)
{
    const std::filesystem::path program = m_folders.Root() / "tool.sh";
    std::ofstream(program) << "#!/bin/sh\n";
    const int id = Record(ProgramRecord(Utf8ToWide(program.string())));

    EXPECT_EQ(Run(id), (Outcome{Result::Done, {}, 0}));
    EXPECT_EQ(m_shell.StartedPrograms(), std::vector<CString>{Utf8ToWide(program.string())});

    std::filesystem::remove(program);
    EXPECT_EQ(Run(id), (Outcome{Result::ProgramMissing, Utf8ToWide(program.string()), 0}));
    EXPECT_EQ(m_shell.StartedPrograms().size(), 1u);

    // There, but the desktop would not start it.
    std::ofstream(program) << "data";
    m_shell.ForceResult(false);
    EXPECT_EQ(Run(id).result, Result::NotStarted);
}

TEST_F(KeyExtraActionsTest, AnAddressIsOpenedAsTheDesktopTakesIt)
{
    EXPECT_EQ(Run(Record(AddressRecord(L"example.com"))).result, Result::Done);
    EXPECT_EQ(Run(Record(AddressRecord(L"https://www.example.org/a"))).result, Result::Done);
    EXPECT_EQ(Run(Record(AddressRecord(L""))).result, Result::NoRecord) << "nothing to open";
    EXPECT_EQ(m_shell.OpenedAddresses(),
              (std::vector<CString>{L"https://www.example.com", L"https://www.example.org/a"}));
    EXPECT_EQ(Run(Record(AddressRecord(L"ftp://files.example.com"))),
              (Outcome{Result::NotStarted, L"ftp://files.example.com", 0}));
}

TEST_F(KeyExtraActionsTest, ATextIsTypedWithWhatTheLayoutCanTypeAndTheRestIsLogged)
{
    const int id = Record(TextRecord(L"Ok \u00E9!"));

    EXPECT_EQ(Run(id).result, Result::Done);
    ASSERT_EQ(m_typer.typed.size(), 1u);
    EXPECT_EQ(m_typer.typed[0],
              (std::vector<CharacterKey>{
                  {18, true, false}, {14, false, false}, {44, false, false}, {30, true, false}}));
    EXPECT_EQ(m_log,
              std::vector<std::string>{
                  "typing a text: 4 of 5 characters, 1 skipped (no key of the keyboard layout types them)"});

    // Busy (or no virtual keyboard): said so, nothing queued.
    m_typer.accept = false;
    EXPECT_EQ(Run(id).result, Result::TypingBusy);
    m_currentTyper = nullptr;
    EXPECT_EQ(Run(id).result, Result::TypingBusy);
    EXPECT_EQ(Run(Record(TextRecord(L"\u20AC\u20AC"))).result, Result::NothingToType);
    EXPECT_EQ(m_log.size(), 4u) << "one line for each text with characters left out";
}

TEST_F(KeyExtraActionsTest, AProfileSwitchNamesAProfileThatExists)
{
    ProfileRow games;
    games.name = L"Games";
    const int profile = m_database.AddProfile(games);
    ASSERT_GT(profile, 0);

    EXPECT_EQ(Run(Record(ProfileRecord(profile, L"Games"))), (Outcome{Result::SwitchProfile, {}, profile}));
    EXPECT_EQ(Run(Record(ProfileRecord(profile + 1, L"Gone"))),
              (Outcome{Result::ProfileMissing, L"Gone", 0}));
    EXPECT_EQ(Run(Record({L"Odd", L"1x", 11})).result, Result::ProfileMissing);
}

TEST_F(KeyExtraActionsTest, NoRecordOrAKindWithoutAnActionDoesNothing)
{
    EXPECT_EQ(Run(99).result, Result::NoRecord);
    EXPECT_EQ(Run(Record({L"x", L"", 3})).result, Result::NoRecord);
    EXPECT_TRUE(m_shell.StartedPrograms().empty());
    EXPECT_TRUE(m_shell.OpenedAddresses().empty());
    EXPECT_TRUE(m_typer.typed.empty());
}

} // namespace
