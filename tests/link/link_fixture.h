#pragma once

// A radio link against the in-process simulated radio on a virtual clock.

#include <gtest/gtest.h>

#include <span>
#include <string>
#include <vector>

#include "core/link/link_trace.h"
#include "core/link/radio_link.h"
#include "core/model/workspace.h"
#include "simulated_ports.h"
#include "support/fakes.h"

namespace petrel::test {

class LinkTest : public ::testing::Test {
  protected:
    explicit LinkTest(sim::RadioMemory memory = sim::MakeRadio(9, 99, false))
        : radio(std::move(memory)) {
        ports.AttachRadio(1, radio);
        link.Frames().SetPorts({1});
    }

    // The parameter reads ("I pp ii") and writes ("O pp ii vv") the radio received since the
    // last call.
    std::vector<std::string> Params() {
        std::vector<std::string> traffic;
        for (const auto& frame : radio.Log()) {
            if (frame.kind == sim::FrameKind::ReadParam ||
                frame.kind == sim::FrameKind::WriteParam) {
                traffic.push_back(static_cast<char>(frame.request[0]) +
                                  (" " + HexBytes(std::span(frame.request).subspan(1))));
            }
        }
        radio.ClearLog();
        return traffic;
    }

    std::size_t CountFrames(sim::FrameKind kind) const {
        std::size_t n = 0;
        for (const auto& frame : radio.Log()) {
            n += frame.kind == kind;
        }
        return n;
    }

    VirtualClock clock;
    sim::RadioSimEngine radio;
    sim::SimulatedPorts ports{clock};
    Workspace workspace;
    ScriptedPrompter prompter;
    RecordingStatusLine status;
    RadioLink link{ports, clock, prompter, status};
    FrameLink& frames = link.Frames();
    ParamLink& params = link.Params();
    ImageLink& images = link.Images();
};

}  // namespace petrel::test
