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

// The file chooser: the program's own file dialog, and the titles of the exchange files' dialogs.
inline constexpr int kTextFileDialogFolders = 180;
inline constexpr int kTextFileDialogFiles = 181;
inline constexpr int kTextFileDialogName = 182;
inline constexpr int kTextFileDialogType = 183;
inline constexpr int kTextFileDialogUp = 184;
inline constexpr int kTextFileDialogReplaceQuestion = 185; // %s: the file's name
inline constexpr int kTextFileDialogReplace = 186;
inline constexpr int kTextImportProfileDialog = 187;
inline constexpr int kTextExportProfileDialog = 188;
inline constexpr int kTextImportMacroDialog = 189;
inline constexpr int kTextExportMacroDialog = 190;

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
