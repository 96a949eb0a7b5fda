#include <unistd.h>

#include <clocale>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "cli.h"

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    petrel::cli::CliEnvironment environment;
    if (const char* ports = std::getenv("PETREL_PORTS")) {
        environment.ports = ports;
    }
    environment.errIsTerminal = ::isatty(STDERR_FILENO) == 1;
    return petrel::cli::RunCli(std::vector<std::string>(argv + 1, argv + argc), std::cout,
                               std::cerr, environment);
}
