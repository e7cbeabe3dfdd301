#pragma once
// Language text ids that code refers to by name, kept in one place. Each id has one purpose: the
// profile export message has an id of its own (154), apart from the start-with-login box (151) whose
// wording it cannot share.

inline constexpr int kTextStartWithLogin = 151;     // settings page check box
inline constexpr int kTextExportProfileTitle = 152; // title of the profile export message
inline constexpr int kTextSelectProfileFirst = 154; // profile export with no profile selected
inline constexpr int kTextSelectMacroFirst = 540;   // macro export with no macro selected
inline constexpr int kTextExportMacroTitle = 541;   // title of the macro export message

inline constexpr int kTextTrayClosingOptions = 10; // tray menu: the closing behaviour dialog
inline constexpr int kTextTrayExit = 11;           // tray menu: exit
inline constexpr int kTextApply = 22;
inline constexpr int kTextClosingHeading = 170; // closing behaviour dialog
inline constexpr int kTextHideToTray = 171;     // its first choice; the close button's tip unless exiting
inline constexpr int kTextExitProgram = 172;    // its second choice; the close button's tip when exiting
