#include "support/golden.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "support/temp_dir.h"

namespace petrel::test {

namespace {

std::string PathOf(const std::string& name) {
    return (std::filesystem::path(PETREL_TESTS_DIR) / name).string();
}

std::string Line(const std::string& text, std::size_t index) {
    std::istringstream in(text);
    std::string line;
    for (std::size_t i = 0; i <= index && std::getline(in, line); ++i) {
    }
    return line;
}

}  // namespace

std::string DataText(const std::string& name) {
    return ReadText(PathOf(name));
}

::testing::AssertionResult MatchesGolden(const std::string& actual, const std::string& name) {
    if (std::getenv("PETREL_UPDATE_GOLDEN") != nullptr) {
        WriteBytes(PathOf(name), {actual.begin(), actual.end()});
        return ::testing::AssertionFailure() << "wrote " << name << "; review it with git diff";
    }
    const std::string expected = DataText(name);
    if (actual == expected) {
        return ::testing::AssertionSuccess();
    }
    // Name the first line that differs.
    const std::size_t at =
        std::mismatch(actual.begin(), actual.end(), expected.begin(), expected.end()).first -
        actual.begin();
    const auto line =
        static_cast<std::size_t>(std::count(actual.begin(), actual.begin() + at, '\n'));
    return ::testing::AssertionFailure()
           << name << ", line " << line + 1 << ":\n  expected \"" << Line(expected, line)
           << "\"\n  got      \"" << Line(actual, line) << "\"";
}

::testing::AssertionResult MatchesTranscript(
    const std::string& name, const std::function<std::string(const std::string&)>& outputOf) {
    std::istringstream in(DataText(name));
    std::string transcript;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && !line.starts_with('#')) {
            line = line.substr(0, line.find(" -> "));
            line += " -> " + outputOf(line);
        }
        transcript += line + '\n';
    }
    return MatchesGolden(transcript, name);
}

std::string Unquoted(const std::string& text) {
    const auto first = text.find('"');
    const auto last = text.rfind('"');
    return first == last ? text : text.substr(first + 1, last - first - 1);
}

}  // namespace petrel::test
