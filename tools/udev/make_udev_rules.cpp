// Build step: writes the udev rules file for the keyboards of a config.xml.
//   make_udev_rules <config.xml> <output file>

#include <cstdio>
#include <fstream>
#include <iostream>

#include "device/device_description.h"
#include "tools/udev/udev_rules.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: make_udev_rules <config.xml> <output file>\n";
        return 2;
    }
    const UdevRules rules = MakeUdevRules(LoadDeviceDescription(Utf8ToWide(argv[1])));
    if (!rules.error.empty()) {
        std::cerr << "make_udev_rules: " << argv[1] << ": " << rules.error << "\n";
        return 1;
    }
    // Written beside the target and renamed, so a failed run never leaves half a file for install.
    const std::string temporary = std::string(argv[2]) + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << rules.text;
        out.close();
        if (!out) {
            std::cerr << "make_udev_rules: cannot write " << temporary << "\n";
            std::remove(temporary.c_str());
            return 1;
        }
    }
    if (std::rename(temporary.c_str(), argv[2]) != 0) {
        std::cerr << "make_udev_rules: cannot write " << argv[2] << "\n";
        std::remove(temporary.c_str());
        return 1;
    }
    return 0;
}
