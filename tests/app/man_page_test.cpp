// The manual page and --help describe the same options, each with the same argument.

#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "app/command_line.h"
#include "tests/support/scoped_folders.h"

namespace {

// "-h, --help" -> {"-h", "--help"}.
void AddTag(const std::string& tag, std::set<std::string>& options)
{
    size_t start = 0;
    for (size_t comma; (comma = tag.find(", ", start)) != std::string::npos; start = comma + 2)
        options.insert(tag.substr(start, comma - start));
    options.insert(tag.substr(start));
}

// The option lines of the usage text: two spaces, then the option and its argument up to the next run
// of spaces. Indented further, a line continues the text before.
std::set<std::string> HelpOptions(const std::string& usage)
{
    std::set<std::string> options;
    std::istringstream lines(usage);
    for (std::string line; std::getline(lines, line);) {
        if (!line.starts_with("  -"))
            continue;
        const size_t end = line.find("  ", 2);
        AddTag(line.substr(2, end == std::string::npos ? std::string::npos : end - 2), options);
    }
    return options;
}

// Roff as it prints: fonts dropped, "\-" a hyphen, the alternating-font macros' arguments joined.
std::string PlainRoff(const std::string& line)
{
    std::string text = line;
    bool join = false;
    for (const char* macro : {".BR ", ".BI ", ".IR ", ".RI ", ".B ", ".I "}) {
        if (text.starts_with(macro)) {
            text = text.substr(std::string(macro).size());
            join = std::string(macro).size() == 4;
            break;
        }
    }
    std::string plain;
    bool quoted = false;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            if (text[i + 1] == 'f' && i + 2 < text.size()) {
                i += 2;
                continue;
            }
            plain += text[++i];
        } else if (text[i] == '"') {
            quoted = !quoted;
        } else if (text[i] != ' ' || quoted || !join) {
            plain += text[i];
        }
    }
    return plain;
}

// The tags of the OPTIONS section: the line after each .TP.
std::set<std::string> ManPageOptions(const std::string& page)
{
    std::set<std::string> options;
    std::istringstream lines(page);
    bool inOptions = false;
    bool tag = false;
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with(".SH"))
            inOptions = line == ".SH OPTIONS";
        else if (inOptions && line == ".TP")
            tag = true;
        else if (tag) {
            AddTag(PlainRoff(line), options);
            tag = false;
        }
    }
    return options;
}

} // namespace

std::string ManPageText()
{
    return ReadFileBytes(std::filesystem::path(TORVIK_SOURCE_DIR) / "dist" / "torvik.1.in");
}

TEST(ManPage, DocumentsExactlyTheOptionsOfHelp)
{
    const std::set<std::string> help = HelpOptions(UsageText("torvik"));
    ASSERT_FALSE(help.empty());
    const std::set<std::string> man = ManPageOptions(ManPageText());
    for (const std::string& option : help)
        EXPECT_TRUE(man.contains(option)) << option << ": printed by --help, missing from the manual page";
    for (const std::string& option : man)
        EXPECT_TRUE(help.contains(option)) << option << ": in the manual page, not printed by --help";
}

// Started as the command the synopsis names, --help names it too.
TEST(ManPage, SynopsisAndHelpNameTheInstalledCommand)
{
    const std::string page = ManPageText();
    const size_t synopsis = page.find(".SH SYNOPSIS\n.B ");
    ASSERT_NE(synopsis, std::string::npos);
    const size_t start = synopsis + std::string(".SH SYNOPSIS\n.B ").size();
    const std::string command = page.substr(start, page.find('\n', start) - start);
    EXPECT_EQ(command, "torvik") << "the command dist/ installs";
    const std::string usage = UsageText(CommandName(("/usr/bin/" + command).c_str()));
    EXPECT_TRUE(usage.starts_with("Usage: " + command + " [option]...\n")) << usage;
}
