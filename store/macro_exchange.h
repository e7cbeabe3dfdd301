#pragma once
// The macro exchange file: one macro's play settings and records, written to an XML file and read back
// as a new macro.
//
//   <macro>
//   <macroinfo name times type delaytime/>
//   <macroitems>
//   <item desc type value delay_time/>       one per record, in record order
//   </macroitems>
//   </macro>
//
// macroinfo and macroitems are siblings here (in the profile file macroitems lies inside macroinfo).
// The macro's id, loop type and link count are not in the file; an imported macro gets loop type 0 and
// link count 0. The file dialogs and the macro list belong to the macro page.

#include "core/native_path.h"
#include "core/wide_text.h"
#include "store/exchange_file.h"
#include "store/profile_rows.h"

class ProfileDatabase;

// Writes the macro's file. On failure a file already at the path is left as it was (or, in a folder
// that takes no new files, may be left short) and the reason is returned.
ExchangeError ExportMacro(ProfileDatabase& database, int macroId, const NativeFilePath& path);

struct MacroImport {
    // The new macro as stored; macro_id 0 when nothing was added.
    MacroRow macro{};
    // Why nothing was added; None when the macro was.
    ExchangeError error = ExchangeError::None;
};

// Reads a macro file into a new macro named after the file title (see NameFromFileTitle; the name in the
// file is not used). Nothing is added when the file does not load, its root is not "macro", or the
// database refuses the macro or any of its records. Never merges: importing the same file twice gives
// two macros. Settings missing from the file read as 0; a missing macroitems, or one that is not a
// sibling after macroinfo, gives a macro without records.
MacroImport ImportMacro(ProfileDatabase& database, const NativeFilePath& path, const CString& fileTitle);
