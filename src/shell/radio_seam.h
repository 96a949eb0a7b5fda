#pragma once

#include <optional>

namespace petrel {

class Clock;
class Prompter;
class StatusLine;
struct ProgramState;

// What the desktop program asks of the radio link: the port scan at start-up and the two
// image transfers. The windows depend on this and nothing else of the link.
class RadioSeam {
  public:
    virtual ~RadioSeam() = default;

    // Builds PortList and PortCount; asks to detect again while no port opens.
    virtual void DetectPorts(ProgramState& state, Prompter& prompter) = 0;

    // Upload (op 0) or Download (op 1) of the document in activeSlot (0: none). Returns the
    // slot of the document an Upload opened.
    virtual std::optional<int> Transfer(ProgramState& state, int op, int activeSlot,
                                        Prompter& prompter, StatusLine& status, Clock& clock) = 0;
};

}  // namespace petrel
