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
    EXPECT_EQ(std::count(words.begin(), words.end(), "<page>"), 3);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"print", dir.File("taxi.cfg")},
          {"print", "--text", "--paper", "b5", dir.File("taxi.cfg")},
          {"print", "--text"}}) {
        EXPECT_EQ(cli::RunCli(args, out, err), cli::kExitUsage);
    }
}

// A PDF that cannot be written whole fails the command, and one that was there stays as it was.
class CliPdfTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::ostringstream out;
        std::ostringstream err;
        ASSERT_EQ(cli::RunCli({"new", "--band", "9", "--channels", "16", config}, out, err), 0);
    }
    // The exit status of petrel-cli print --pdf pdf; what it said is in err.
    int PrintPdf(const std::string& pdf) {
        const std::string command = std::string(PETREL_BINARY_DIR) +
                                    "/tools/cli/petrel-cli print --pdf " + pdf + " " + config +
                                    " 2>" + dir.File("err.txt");
        const int status = std::system(command.c_str());
        err = test::ReadText(dir.File("err.txt"));
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    test::TempDir dir;
    std::string config = dir.File("pmr.cfg");
    std::string err;
    std::string full = std::generic_category().message(ENOSPC);
};

TEST_F(CliPdfTest, ADeviceThatTakesNothingFailsThePrint) {
    // A device of its own that answers every write with a full disk, as /dev/full does: a
    // program that replaced a device by a plain file would not harm the system's.
    const std::string device = dir.File("full.pdf");
    if (::mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 7)) != 0) {
        GTEST_SKIP() << "no device can be made here";
    }
    EXPECT_EQ(PrintPdf(device), 1);
    EXPECT_EQ(err, "petrel-cli: not printed: " + device + ": " + full + "\n");
    struct stat info {};
    EXPECT_TRUE(::stat(device.c_str(), &info) == 0 && S_ISCHR(info.st_mode));
}

TEST_F(CliPdfTest, OnAFullDiskTheOldPdfStays) {
    const test::SmallDisk disk(256);
    if (!disk.Mounted()) {
        GTEST_SKIP() << "a small disk cannot be mounted here";
    }
    const std::string pdf = disk.File("pmr.pdf");
    ASSERT_EQ(PrintPdf(pdf), 0) << err;
    const auto good = test::ReadBytes(pdf);
    disk.Fill();
    EXPECT_EQ(PrintPdf(pdf), 1);
    EXPECT_EQ(err, "petrel-cli: not printed: " + pdf + ": " + full + "\n");
    EXPECT_EQ(test::ReadBytes(pdf), good);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(disk.File("")),
                            std::filesystem::directory_iterator()),
              2);  // the PDF and the filler: nothing half-written left behind
}

}  // namespace
}  // namespace petrel
