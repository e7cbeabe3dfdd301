#pragma once
// Language text ids that code refers to by name, kept in one place. Each id has one purpose: the
// profile export message has an id of its own (154), apart from the start-with-login box (151) whose
// wording it cannot share.

inline constexpr int kTextStartWithLogin = 151;     // settings page check box
inline constexpr int kTextExportProfileTitle = 152; // title of the profile export message
inline constexpr int kTextSelectProfileFirst = 154; // profile export with no profile selected
inline constexpr int kTextSelectMacroFirst = 540;   // macro export with no macro selected
inline constexpr int kTextExportMacroTitle = 541;   // title of the macro export message

// Key assignment beyond the keyboard's own types: the custom key dialog's text field labels, its
// messages, a program-run action that failed, and why software keys are not working.
inline constexpr int kTextProgramMissing = 213;  // followed by the path
inline constexpr int kTextCannotOpen = 214;      // followed by what could not be opened
inline constexpr int kTextProgramField = 215;    // label of the program path field
inline constexpr int kTextAddressField = 216;    // label of the web address field
inline constexpr int kTextTypedTextField = 217;  // label of the text field
inline constexpr int kTextProfileField = 219;    // label of the target profile list
inline constexpr int kTextFillInField = 280;     // apply with an empty field
inline constexpr int kTextNothingToChoose = 281; // apply with an empty list
inline constexpr int kTextNoVirtualKeyboard = 285;
inline constexpr int kTextNoKeyboardAccess = 286;
inline constexpr int kTextNoKeyFilter = 287;
