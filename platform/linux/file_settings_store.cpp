#include "platform/linux/file_settings_store.h"

#include <algorithm>
#include <cwctype>
#include <fstream>
#include <iterator>
#include <utility>
#include <vector>

#include "platform/linux/config_files.h"

namespace {

using Values = std::vector<std::pair<CString, CString>>;

bool SameName(const CString& a, const CString& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](wchar_t x, wchar_t y) {
        return std::towlower(static_cast<wint_t>(x)) == std::towlower(static_cast<wint_t>(y));
    });
}

Values::iterator FindValue(Values& values, const CString& name)
{
    return std::find_if(values.begin(), values.end(), [&](const auto& v) { return SameName(v.first, name); });
}

std::string Escape(const CString& text)
{
    std::string out;
    for (char c : WideToUtf8(text)) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '=':
            out += "\\=";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
    return out;
}

// One line back into its name and value; false for a line without an unescaped '='.
bool ParseLine(const std::string& line, CString& name, CString& value)
{
    std::string parts[2];
    int part = 0;
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '\\' && i + 1 < line.size()) {
            const char next = line[++i];
            parts[part] += next == 'n' ? '\n' : next == 'r' ? '\r' : next;
        } else if (c == '=' && part == 0) {
            part = 1;
        } else {
            parts[part] += c;
        }
    }
    if (part == 0)
        return false;
    name = Utf8ToWide(parts[0]);
    value = Utf8ToWide(parts[1]);
    return true;
}

bool ReadValues(const std::string& path, Values& values)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') // a hand edit with CR LF line ends
            line.pop_back();
        CString name, value;
        if (ParseLine(line, name, value) && FindValue(values, name) == values.end())
            values.emplace_back(std::move(name), std::move(value));
    }
    return true;
}

bool WriteValues(const std::string& path, const Values& values)
{
    std::string bytes;
    for (const auto& [name, value] : values)
        bytes += Escape(name) + '=' + Escape(value) + '\n';
    return ReplaceFileAtomically(path, bytes);
}

} // namespace

std::string FileSettingsStore::KeyFilePath(const CString& key)
{
    return XdgConfigHome() + '/' + FileNameComponent(key) + "/settings";
}

bool FileSettingsStore::KeyExists(const CString& key) const
{
    return RegularFileExists(KeyFilePath(key));
}

bool FileSettingsStore::CreateKey(const CString& key)
{
    std::lock_guard lock(m_lock);
    const std::string path = KeyFilePath(key);
    return RegularFileExists(path) || WriteValues(path, {});
}

std::optional<CString> FileSettingsStore::QueryValue(const CString& key, const CString& name) const
{
    std::lock_guard lock(m_lock);
    Values values;
    if (!ReadValues(KeyFilePath(key), values))
        return std::nullopt;
    const auto found = FindValue(values, name);
    if (found == values.end())
        return std::nullopt;
    return found->second;
}

bool FileSettingsStore::SetValue(const CString& key, const CString& name, const CString& text)
{
    std::lock_guard lock(m_lock);
    const std::string path = KeyFilePath(key);
    Values values;
    if (!RegularFileExists(path) || !ReadValues(path, values))
        return false;
    if (const auto found = FindValue(values, name); found != values.end())
        found->second = text;
    else
        values.emplace_back(name, text);
    return WriteValues(path, values);
}

bool FileSettingsStore::DeleteValue(const CString& key, const CString& name)
{
    std::lock_guard lock(m_lock);
    const std::string path = KeyFilePath(key);
    Values values;
    if (!RegularFileExists(path) || !ReadValues(path, values))
        return false;
    const auto found = FindValue(values, name);
    if (found == values.end())
        return true;
    values.erase(found);
    return WriteValues(path, values);
}
