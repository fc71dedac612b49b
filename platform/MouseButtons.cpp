#include "platform/MouseButtons.h"

#include <atomic>

namespace {
// Written by the side-key thread, read by the settings dialog.
std::atomic<bool> accessDenied{false};
} // namespace

bool MouseButtons::deviceAccessDenied() {
    return accessDenied.load();
}

void MouseButtons::setDeviceAccessDenied(bool denied) {
    accessDenied.store(denied);
}
