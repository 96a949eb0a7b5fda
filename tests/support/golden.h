#pragma once

#include <gtest/gtest.h>

#include <string>

namespace petrel::test {

// Long expected outputs live as plain text under tests/<folder>/data/. A run with
// PETREL_UPDATE_GOLDEN=1 writes what it produced over them instead (and fails, so that such a
// run never passes unnoticed): review the change with git diff before committing it.
::testing::AssertionResult MatchesGolden(const std::string& actual, const std::string& name);

// A data file's text, by its name under tests/.
std::string DataText(const std::string& name);

}  // namespace petrel::test
