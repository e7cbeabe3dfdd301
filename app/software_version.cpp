#include "app/software_version.h"

#include <pugixml.hpp>

#include "core/native_path.h"

CString ReadSoftwareVersion(const CString& configPath)
{
    pugi::xml_document document;
    if (!document.load_file(NativePath(configPath).c_str()))
        return {};
    return Utf8ToWide(document.child("config")
                          .find_child([](const pugi::xml_node& node) {
                              return std::string_view(node.name()) == "software";
                          })
                          .attribute("version")
                          .value());
}
