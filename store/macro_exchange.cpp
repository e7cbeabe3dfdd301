#include "store/macro_exchange.h"

#include "store/exchange_file.h"
#include "store/profile_database.h"
#include "store/xml_document.h"

bool ExportMacro(ProfileDatabase& database, int macroId, const CString& path)
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

MacroRow ImportMacro(ProfileDatabase& database, const CString& path, const CString& fileTitle)
{
    XmlDocument document;
    if (!document.LoadFile(path) || !document.FindElement(L"macro"))
        return {};
    document.EnterElement();
    MacroRow macro;
    macro.name = NameFromFileTitle(fileTitle);
    if (document.FindElement(L"macroinfo"))
        ReadMacroSettings(document, macro);
    macro.macro_id = database.InsertMacro(macro);
    if (macro.macro_id <= 0)
        return {};
    // Searched after macroinfo, so one moved inside it is not found.
    if (document.FindElement(L"macroitems"))
        database.AddMacroRecords(ReadRecordItems(document, macro.macro_id));
    return macro;
}
