#pragma once
// The current profile and Fn layer: whose assignments the keyboard view shows and the key filter carries
// out. One place for the custom key page, the profile list and the device worker (which reads it on its
// own thread for the key map download and the software keys).

#include <atomic>

class ProfileState {
public:
    // The program reads and writes Fn layer 0 only.
    static constexpr int kFnLayer = 0;
    static constexpr int kFirstProfile = 1;

    int Profile() const { return m_profile.load(); }
    void SetProfile(int profile) { m_profile.store(profile); }
    int FnLayer() const { return kFnLayer; }

private:
    std::atomic<int> m_profile{kFirstProfile};
};
