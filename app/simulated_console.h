#pragma once
// The terminal of a simulated run: lines typed on standard input switch the simulated keyboard, "0"
// cable, "1" 2.4 GHz receiver, "2" Bluetooth, "u" unplug, and "q" closes the main window; each change of
// the connection the window shows is printed as a line. After each command the reader waits until what
// it set off is shown, so that the output follows the input. The end of the input ends only the reading.

#include <atomic>
#include <functional>
#include <ostream>
#include <thread>

class KeyboardDlg;
class SimulatedKeyboard;

class SimulatedConsole {
public:
    // `window` must be initialised; `input` is a file descriptor (standard input). The reader thread
    // starts at once.
    SimulatedConsole(KeyboardDlg& window, SimulatedKeyboard& keyboard, int input, std::ostream& output);
    // Stops the reader and waits for it.
    ~SimulatedConsole();
    SimulatedConsole(const SimulatedConsole&) = delete;
    SimulatedConsole& operator=(const SimulatedConsole&) = delete;

    // The line printed for a shown connection: its mode, or -1 for none.
    static std::string Describe(const std::wstring& model, int mode);

private:
    void Read();
    void Run(const std::string& command);
    // Waits (at most a few seconds) until the UI thread and the worker have nothing left of the command.
    void Settle();

    KeyboardDlg& m_window;
    SimulatedKeyboard& m_keyboard;
    int m_input;
    std::ostream& m_output;
    int m_stop[2] = {-1, -1};
    std::thread m_reader;
};
