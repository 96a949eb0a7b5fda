#pragma once

#include "core/model/authorization.h"
#include "core/model/workspace.h"
#include "core/shell/shell_model.h"

namespace petrel {

// The program-wide parts, created once by main() (and by each test). The main window hands
// each window only the part it works on, read-only where it only reads.
struct ProgramState {
    Workspace workspace;
    Authorization authorization;
    ShellState shell;
};

}  // namespace petrel
