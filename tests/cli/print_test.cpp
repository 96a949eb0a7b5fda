// petrel-cli print: the report as text and as a PDF, run as the program itself.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

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
    EXPECT_EQ(std::count(words.begin(), words.end(), "<page>"), 2);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"print", dir.File("taxi.cfg")},
          {"print", "--text", "--paper", "b5", dir.File("taxi.cfg")},
          {"print", "--text"}}) {
        EXPECT_EQ(cli::RunCli(args, out, err), cli::kExitUsage);
    }
}

// A PDF that cannot be written whole fails the command, and one that was there stays as it was.
TEST(CliPrint, APdfThatCannotBeWrittenFailsAndKeepsTheOldOne) {
    test::TempDir dir;
    std::ostringstream out;
    std::ostringstream err;
    ASSERT_EQ(
        cli::RunCli({"new", "--band", "9", "--channels", "16", dir.File("pmr.cfg")}, out, err), 0);
    const auto print = [&](const std::string& pdf) {
        const int status =
            std::system((std::string(PETREL_BINARY_DIR) + "/tools/cli/petrel-cli print --pdf " +
                         pdf + " " + dir.File("pmr.cfg") + " 2>" + dir.File("err.txt"))
                            .c_str());
        return std::pair{WEXITSTATUS(status), test::ReadText(dir.File("err.txt"))};
    };
    const std::string full = std::generic_category().message(ENOSPC);
    // A device of its own that takes nothing, as /dev/full: a program that put a plain file in
    // a device's place harms no one else's.
    const std::string device = dir.File("full.pdf");
    if (::mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 7)) == 0) {
        EXPECT_EQ(print(device),
                  std::pair(1, "petrel-cli: not printed: " + device + ": " + full + "\n"));
        EXPECT_TRUE(std::filesystem::is_character_file(device));
    }
    const test::SmallDisk disk(256);
    if (!disk.Mounted()) {
        GTEST_SKIP() << "a small disk cannot be mounted here";
    }
    const std::string pdf = disk.File("pmr.pdf");
    ASSERT_EQ(print(pdf).first, 0);
    const auto good = test::ReadBytes(pdf);
    disk.Fill();
    EXPECT_EQ(print(pdf), std::pair(1, "petrel-cli: not printed: " + pdf + ": " + full + "\n"));
    EXPECT_EQ(test::ReadBytes(pdf), good);
    // The PDF and the filler: nothing half-written is left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(disk.File("")), {}), 2);
}

}  // namespace
}  // namespace petrel
