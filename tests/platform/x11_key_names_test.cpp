#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/fake/fixed_key_names.h"
#include "platform/fake/us_character_keys.h"
#include "platform/linux/x11_character_keys.h"
#include "platform/linux/x11_key_names.h"

namespace {

// An X server of the test's own, so that switching its layout disturbs no other test.
class PrivateXServer {
public:
    PrivateXServer()
    {
        int fds[2];
        if (pipe(fds) != 0)
            return;
        m_pid = fork();
        if (m_pid == 0) {
            close(fds[0]);
            const std::string fd = std::to_string(fds[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-nolisten", "tcp", "-noreset", "-screen", "0",
                   "320x200x24", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        char buffer[16] = {};
        ssize_t length = 0;
        // Xvfb writes its display number once it accepts connections; EOF means it did not start.
        while (length < static_cast<ssize_t>(sizeof buffer) - 1) {
            const ssize_t n = read(fds[0], buffer + length, sizeof buffer - 1 - length);
            if (n <= 0 || buffer[length + n - 1] == '\n') {
                length += n > 0 ? n : 0;
                break;
            }
            length += n;
        }
        close(fds[0]);
        if (length > 0)
            m_display = ":" + std::string(buffer, static_cast<size_t>(length - 1));
    }
    ~PrivateXServer()
    {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
        }
    }
    PrivateXServer(const PrivateXServer&) = delete;
    PrivateXServer& operator=(const PrivateXServer&) = delete;

    const std::string& Display() const { return m_display; }

    bool SetLayout(const char* layout) const
    {
        const std::string command = "setxkbmap -display " + m_display + " " + layout;
        return std::system(command.c_str()) == 0;
    }

private:
    pid_t m_pid = -1;
    std::string m_display;
};

class X11KeyNamesTest : public testing::Test {
protected:
    void SetUp() override
    {
        // tools/setup-deps.sh installs Xvfb: a server that does not start is a failure, never a skip.
        ASSERT_FALSE(m_server.Display().empty()) << "Xvfb did not start";
        m_names = X11KeyNames::Open(m_server.Display().c_str());
        ASSERT_NE(m_names, nullptr);
    }

    PrivateXServer m_server;
    std::unique_ptr<X11KeyNames> m_names;
};

} // namespace

// On a US layout the X keymap names every key of a full-size keyboard, and the media keys, as the fixed
// table does.
TEST_F(X11KeyNamesTest, UsLayoutNamesAgreeWithTheFixedTable)
{
    ASSERT_TRUE(m_server.SetLayout("us"));
    const FixedKeyNames fixed;
    for (unsigned virtualKey = 1; virtualKey < 256; ++virtualKey) {
        const CString expected = fixed.KeyName(virtualKey);
        if (expected.empty())
            continue;
        EXPECT_EQ(m_names->KeyName(virtualKey), expected) << "virtual key " << virtualKey;
    }
    EXPECT_EQ(m_names->KeyName(0), L"");
    EXPECT_EQ(m_names->KeyName(0x0A), L"") << "a reserved code no key sends";
}

// The names follow the layout in use: the letter keys of a German layout, its umlauts in capitals.
TEST_F(X11KeyNamesTest, FollowsALayoutChange)
{
    ASSERT_TRUE(m_server.SetLayout("us"));
    EXPECT_EQ(m_names->KeyName('Y'), L"Y");
    ASSERT_TRUE(m_server.SetLayout("de"));
    EXPECT_EQ(m_names->KeyName('Y'), L"Z");
    EXPECT_EQ(m_names->KeyName('Z'), L"Y");
    EXPECT_EQ(m_names->KeyName(186), L"\u00D6") << "the US semicolon key types o-umlaut";
    EXPECT_EQ(m_names->KeyName(192), L"^") << "a dead key names its accent";
    EXPECT_EQ(m_names->KeyName(36), L"Home");
    EXPECT_EQ(m_names->KeyName(103), L"Num 7");
}

// The keys that type each character, from the same keymap: on a US layout the fixed table's, on a German
// one the keys moved, the AltGr level used, and dead keys left out.
TEST_F(X11KeyNamesTest, CharactersAreTypedWithTheKeysOfTheLayoutInUse)
{
    ASSERT_TRUE(m_server.SetLayout("us"));
    const X11CharacterKeys keys(m_server.Display());
    for (char32_t c = 0x20; c < 0x7F; ++c)
        EXPECT_EQ(keys.KeyFor(c), UsCharacterKey(c)) << "character " << static_cast<int>(c);
    EXPECT_EQ(keys.KeyFor(U'\n'), (CharacterKey{40, false, false}));
    EXPECT_EQ(keys.KeyFor(U'\u00F6'), std::nullopt);

    ASSERT_TRUE(m_server.SetLayout("de"));
    EXPECT_EQ(keys.KeyFor(U'z'), (CharacterKey{28, false, false}));
    EXPECT_EQ(keys.KeyFor(U'Z'), (CharacterKey{28, true, false}));
    EXPECT_EQ(keys.KeyFor(U'\u00F6'), (CharacterKey{51, false, false}));
    EXPECT_EQ(keys.KeyFor(U'@'), (CharacterKey{20, false, true}));
    EXPECT_EQ(keys.KeyFor(U'\u20AC'), (CharacterKey{8, false, true}));
    EXPECT_EQ(keys.KeyFor(U'7'), (CharacterKey{36, false, false})) << "the main row, not the keypad";
    EXPECT_EQ(keys.KeyFor(U'^'), std::nullopt) << "only a dead key makes it";
}

TEST(X11CharacterKeysWithoutDisplayTest, FallsBackToAUsLayout)
{
    const X11CharacterKeys keys(":9999");
    EXPECT_EQ(keys.KeyFor(U'A'), (CharacterKey{4, true, false}));
}
