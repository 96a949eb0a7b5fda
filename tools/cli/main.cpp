#include <clocale>
#include <iostream>
#include <string>
#include <vector>

#include "cli.h"

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    return petrel::cli::RunCli(std::vector<std::string>(argv + 1, argv + argc), std::cout,
                               std::cerr);
}
