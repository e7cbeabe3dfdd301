#include "device/keyboard_model_selection.h"

#include "device/device_description.h"
#include "store/profile_database.h"

std::vector<KeyboardView> ViewsSelectedBy(int featureFlags)
{
    std::vector<KeyboardView> views;
    if (featureFlags & kFeatureCustomKeys)
        views.push_back(KeyboardView::CustomKey);
    if (featureFlags & kFeatureLighting)
        views.push_back(KeyboardView::Lighting);
    if (featureFlags & kFeatureSettingsView)
        views.push_back(KeyboardView::Settings);
    return views;
}

KeyboardModelSelection::KeyboardModelSelection(const DeviceDescription& description,
                                               ProfileDatabase& database, ModelSelectionView& view,
                                               CString appFolder, CString dataFolder)
    : m_description(description), m_database(database), m_view(view), m_appFolder(std::move(appFolder)),
      m_dataFolder(std::move(dataFolder)), m_layout(std::make_shared<const KeyboardLayout>())
{
}

void KeyboardModelSelection::SelectDeviceType(int deviceType)
{
    std::lock_guard selecting(m_selectLock);
    KeyboardLayout layout = *Layout();
    layout.firmware.url.clear();

    const DeviceRecord* model = m_description.FindModel(deviceType);
    const CString layoutName = model ? model->layoutName : CString();
    layout.deviceType = deviceType;
    layout.modelName = model ? model->name : CString();

    m_database.Close();
    m_database.OpenForDevice(m_dataFolder, layout.modelName);

    const std::optional<LayoutFile> file =
        ReadLayoutFile(FormatText(L"%slayouts\\%s.xml", m_appFolder.c_str(), layoutName.c_str()));
    if (file)
        layout.Apply(*file);
    Publish(layout);
    if (file)
        UpdateView(*file, layout);
}

bool KeyboardModelSelection::SelectDeviceTypeIfChanged(int deviceType)
{
    if (Layout()->deviceType == deviceType)
        return false;
    SelectDeviceType(deviceType);
    return true;
}

std::shared_ptr<const KeyboardLayout> KeyboardModelSelection::Layout() const
{
    std::lock_guard lock(m_lock);
    return m_layout;
}

void KeyboardModelSelection::SetFeatureFlags(int featureFlags)
{
    std::lock_guard selecting(m_selectLock);
    KeyboardLayout layout = *Layout();
    layout.featureFlags = featureFlags;
    Publish(std::move(layout));
}

void KeyboardModelSelection::Publish(KeyboardLayout layout)
{
    auto next = std::make_shared<const KeyboardLayout>(std::move(layout));
    std::lock_guard lock(m_lock);
    m_layout = std::move(next);
}

void KeyboardModelSelection::UpdateView(const LayoutFile& file, const KeyboardLayout& layout)
{
    const int flags = layout.featureFlags;
    if (file.menu) {
        m_view.SetTabItemVisible(1, flags & kFeatureCustomKeys);
        m_view.SetTabItemVisible(2, flags & kFeatureMacros);
        m_view.SetTabItemVisible(3, flags & kFeatureLighting);
    }
    if (file.firmware)
        m_view.ShowFirmwareUpdate(!layout.firmware.version.empty() && !layout.firmware.file.empty());
    if (file.light)
        m_view.SetLightingMaxima(layout.lighting.brightnessMax, layout.lighting.speedMax);

    const std::vector<KeyboardView> views = ViewsSelectedBy(flags);
    for (KeyboardView view : views)
        m_view.ClearKeyboardView(view);
    if (file.keyboard) {
        const KeyboardGeometry& geometry = *file.keyboard;
        for (KeyboardView view : views)
            m_view.PlaceKeyboardView(view, geometry.ViewRect(), L"keyboard\\" + geometry.image,
                                     geometry.width, geometry.height);
    }
    for (const LayoutKeyItem& key : layout.keyItems) {
        for (KeyboardView view : views)
            m_view.AddKeyItem(view, key);
    }
}
