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

#include "core/wide_text.h"
#include "store/profile_rows.h"

class ProfileDatabase;

// Writes the macro's file. False when the file could not be written, in which case a file already at
// the path is left as it was.
bool ExportMacro(ProfileDatabase& database, int macroId, const CString& path);

// Reads a macro file into a new macro named after the file title (see NameFromFileTitle; the name in the
// file is not used) and returns it as stored, or a row with macro_id 0 when nothing was added: the file
// does not load, its root is not "macro", or the database refused the macro. Never merges: importing the
// same file twice gives two macros. Settings missing from the file read as 0; a missing macroitems, or
// one that is not a sibling after macroinfo, gives a macro without records.
MacroRow ImportMacro(ProfileDatabase& database, const CString& path, const CString& fileTitle);
