#include "store/profile_exchange.h"

#include <algorithm>
#include <map>

#include "store/exchange_file.h"
#include "store/profile_database.h"
#include "store/xml_document.h"

namespace {

constexpr int kMacroKey = 3;

using MacroIdMap = std::map<int, int>; // macro_id in the file -> macro_id in this database

void AddKeyItem(XmlDocument& document, const KeyAssignmentRow& row)
{
    document.AddElement(L"item");
    document.SetAttribute(L"fn_layer", row.fn_layer);
    document.SetAttribute(L"key_code", row.key_code);
    document.SetAttribute(L"layout_value", row.layout_value);
    document.SetAttribute(L"layout_desc", row.layout_desc);
    document.SetAttribute(L"macro_type", row.macro_type);
    document.SetAttribute(L"macro_value", row.macro_value);
    document.SetAttribute(L"macro_value2", row.macro_value2);
    document.SetAttribute(L"macro_value3", row.macro_value3);
    document.SetAttribute(L"macro_desc", row.macro_desc);
}

// After the keyitems element: one macroinfo per macro key, in key order.
void AddMacroInfo(XmlDocument& document, ProfileDatabase& database, int macroId)
{
    MacroRow macro; // a macro that no longer exists is written with an empty name and zeros
    database.GetMacro(macroId, macro);
    document.AddElement(L"macroinfo");
    document.SetAttribute(L"name", macro.name);
    document.SetAttribute(L"macro_id", macro.macro_id);
    SetMacroSettings(document, macro);
    document.EnterElement();
    document.AddElement(L"macroitems");
    document.EnterElement();
    MacroRecordList records;
    database.ListMacroRecords(macroId, records);
    AddRecordItems(document, records);
    document.LeaveElement();
    document.LeaveElement();
}

bool ExistedBefore(const MacroList& before, const CString& name, int macroId)
{
    return std::any_of(before.begin(), before.end(), [&](const std::unique_ptr<MacroRow>& macro) {
        return macro->macro_id == macroId && macro->name == name;
    });
}

// Every record as a macro record of the new macro; false when the database refused one.
bool StoreRecords(ProfileDatabase& database, const MacroRecordList& records)
{
    return std::all_of(records.begin(), records.end(),
                       [&](const auto& record) { return database.AddMacroRecord(*record) > 0; });
}

// Inside the profile element: every macroinfo, wherever it stands among the children. False when the
// database refused a macro or one of its records.
bool ImportMacros(ProfileDatabase& database, XmlDocument& document, MacroIdMap& newIds,
                  std::vector<MacroRow>& created)
{
    MacroList before;
    database.ListMacros(before);
    while (document.FindElement(L"macroinfo")) {
        MacroRow macro;
        macro.name = document.GetAttribute(L"name");
        const int oldId = NumberAttribute(document, L"macro_id");
        if (ExistedBefore(before, macro.name, oldId))
            continue;
        ReadMacroSettings(document, macro);
        macro.macro_id = database.InsertMacro(macro);
        if (macro.macro_id <= 0)
            return false;
        newIds[oldId] = macro.macro_id;
        document.EnterElement();
        const bool stored = !document.FindElement(L"macroitems") ||
                            StoreRecords(database, ReadRecordItems(document, macro.macro_id));
        document.LeaveElement();
        if (!stored)
            return false;
        created.push_back(macro);
    }
    return true;
}

// Inside the keyitems element. False when the database refused a key that it should have stored.
bool ImportKeyItems(ProfileDatabase& database, XmlDocument& document, int profile, const MacroIdMap& newIds)
{
    while (document.FindElement(L"item")) {
        KeyAssignmentRow row;
        row.profile = profile;
        row.fn_layer = NumberAttribute(document, L"fn_layer");
        row.key_code = NumberAttribute(document, L"key_code");
        row.layout_value = NumberAttribute(document, L"layout_value");
        row.layout_desc = document.GetAttribute(L"layout_desc");
        row.macro_type = NumberAttribute(document, L"macro_type");
        row.macro_value = NumberAttribute(document, L"macro_value");
        row.macro_value2 = NumberAttribute(document, L"macro_value2");
        row.macro_value3 = NumberAttribute(document, L"macro_value3");
        row.macro_desc = document.GetAttribute(L"macro_desc");
        if (row.macro_type == kMacroKey) {
            if (const auto mapped = newIds.find(row.macro_value); mapped != newIds.end())
                row.macro_value = mapped->second;
        }
        // Key code 0, or no value at all, is stored as no row by design.
        const bool kept = row.key_code != 0 && (row.macro_value != 0 || row.macro_value2 != 0);
        if (database.SaveKeyAssignment(row) <= 0 && kept)
            return false;
    }
    return true;
}

// Both passes inside the caller's batch; false when the database refused anything.
bool ImportInto(ProfileDatabase& database, XmlDocument& document, const CString& fileTitle,
                ProfileImport& result)
{
    MacroIdMap newIds;
    document.EnterElement();
    const bool macrosStored = ImportMacros(database, document, newIds, result.macros);
    document.LeaveElement();
    if (!macrosStored)
        return false;

    ProfileRow profile;
    profile.name = NameFromFileTitle(fileTitle);
    result.profile = database.AddProfile(profile);
    if (result.profile <= 0)
        return false;
    document.EnterElement();
    document.FindElement(L"profileinfo"); // its name is not used; keyitems is looked for after it
    if (document.FindElement(L"keyitems") && document.EnterElement() &&
        !ImportKeyItems(database, document, result.profile, newIds))
        return false;
    return database.SetActiveProfile(result.profile);
}

} // namespace

ExchangeError ExportProfile(ProfileDatabase& database, int profile, const CString& profileName,
                            const NativeFilePath& path)
{
    XmlDocument document;
    document.SetText(kExchangeDeclaration);
    document.AddElement(L"profile");
    document.EnterElement();
    document.AddElement(L"profileinfo");
    document.SetAttribute(L"name", profileName);
    document.AddElement(L"keyitems");
    document.EnterElement();
    KeyAssignmentList keys;
    database.ListKeyAssignments(profile, 0, keys);
    std::vector<int> macroIds;
    for (const auto& key : keys) {
        AddKeyItem(document, *key);
        if (key->macro_type == kMacroKey)
            macroIds.push_back(key->macro_value);
    }
    document.LeaveElement();
    for (int macroId : macroIds)
        AddMacroInfo(document, database, macroId);
    return SaveDocumentReplacing(document, path);
}

ProfileImport ImportProfile(ProfileDatabase& database, const NativeFilePath& path, const CString& fileTitle)
{
    ProfileImport result;
    // The file is read once for both passes, so a file that changes in between cannot leave macros
    // without their profile.
    XmlDocument document;
    result.error = LoadExchangeDocument(document, path, L"profile");
    if (result.error != ExchangeError::None)
        return result;

    // One transaction: killed or refused part-way, the import leaves nothing behind, and a large file
    // costs one commit instead of one per row.
    ProfileDatabase::Batch batch(database);
    if (!ImportInto(database, document, fileTitle, result) || !batch.Commit())
        return {.error = ExchangeError::DatabaseRefused};
    return result;
}
