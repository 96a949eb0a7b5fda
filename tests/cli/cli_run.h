#pragma once

// Runs petrel-cli's commands in-process and against petrel-radio-sim on a pseudo-terminal.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "cli.h"
#include "core/document/config_file.h"
#include "core/document/new_config.h"
#include "core/model/workspace.h"
#include "sim_process.h"
#include "support/fakes.h"
#include "support/temp_dir.h"

namespace petrel::test {

using Args = std::vector<std::string>;

struct CliRun {
    int exit;
    std::string out;
    std::string err;
    bool Said(const std::string& text) const { return err.find(text) != std::string::npos; }
};

inline CliRun Cli(const Args& args, const cli::CliEnvironment& environment = {}) {
    std::ostringstream out;
    std::ostringstream err;
    const int exit = cli::RunCli(args, out, err, environment);
    return {exit, out.str(), err.str()};
}

inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

// Saves a new configuration of band and channels, as a radio of that size would hold it, with
// the serial number given.
inline std::string SaveNewConfig(const std::string& path, int band, int channels,
                                 const std::string& serial = {}) {
    Workspace workspace;
    const int slot = BuildNewConfiguration(workspace, band, channels);
    std::copy(serial.begin(), serial.end(), workspace.At(slot).info.InfoWords.begin() + 0xD1);
    ScriptedPrompter prompter;
    EXPECT_TRUE(SaveConfigFile(workspace, slot, path, prompter));
    return path;
}

// A temporary folder, and a simulated radio whose port the radio commands are given.
class CliRadioFixture : public ::testing::Test {
  protected:
    void StartSim(const Args& args, const std::string& log = "/dev/null") {
        sim = std::make_unique<sim::SimProcess>(
            std::string(PETREL_BINARY_DIR) + "/tools/radio-sim/petrel-radio-sim", args, log);
    }
    CliRun RadioCli(Args args) {
        args.insert(args.begin() + 1, {"--port", sim->Device()});
        return Cli(args, environment);
    }

    TempDir dir;
    cli::CliEnvironment environment;
    std::unique_ptr<sim::SimProcess> sim;
};

}  // namespace petrel::test
