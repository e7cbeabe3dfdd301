#pragma once
// Language text ids that code refers to by name, kept in one place. Each id has one purpose: the
// profile export message has an id of its own (154), apart from the start-with-login box (151) whose
// wording it cannot share.

inline constexpr int kTextStartWithLogin = 151;     // settings page check box
inline constexpr int kTextExportProfileTitle = 152; // title of the profile export message
inline constexpr int kTextSelectProfileFirst = 154; // profile export with no profile selected
inline constexpr int kTextSelectMacroFirst = 540;   // macro export with no macro selected
inline constexpr int kTextExportMacroTitle = 541;   // title of the macro export message
