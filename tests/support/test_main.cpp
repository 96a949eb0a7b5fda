#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <locale>

#include "support/fakes.h"

// Every test binary runs under the locale of its environment, as the programs do. With
// PETREL_EXPECT_COMMA_LOCALE set, the run is only valid when that locale really writes
// decimals with a comma: otherwise it fails instead of passing without proving anything.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    petrel::test::reportUnexpected = [](const std::string& what) { ADD_FAILURE() << what; };
    const char* applied = std::setlocale(LC_ALL, "");
    if (std::getenv("PETREL_EXPECT_COMMA_LOCALE") != nullptr) {
        const std::lconv* conventions = std::localeconv();
        if (applied == nullptr || std::strcmp(conventions->decimal_point, ",") != 0) {
            std::cerr << "The comma-decimal locale is not available (run scripts/setup).\n";
            return 1;
        }
        std::locale::global(std::locale(""));
    }
    return RUN_ALL_TESTS();
}
