#pragma once
// `Torvik --simulate` until the main window exists: the device worker against the keyboard simulator,
// with an in-memory main window whose connection state is printed as it changes. Lines read from
// `input` switch the simulated keyboard: "0" cable, "1" 2.4 GHz receiver, "2" Bluetooth, "u" unplug,
// "q" (or the end of input) quits. The profile database lives in a temporary folder for the run.
//
// FIXME: the main window replaces this console (with --simulate[=MODEL] and a screenshot option).

#include <istream>
#include <ostream>

// The start-up model (type 201) plugged in by cable when the run starts. 0 after a clean end.
int RunSimulatedConsole(std::istream& input, std::ostream& output);
