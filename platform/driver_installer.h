#pragma once
// Gives this user access to what the software keys need: /dev/uinput and the keyboard's input event
// nodes. On Linux that is a udev rule and the uinput module, installed with administrator rights
// (platform/linux); asking the user first is the caller's business.

class DriverInstaller {
public:
    virtual ~DriverInstaller() = default;

    // True when the rule was installed and applied to the devices present.
    virtual bool Install() = 0;
};
