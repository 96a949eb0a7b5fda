#include "shell/link_radio.h"

#include "link/port_scan.h"
#include "link/termios_serial_port.h"
#include "ports/prompter.h"

namespace petrel {

LinkRadio::LinkRadio(std::vector<std::string> devices)
    : port_(std::make_unique<TermiosSerialPort>(std::move(devices))) {}

LinkRadio::~LinkRadio() = default;

void LinkRadio::DetectPorts(ProgramState& state, Prompter& prompter) {
    DetectRS(state, *port_, prompter);
}

std::optional<int> LinkRadio::Transfer(ProgramState&, int, int, Prompter& prompter, StatusLine&,
                                       Clock&) {
    prompter.Tell("Reading and writing the radio is not available in this build yet.");
    return std::nullopt;
}

}  // namespace petrel
