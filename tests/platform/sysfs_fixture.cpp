#include "tests/platform/sysfs_fixture.h"

#include <fstream>

namespace fs = std::filesystem;

void SysfsTree::Touch(const fs::path& file)
{
    fs::create_directories(file.parent_path());
    std::ofstream(file) << "1\n";
}

void SysfsTree::UsbDevice(const std::string& folder)
{
    Touch(Root() / folder / "idVendor");
    Touch(Root() / folder / "idProduct");
}

void SysfsTree::Interface(const std::string& folder)
{
    Touch(Root() / folder / "bInterfaceNumber");
}

void SysfsTree::Event(const std::string& inputFolder, const std::string& name)
{
    fs::create_directories(Root() / inputFolder / name);
    fs::create_directories(Root() / "class/input");
    fs::create_directory_symlink(fs::path("../..") / inputFolder / name, Root() / "class/input" / name);
}

void SysfsTree::Hidraw(const std::string& hidDevice, const std::string& name)
{
    const fs::path node = Root() / hidDevice / "hidraw" / name;
    fs::create_directories(node);
    fs::create_directory_symlink("../..", node / "device");
    fs::create_directories(Root() / "class/hidraw");
    fs::create_directory_symlink(fs::path("../..") / hidDevice / "hidraw" / name,
                                 Root() / "class/hidraw" / name);
}
