#include "platform/linux/MouseButtonsChain.h"

#include "platform/linux/DesktopSession.h"
#include "platform/linux/KernelMouseButtons.h"
#include "platform/linux/LinuxMouseButtons.h"

std::unique_ptr<MouseButtons> MouseButtons::create() {
    DesktopSession::logBackendsOnce();
    std::vector<std::unique_ptr<MouseButtons>> sources;
    // Under Wayland the X server (Xwayland) sees only the clicks on its own windows.
    if (!DesktopSession::isWayland())
        sources.push_back(std::make_unique<LinuxMouseButtons>());
    sources.push_back(std::make_unique<KernelMouseButtons>());
    return std::make_unique<MouseButtonsChain>(std::move(sources));
}

MouseButtonsChain::MouseButtonsChain(std::vector<std::unique_ptr<MouseButtons>> sources, QObject* parent)
    : MouseButtons(parent), m_sources(std::move(sources)) {}

bool MouseButtonsChain::start() {
    if (m_active)
        return true;
    for (const auto& source : m_sources) {
        if (source->start()) {
            m_active = source.get();
            connect(m_active, &MouseButtons::mouseMessage, this, &MouseButtons::mouseMessage);
            return true;
        }
    }
    return false;
}
