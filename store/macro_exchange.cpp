#include "store/macro_exchange.h"

#include <algorithm>

#include "store/profile_database.h"
#include "store/xml_document.h"

ExchangeError ExportMacro(ProfileDatabase& database, int macroId, const NativeFilePath& path)
{
    MacroRow macro;
    database.GetMacro(macroId, macro);
    XmlDocument document;
    document.SetText(kExchangeDeclaration);
    document.AddElement(L"macro");
    document.EnterElement();
    document.AddElement(L"macroinfo");
    document.SetAttribute(L"name", macro.name);
    SetMacroSettings(document, macro);
    document.AddElement(L"macroitems");
    document.EnterElement();
    MacroRecordList records;
    database.ListMacroRecords(macroId, records);
    AddRecordItems(document, records);
    return SaveDocumentReplacing(document, path);
}

MacroImport ImportMacro(ProfileDatabase& database, const NativeFilePath& path, const CString& fileTitle)
{
    XmlDocument document;
    if (const ExchangeError error = LoadExchangeDocument(document, path, L"macro");
        error != ExchangeError::None)
        return {.error = error};
    document.EnterElement();
    MacroRow macro;
    macro.name = NameFromFileTitle(fileTitle);
    if (document.FindElement(L"macroinfo"))
        ReadMacroSettings(document, macro);

    // The macro and its records land together or not at all.
    ProfileDatabase::Batch batch(database);
    macro.macro_id = database.InsertMacro(macro);
    if (macro.macro_id <= 0)
        return {.error = ExchangeError::DatabaseRefused};
    // Searched after macroinfo, so one moved inside it is not found.
    if (document.FindElement(L"macroitems")) {
        const MacroRecordList records = ReadRecordItems(document, macro.macro_id);
        if (!std::all_of(records.begin(), records.end(),
                         [&](const auto& record) { return database.AddMacroRecord(*record) > 0; }))
            return {.error = ExchangeError::DatabaseRefused};
    }
    if (!batch.Commit())
        return {.error = ExchangeError::DatabaseRefused};
    return {.macro = macro};
}
