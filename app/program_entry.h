#pragma once
// The program's entry, in the order a start goes through:
//   1. the device name from config.xml (it names everything that follows);
//   2. one running copy per device name: a second start brings the first one's window back (shown,
//      restored, raised, also from the tray) and ends with 0;
//   3. the language (English at every start), the program's resources, the data folder with "db";
//   4. the main window, 1280 × 720, centred, run modally: its loop is the program's message loop.
// Raising the process's privileges and starting GDI+, COM or OLE have no counterpart here.
//
// Exit status: 0 after a normal run (the window closed, or handed over to a running copy), 1 when the
// program could not run (no display, a screenshot that could not be written), 2 for a bad command line.
// The exit paths of the main window end the process with 0 on their own.

#include <string>
#include <vector>

// `command`: the name the program was started by (CommandName), for --help and messages.
int RunProgram(const std::string& command, const std::vector<std::string>& arguments);
