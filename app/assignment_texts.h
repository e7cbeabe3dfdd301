#pragma once
// The assignment rules' texts from the language file in use.

#include "app/language_text.h"
#include "keys/assignment_rules.h"

inline AssignmentTexts CurrentAssignmentTexts()
{
    return {[](int id) { return GetText(kDialogSection, id); }, GetLanguageId()};
}
