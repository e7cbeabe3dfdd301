#pragma once
// The profile exchange file: a profile's base-layer key assignments and every macro they run, written to
// an XML file and read back as a new profile on this or another PC.
//
//   <profile>
//   <profileinfo name="..."/>
//   <keyitems>
//   <item fn_layer key_code layout_value layout_desc macro_type macro_value macro_value2 macro_value3
//         macro_desc/>                       one per assignment of Fn layer 0, in id order
//   </keyitems>
//   <macroinfo name macro_id times type delaytime>   one per item of macro_type 3, repeats included
//   <macroitems>
//   <item desc type value delay_time/>       one per record, in record order
//   </macroitems>
//   </macroinfo>
//   </profile>
//
// Loop type and link count of a macro are not in the file (imported macros get 0), nor are the extra
// texts of an assignment: such an item carries only the record id in macro_value.
//
// The file dialogs and the page's lists belong to the profile page, which calls these with the chosen
// path and file title and appends what the import created to its lists.

#include <vector>

#include "core/native_path.h"
#include "core/wide_text.h"
#include "store/exchange_file.h"
#include "store/profile_rows.h"

class ProfileDatabase;

// Writes the profile's file; profileName is the name the profile list shows. On failure a file already
// at the path is left as it was (or, in a folder that takes no new files, may be left short) and the
// reason is returned.
ExchangeError ExportProfile(ProfileDatabase& database, int profile, const CString& profileName,
                            const NativeFilePath& path);

struct ProfileImport {
    // The new profile, already marked active; 0 when none was added.
    int profile = 0;
    // The macros the import created, in file order, as stored.
    std::vector<MacroRow> macros{};
    // Why nothing was added; None when the profile was.
    ExchangeError error = ExchangeError::None;
};

// Reads a profile file into the database. First the macros: a macroinfo whose name and macro_id match a
// macro that existed before the import is taken to be that macro and skipped; every other one becomes a
// new macro with its records, and its old id maps to the new one (a later element with the same old id
// replaces the mapping). Then a new profile named after the file title (see NameFromFileTitle) gets the
// file's key items, macro keys pointed through the id map, each stored by SaveKeyAssignment's rules.
// The whole import is one transaction: a file that does not load, whose root is not "profile", or
// whose content the database refuses in any part changes nothing and reports no profile and no macros.
ProfileImport ImportProfile(ProfileDatabase& database, const NativeFilePath& path, const CString& fileTitle);
