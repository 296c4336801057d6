// The busy cursor while the window works, restored however the work ends.
#pragma once

#include "shell/form_controls.h"

namespace korvel {

class BusyCursor {
public:
    explicit BusyCursor(FormControls &controls) : controls(controls) { controls.SetBusyCursor(true); }
    ~BusyCursor() { controls.SetBusyCursor(false); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;

private:
    FormControls &controls;
};

}  // namespace korvel
