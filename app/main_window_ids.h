#pragma once
// Control ids of the main window. Each page owns a range; KeyboardDlg routes by it.

namespace MainId {

// Frame, caption and tab bar.
constexpr unsigned kBackground = 30;
constexpr unsigned kFrameLeft = 31;
constexpr unsigned kFrameRight = 32;
constexpr unsigned kFrameTop = 33;
constexpr unsigned kFrameBottom = 34;
constexpr unsigned kShade = 35;
constexpr unsigned kCaption = 36;
constexpr unsigned kLogo = 37;
constexpr unsigned kProduct = 38;
constexpr unsigned kPageTitle = 39;
constexpr unsigned kPagePicture = 40;
constexpr unsigned kClose = 41;
constexpr unsigned kMinimize = 42;
constexpr unsigned kUnused43 = 43;
constexpr unsigned kWebsite = 44;
constexpr unsigned kBattery = 46;
constexpr unsigned kConnectionMode = 47;
constexpr unsigned kTabBarBack = 48;
constexpr unsigned kTabBar = 49;

// Pages.
constexpr unsigned kHomePage = 50;
constexpr unsigned kCustomKeyPage = 51;
constexpr unsigned kLightingPage = 52;
constexpr unsigned kMacroPage = 53;
constexpr unsigned kSettingsPage = 54;

// Home page.
constexpr unsigned kHomeHeader = 55;
constexpr unsigned kDeviceList = 56;
constexpr unsigned kCopyright = 57;
constexpr unsigned kVersion = 58;

// Custom key page.
constexpr unsigned kProfileBar = 59;
constexpr unsigned kProfileButtonFirst = 60;
constexpr unsigned kProfileButtonLast = 64;
constexpr unsigned kProfileListBack = 65;
constexpr unsigned kProfileList = 66;
constexpr unsigned kCustomKeyboard = 67;
constexpr unsigned kKeyAssignmentLine = 68; // what to do, or why assignments are not carried out
constexpr unsigned kKeyPicker = 69;

// Lighting page: 71, 72 and 75–195.
constexpr unsigned kLightingFirst = 71;
constexpr unsigned kLightingSecond = 72;
constexpr unsigned kLightingKeyboard = kLightingSecond; // the lighting page's keyboard view
constexpr unsigned kLightingRangeFirst = 75;
constexpr unsigned kLightingRangeLast = 195;

// Macro page: 198 and 201–237.
constexpr unsigned kMacroSingle = 198;
constexpr unsigned kMacroRangeFirst = 201;
constexpr unsigned kMacroRangeLast = 237;

// Settings page.
constexpr unsigned kSettingsBack = 238;
constexpr unsigned kLanguageLabel = 239;
constexpr unsigned kLanguage = 240;
constexpr unsigned kAutostart = 241;
constexpr unsigned kRestoreDefaults = 243;
constexpr unsigned kSoftwareUpdate = 244;
constexpr unsigned kFirmwareUpdate = 245;
constexpr unsigned kSettingsKeyboard = 246;

} // namespace MainId

// Tab item ids (what the tab bar reports back for an index) and the positions they are inserted at.
namespace TabItem {
constexpr unsigned kHome = 0;
constexpr unsigned kCustomKey = 1;
constexpr unsigned kMacro = 2;
constexpr unsigned kLighting = 3;
constexpr unsigned kSettings = 5;
} // namespace TabItem
