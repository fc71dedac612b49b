#pragma once

#include "platform/MouseButtons.h"

#include <memory>
#include <vector>

// Several sources of mouse buttons in the order of preference: start() starts the first one
// that can, and its messages become this object's.
class MouseButtonsChain : public MouseButtons {
    Q_OBJECT
public:
    explicit MouseButtonsChain(std::vector<std::unique_ptr<MouseButtons>> sources, QObject* parent = nullptr);

    bool start() override;
    // The source that delivers, or none before a successful start.
    MouseButtons* active() const { return m_active; }

private:
    std::vector<std::unique_ptr<MouseButtons>> m_sources;
    MouseButtons* m_active = nullptr;
};
