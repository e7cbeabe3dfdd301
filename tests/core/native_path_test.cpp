#include <gtest/gtest.h>

#include "core/native_path.h"
#include "core/wide_text.h"

TEST(NativePath, ProgramPathForms)
{
    struct Case {
        std::wstring path;
        std::string native;
    };
    const Case cases[] = {
        // "%s\config.xml" on the form with a trailing separator doubles it
        {FormatText(L"%s\\config.xml", L"/opt/torvik/"), "/opt/torvik/config.xml"},
        {FormatText(L"%s\\config.xml", L"/opt/torvik"), "/opt/torvik/config.xml"},
        {L"/opt/torvik/skins/theme1\\icon//icon_pc.png", "/opt/torvik/skins/theme1/icon/icon_pc.png"},
        {L"/home/u/.local/share/Corvid Z5 Files/" + FormatText(L"db\\%s_data_v6.db", L"Z5"),
         "/home/u/.local/share/Corvid Z5 Files/db/Z5_data_v6.db"},
        {L"\\\\\\a\\\\b//", "/a/b/"},
        {L"relative\\file.txt", "relative/file.txt"},
        {L"", ""},
        {L"/\u0142\u00F3d\u017A\\\u017C", "/\xC5\x82\xC3\xB3"
                                          "d\xC5\xBA/\xC5\xBC"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(WideToUtf8(c.path));
        EXPECT_EQ(NativePath(c.path), c.native);
    }
}
