#include <unistd.h>

#include <clocale>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "cli.h"
#include "link/link_trace.h"

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    petrel::cli::CliEnvironment environment;
    if (const char* ports = std::getenv("PETREL_PORTS")) {
        environment.ports = ports;
    }
    if (const char* trace = std::getenv(petrel::kTraceVariable); trace != nullptr && *trace != '\0') {
        environment.trace = trace;
    }
    environment.errIsTerminal = ::isatty(STDERR_FILENO) == 1;
    return petrel::cli::RunCli(std::vector<std::string>(argv + 1, argv + argc), std::cout,
                               std::cerr, environment);
}
