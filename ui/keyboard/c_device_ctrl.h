#pragma once
// CDeviceCtrl ("CDeviceCtrl"): the home page's list of keyboard models, one row per model in its
// connection state: connected rows first (frame 1 of the control's picture behind the name, in the text
// colour), then the listed but not connected ones (frame 0, grey name). Models in state 0 are not shown;
// nothing is shown while no model is connected.
//
//   move over a shown row → it is hovered (hand cursor); elsewhere none (arrow)
//   left press on a row   → it becomes the current model; notification 1 (wParam = its index)

#include <mutex>
#include <vector>

#include "ui/framework/m_control_font.h"

class CDeviceCtrl : public MControlFont {
public:
    static constexpr unsigned kNotifyPress = 1;
    static constexpr int kRowHeight = 38;
    static constexpr int kDefaultRowPitch = 50;
    static constexpr int kCorner = 12;
    static constexpr ARGB kListedText = 0xFF808080;
    // Connection states.
    static constexpr int kHidden = 0;
    static constexpr int kConnected = 1;
    static constexpr int kListed = 2;

    CDeviceCtrl(MObject* parent, unsigned id, CRect rect, int visible, int enabled);

    // --- MControl ---
    void DrawControl(HDC& hdc, CRect clip) override;
    void SetControlRect(CRect rect) override;
    int OnControlSetCursor(unsigned flags, CPoint point) override;
    int OnControlMouseMove(unsigned flags, CPoint point) override;
    int OnControlLButtonDown(unsigned flags, CPoint point) override;

    // Appends a model: state 2 when listed, else 0. No repaint request.
    void AddDevice(CString name, int vendorId, int productId, int type, bool listed);
    // The first model of that type takes the state; a nonzero state makes it the current one.
    void SetDeviceState(int type, int state);
    // Every model to state 0; the current one stays current.
    void ResetAllState();
    // The current model's type; 0 without one or while nothing is connected.
    int GetCurDeviceType() const;
    int GetConnectCount() const { return m_connected; }
    void ClearList();

    int GetDeviceCount() const;
    // −1 out of range.
    int GetDeviceState(int index) const;
    int GetCurDevice() const { return m_current; }
    int GetHotDevice() const { return m_hot; }
    // Where a model's row is shown (the control's own coordinates space, as its rectangle); empty when
    // it is not shown.
    CRect GetDeviceRect(int index) const;
    void SetRowPitch(int pitch);

private:
    struct Device {
        CString name;
        int vendorId = 0;
        int productId = 0;
        int type = 0;
        int state = kHidden;
        bool listed = false;
        CRect row; // where it is shown, empty when it is not
    };
    // Recounts the connected models and places the shown rows.
    void Relayout();
    int RowAt(CPoint point) const;

    mutable std::recursive_mutex m_lock;
    std::vector<Device> m_devices;
    int m_connected = 0;
    int m_hot = -1;
    int m_current = -1;
    int m_rowPitch = kDefaultRowPitch;
};
