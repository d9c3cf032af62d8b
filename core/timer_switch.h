// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Switches the link timer on and off.
class TimerSwitch {
public:
    virtual ~TimerSwitch() = default;
    virtual void setEnabled(bool enabled) = 0;
    virtual bool isEnabled() const = 0;
};
