#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace petrel::test {

// Long expected outputs live as plain text under tests/<folder>/data/. A run with
// PETREL_UPDATE_GOLDEN=1 writes what it produced over them instead (and fails, so that such a
// run never passes unnoticed): review the change with git diff before committing it.
::testing::AssertionResult MatchesGolden(const std::string& actual, const std::string& name);

// A table kept as a transcript under tests/: a line "input -> output" per case, "#" lines and
// empty lines as they are. Each input's output is computed again (a line without " -> " is an
// input still without output); the transcript so made must be the file, as for MatchesGolden.
::testing::AssertionResult MatchesTranscript(
    const std::string& name, const std::function<std::string(const std::string&)>& outputOf);

// The text between the first and the last double quote, where blanks count: "\" 7 \"" is " 7 ".
std::string Unquoted(const std::string& text);

// A data file's text, by its name under tests/.
std::string DataText(const std::string& name);

}  // namespace petrel::test
