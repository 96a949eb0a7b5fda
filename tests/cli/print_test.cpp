// petrel-cli print: the report as text and as a PDF, run as the program itself.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "cli.h"
#include "support/temp_dir.h"

namespace petrel {
namespace {

const std::string kCli = std::string(PETREL_BINARY_DIR) + "/tools/cli/petrel-cli";

std::string ReadText(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The words of each line, page breaks kept; blank lines and rules (which a PDF reader does
// not show as text) dropped.
std::vector<std::string> Words(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        for (std::size_t feed; (feed = line.find('\f')) != std::string::npos;) {
            lines.emplace_back("<page>");
            line.erase(feed, 1);
        }
        std::istringstream words(line);
        std::string joined;
        for (std::string word; words >> word;) {
            joined += (joined.empty() ? "" : " ") + word;
        }
        if (!joined.empty() && joined.find_first_not_of('-') != std::string::npos) {
            lines.push_back(joined);
        }
    }
    return lines;
}

TEST(CliPrint, TheTextAndThePdfHoldTheSameReport) {
    test::TempDir dir;
    std::ostringstream out;
    std::ostringstream err;
    ASSERT_EQ(
        cli::RunCli({"new", "--band", "11", "--channels", "99", dir.File("taxi.cfg")}, out, err),
        0);
    const std::string command = kCli + " print --text --pdf " + dir.File("taxi.pdf") + " " +
                                dir.File("taxi.cfg") + " >" + dir.File("taxi.txt") + " 2>" +
                                dir.File("err.txt") + " && pdftotext -layout " +
                                dir.File("taxi.pdf") + " " + dir.File("pdf.txt");
    ASSERT_EQ(std::system(command.c_str()), 0) << ReadText(dir.File("err.txt"));
    EXPECT_EQ(ReadText(dir.File("err.txt")), "");

    const std::string text = ReadText(dir.File("taxi.txt"));
    const std::vector<std::string> words = Words(text);
    EXPECT_EQ(words, Words(ReadText(dir.File("pdf.txt"))));
    EXPECT_EQ(std::count(words.begin(), words.end(), "<page>"), 3);
    // Each channel one blank in, its options under their titles.
    for (const char* line :
         {"\n CH   Rx Freq.  Rx_CTCSS/DCS   Tx Freq.  Tx_CTCSS/DCS  CH SPACE RF_PWR BCLO SCAN "
          "SHIFT\n",
          "\n 1   462.000000  000=  None   462.000000  000=  None      12.5K   L    OFF   OFF  "
          "OFF\n"}) {
        EXPECT_NE(text.find(line), std::string::npos) << line;
    }

    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"print", dir.File("taxi.cfg")},
          {"print", "--text", "--paper", "b5", dir.File("taxi.cfg")},
          {"print", "--text"}}) {
        EXPECT_EQ(cli::RunCli(args, out, err), cli::kExitUsage);
    }
}

}  // namespace
}  // namespace petrel
