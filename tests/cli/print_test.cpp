// petrel-cli print: the report as text and as a PDF, run as the program itself.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "cli.h"
#include "support/temp_dir.h"

namespace petrel {
namespace {

// The words of a report and its page breaks in order; rules (which a PDF reader does not show as
// text) left out.
std::vector<std::string> Words(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    std::string spaced;
    for (const char c : text.str()) {
        spaced += c == '\f' ? std::string(" <page> ") : std::string(1, c);
    }
    std::vector<std::string> words;
    std::istringstream split(spaced);
    for (std::string word; split >> word;) {
        if (word.find_first_not_of('-') != std::string::npos) {
            words.push_back(word);
        }
    }
    return words;
}

TEST(CliPrint, TheTextAndThePdfHoldTheSameReport) {
    test::TempDir dir;
    std::ostringstream out;
    std::ostringstream err;
    ASSERT_EQ(
        cli::RunCli({"new", "--band", "11", "--channels", "99", dir.File("taxi.cfg")}, out, err),
        0);
    const std::string command = std::string(PETREL_BINARY_DIR) + "/tools/cli/petrel-cli print " +
                                "--text --pdf " + dir.File("taxi.pdf") + " " +
                                dir.File("taxi.cfg") + " >" + dir.File("taxi.txt") + " 2>" +
                                dir.File("err.txt") + " && pdftotext -layout " +
                                dir.File("taxi.pdf") + " " + dir.File("pdf.txt");
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(test::ReadBytes(dir.File("err.txt")).size(), 0u);
    const auto words = Words(dir.File("taxi.txt"));
    EXPECT_EQ(words, Words(dir.File("pdf.txt")));
    EXPECT_EQ(std::count(words.begin(), words.end(), "<page>"), 3);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"print", dir.File("taxi.cfg")},
          {"print", "--text", "--paper", "b5", dir.File("taxi.cfg")},
          {"print", "--text"}}) {
        EXPECT_EQ(cli::RunCli(args, out, err), cli::kExitUsage);
    }
}

}  // namespace
}  // namespace petrel
