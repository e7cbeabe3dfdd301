#include "device/keyboard_layout.h"

#include <algorithm>
#include <limits>

#include "core/number_text.h"
#include "store/xml_document.h"

namespace {

bool IsDigit(wchar_t c)
{
    return c >= L'0' && c <= L'9';
}

// A part of `rect` is a number when, after blanks and an optional sign, a digit follows: "12px" is 12,
// "px" and "" are not numbers.
bool StartsWithNumber(std::wstring_view text)
{
    size_t pos = text.find_first_not_of(L" \t\n\v\f\r");
    if (pos == std::wstring_view::npos)
        return false;
    if (text[pos] == L'+' || text[pos] == L'-')
        ++pos;
    return pos < text.size() && IsDigit(text[pos]);
}

bool IsOne(const CString& text)
{
    return text == L"1";
}

int DecimalAttribute(const XmlDocument& document, std::wstring_view name)
{
    return LeadingDecimal(document.GetAttribute(name));
}

LightingInfo ReadLight(XmlDocument& document)
{
    LightingInfo light;
    light.rgbKeyboard = IsOne(document.GetAttribute(L"rgb_keyboard"));
    light.defaultMode = DecimalAttribute(document, L"default_mode");
    light.defaultBrightness = DecimalAttribute(document, L"default_brightness");
    light.defaultSpeed = DecimalAttribute(document, L"default_speed");
    light.brightnessMax = DecimalAttribute(document, L"brightness_max");
    light.speedMax = DecimalAttribute(document, L"speed_max");
    document.EnterElement();
    while (document.FindElement(L"info")) {
        LightRow row;
        row.name = document.GetAttribute(L"name");
        row.mode = DecimalAttribute(document, L"mode");
        row.config_func = DecimalAttribute(document, L"attribute");
        light.modes.push_back(row);
    }
    document.LeaveElement();
    return light;
}

KeyboardGeometry ReadGeometry(const XmlDocument& document)
{
    KeyboardGeometry geometry;
    geometry.xpos = DecimalAttribute(document, L"xpos");
    geometry.ypos = DecimalAttribute(document, L"ypos");
    geometry.width = DecimalAttribute(document, L"width");
    geometry.height = DecimalAttribute(document, L"height");
    geometry.image = document.GetAttribute(L"image");
    geometry.rowCount = DecimalAttribute(document, L"row_count");
    geometry.colCount = DecimalAttribute(document, L"col_count");
    return geometry;
}

LayoutFile::Key ReadKey(const XmlDocument& document)
{
    LayoutFile::Key key;
    LayoutKeyItem& item = key.item;
    item.code = static_cast<unsigned>(LeadingHex(document.GetAttribute(L"code")));
    item.name = document.GetAttribute(L"name");
    item.description = document.GetAttribute(L"desc");
    item.keyIndex = DecimalAttribute(document, L"key_index");
    item.lightIndex = DecimalAttribute(document, L"light_index");
    item.icon = document.GetAttribute(L"icon");
    key.cell = ParseRowColumn(document.GetAttribute(L"row_col"));
    item.rect = ParseKeyRect(document.GetAttribute(L"rect")).value_or(CRect());
    return key;
}

int SaturatedSum(int a, int b)
{
    const int64_t sum = static_cast<int64_t>(a) + b;
    return static_cast<int>(
        std::clamp<int64_t>(sum, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

} // namespace

CRect KeyboardGeometry::ViewRect() const
{
    return CRect(xpos, ypos, SaturatedSum(xpos, width), SaturatedSum(ypos, height));
}

std::optional<std::pair<int, int>> ParseRowColumn(std::wstring_view text)
{
    // Row digit, any one separator, then one or two column digits.
    if (text.size() != 3 && text.size() != 4)
        return std::nullopt;
    const std::wstring_view column = text.substr(2);
    if (!IsDigit(text[0]) || !IsDigit(column.front()) || !IsDigit(column.back()))
        return std::nullopt;
    return std::pair{text[0] - L'0', LeadingDecimal(column)};
}

std::optional<CRect> ParseKeyRect(std::wstring_view text)
{
    // Each of the first three numbers ends at the next '#'; the last is the rest of the text.
    int values[4] = {};
    for (int i = 0; i < 4; ++i) {
        const size_t end = i < 3 ? text.find(L'#') : text.size();
        if (end == std::wstring_view::npos)
            return std::nullopt;
        const std::wstring_view part = text.substr(0, end);
        if (!StartsWithNumber(part))
            return std::nullopt;
        values[i] = LeadingDecimal(part);
        text.remove_prefix(i < 3 ? end + 1 : end);
    }
    const auto [left, top, width, height] = values;
    constexpr int kMax = std::numeric_limits<int>::max();
    if (width < 0 || height < 0 || left > kMax - width || top > kMax - height)
        return std::nullopt;
    return CRect(left, top, left + width, top + height);
}

std::optional<LayoutFile> ReadLayoutFile(const CString& path)
{
    XmlDocument document;
    if (!document.LoadFile(path) || !document.FindElement(L"device.info") || !document.EnterElement())
        return std::nullopt;

    LayoutFile file;
    if (document.FindElement(L"menu"))
        file.menu = LayoutFile::Menu{IsOne(document.GetAttribute(L"macro")),
                                     IsOne(document.GetAttribute(L"light_mode"))};
    if (document.FindElement(L"function"))
        file.sleepTime = IsOne(document.GetAttribute(L"sleep_time"));
    if (document.FindElement(L"firmware"))
        file.firmware = FirmwareInfo{document.GetAttribute(L"version"), document.GetAttribute(L"file"),
                                     document.GetAttribute(L"url")};
    if (document.FindElement(L"light"))
        file.light = ReadLight(document);
    if (document.FindElement(L"Keyboard")) {
        file.keyboard = ReadGeometry(document);
        document.EnterElement();
        if (document.FindElement(L"KeyItems")) {
            document.EnterElement();
            while (document.FindElement(L"key"))
                file.keys.push_back(ReadKey(document));
        }
    }
    return file;
}

KeyMatrix KeyboardLayout::EmptyMatrix()
{
    KeyMatrix matrix;
    for (auto& row : matrix)
        row.fill(kNoKey);
    return matrix;
}

void KeyboardLayout::Apply(const LayoutFile& file)
{
    if (file.menu)
        featureFlags = kFeaturesOfMenu | (file.menu->macro ? kFeatureMacros : 0) |
                       (file.menu->lightMode ? kFeatureLighting : 0);
    if (file.sleepTime)
        sleepTime = *file.sleepTime;
    if (file.firmware)
        firmware = *file.firmware;
    if (file.light)
        lighting = *file.light;

    keyIndexByCode.clear();
    colourIndexByCode.clear();
    keyItems.clear();
    rowCount = 0;
    colCount = 0;
    matrix = EmptyMatrix();
    if (file.keyboard) {
        geometry = *file.keyboard;
        rowCount = geometry.rowCount;
        colCount = geometry.colCount;
    }
    for (const LayoutFile::Key& key : file.keys) {
        const int code = static_cast<int>(key.item.code);
        keyIndexByCode[code] = key.item.keyIndex; // a repeated code keeps the last index
        colourIndexByCode[code] = key.item.keyIndex;
        if (key.cell && key.cell->first < kKeyMatrixRows && key.cell->second < kKeyMatrixColumns)
            matrix[key.cell->first][key.cell->second] = static_cast<uint8_t>(key.item.code & 0xFF);
        keyItems.push_back(key.item);
    }
}
