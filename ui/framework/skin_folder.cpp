#include "ui/framework/skin_folder.h"

#include "core/folders.h"
#include "ui/framework/manager.h"

CString SkinFolder()
{
    return ApplicationFolderWithSeparator() + L"skins\\" + Manager::GetTheme();
}

CString SkinFilePath(const CString& name)
{
    return SkinFolder() + name;
}
