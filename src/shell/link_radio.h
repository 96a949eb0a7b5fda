#pragma once

#include <memory>
#include <string>
#include <vector>

#include "shell/radio_seam.h"

namespace petrel {

class SerialPort;

// The radio seam over the real link: a serial port on the devices behind COM1..COM8.
class LinkRadio : public RadioSeam {
public:
    explicit LinkRadio(std::vector<std::string> devices);
    ~LinkRadio() override;

    void DetectPorts(ProgramState& state, Prompter& prompter) override;
    std::optional<int> Transfer(ProgramState& state, int op, int activeSlot, Prompter& prompter,
                                StatusLine& status, Clock& clock) override;

private:
    std::unique_ptr<SerialPort> port_;
};

}  // namespace petrel
