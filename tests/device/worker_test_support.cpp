#include "tests/device/worker_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/folders.h"

void RecordingMacroPlayer::PlayMacro(int macroId)
{
    if (whilePlaying)
        whilePlaying(macroId);
    std::lock_guard lock(m_lock);
    m_played.push_back(macroId);
}

std::vector<int> RecordingMacroPlayer::Played() const
{
    std::lock_guard lock(m_lock);
    return m_played;
}

void HookedClock::SleepFor(Duration duration)
{
    ManualMonotonicClock::SleepFor(duration);
    if (afterPause)
        afterPause(Elapsed());
}

WorkerRig::WorkerRig(int deviceType)
{
    description = LoadDeviceDescription(Utf8ToWide((BuildBinDir() / "config.xml").string()));
    for (const KnownDeviceRow& row : description.KnownDeviceRows())
        manager.AddKnownDevice(row.vendorId, row.productId, row.productName, row.deviceType, row.modeValue,
                               row.interfacePattern);
    const CString dataFolder = DataFolder(L"Torvik");
    CreateFolderTree(dataFolder + L"db");
    selection = std::make_unique<KeyboardModelSelection>(
        description, database, view, Utf8ToWide(BuildBinDir().string()) + L"/", dataFolder);
    selection->SelectDeviceType(deviceType);
    view.selection = selection.get();
    worker =
        std::make_unique<DeviceWorker>(manager, protocol, *selection, description.modes, view, player, clock);
    Announce();
    ui.Drain();
    view.ClearCalls();
}

WorkerRig::~WorkerRig()
{
    sim.Stop();
    worker->Stop();
    worker->Join();
    ui.Drain();
}

void WorkerRig::Announce()
{
    // As the program wires it: the system's announcements reach the worker through the UI thread.
    sim.Start(
        [this](const HidDeviceEvent& event) { ui.Post([this, event] { worker->OnDeviceEvent(event); }); });
}

void WorkerRig::ConnectUnannounced(SimulatedKeyboard& keyboard, int mode)
{
    sim.Stop();
    keyboard.Connect(mode);
    Announce();
}

SimulatedKeyboard& WorkerRig::AddKeyboard(int deviceType)
{
    return sim.AddKeyboard(SimulatedModel::FromKnownDevices(description.KnownDeviceRows(), deviceType));
}

void WorkerRig::RunUntilIdle(int maxSteps)
{
    for (int step = 0; step < maxSteps; ++step) {
        ui.Drain();
        if (worker->QueuedTasks().empty())
            return;
        worker->Step();
    }
    ADD_FAILURE() << "the worker still has tasks after " << maxSteps << " steps";
}
