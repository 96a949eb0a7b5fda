#include "cli.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "document/config_file.h"
#include "support/temp_dir.h"

namespace petrel {
namespace {

namespace fs = std::filesystem;

struct CliRun {
    int exit;
    std::string out;
    std::string err;
};

CliRun Cli(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    const int exit = cli::RunCli(args, out, err);
    return {exit, out.str(), err.str()};
}

class CliTest : public ::testing::Test {
  protected:
    test::TempDir dir;
    test::ScopedWorkingDir cwd{dir.Path()};
};

TEST_F(CliTest, NewThenShowPrintsTheEditorsView) {
    const std::string name = dir.File("pmr.cfg");
    const CliRun created = Cli({"new", "--band", "9", "--channels", "16", name});
    ASSERT_EQ(created.exit, 0) << created.err;
    EXPECT_EQ(test::ReadBytes(name).size(), 675u);
    EXPECT_EQ(test::ReadBytes(dir.File("pmr.ptx")).size(), 1024u);

    const CliRun shown = Cli({"show", name});
    ASSERT_EQ(shown.exit, 0) << shown.err;
    std::string expected =
        "Model:Petrel (PMR)\n"
        "Range:446.00625 ~ 446.09375MHz\n"
        "Serial No:\n"
        "Customer:\n"
        " CH   Rx Freq.  Rx_CTCSS/DCS   Tx Freq.  Tx_CTCSS/DCS \n"
        "1   446.006250  000=  None   446.006250  000=  None   \n";
    EXPECT_EQ(shown.out.substr(0, expected.size()), expected);
    EXPECT_NE(shown.out.find("\n16  NONE        000=  None   NONE        000=  None   \n"),
              std::string::npos);
    EXPECT_TRUE(shown.out.ends_with("\nALL Channels In Range\n"));
}

TEST_F(CliTest, ShowOfAnEmptyListPrintsNoCheckMessage) {
    const std::string name = dir.File("empty.cfg");
    ASSERT_EQ(Cli({"new", "--band", "12", "--channels", "3", name}).exit, 0);
    const CliRun shown = Cli({"show", name});
    EXPECT_TRUE(shown.out.ends_with("3   NONE        000=  None   NONE        000=  None   \n"));
}

TEST_F(CliTest, ResaveWritesTheSameBytesUnderTheNewName) {
    ASSERT_EQ(Cli({"new", "--channels", "99", "--band", "10", dir.File("a.cfg")}).exit, 0);
    fs::create_directory(dir.Path() / "out");
    const CliRun resaved = Cli({"resave", dir.File("a.cfg"), dir.File("out/b.cfg")});
    ASSERT_EQ(resaved.exit, 0) << resaved.err;
    EXPECT_EQ(test::ReadBytes(dir.File("out/b.cfg")), test::ReadBytes(dir.File("a.cfg")));
    EXPECT_EQ(test::ReadBytes(dir.File("out/b.ptx")), test::ReadBytes(dir.File("a.ptx")));
    EXPECT_EQ(test::ReadBytes(dir.File("a.cfg")).size(), 2667u);
}

TEST_F(CliTest, RefusedFilesPrintTheirMessageAndExit1) {
    test::WriteBytes(dir.File("big.cfg"), std::vector<std::uint8_t>(5001, 0));
    ImageBuf image(225, 0);
    image[0x10] = 0x13;
    test::WriteBytes(dir.File("model.cfg"), EncodeConfigFile(image));

    const CliRun big = Cli({"show", dir.File("big.cfg")});
    EXPECT_EQ(big.exit, 1);
    EXPECT_EQ(big.err, "File is too big to open\n");
    const CliRun missing = Cli({"show", "nothing.cfg"});
    EXPECT_EQ(missing.exit, 1);
    EXPECT_EQ(missing.err, "Can't open file: nothing.cfg\n");
    const CliRun model = Cli({"resave", dir.File("model.cfg"), dir.File("x.cfg")});
    EXPECT_EQ(model.exit, 1);
    EXPECT_EQ(model.err, "Model or Type Error!  Can not Open  " + dir.File("model.cfg") + "\n");
    EXPECT_FALSE(fs::exists(dir.File("x.cfg")));
    EXPECT_TRUE(big.out.empty());
}

TEST_F(CliTest, UsageErrorsExit2WithTheUsage) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{},
          {"frobnicate"},
          {"show"},
          {"show", "a", "b"},
          {"new", "--band", "9", "x.cfg"},
          {"new", "--band", "13", "--channels", "16", "x.cfg"},
          {"new", "--band", "9", "--channels", "100", "x.cfg"},
          {"new", "--band", "9", "--channels", "1.5", "x.cfg"},
          {"new", "--band"}}) {
        const CliRun run = Cli(args);
        EXPECT_EQ(run.exit, 2);
        EXPECT_NE(run.err.find("usage: petrel-cli"), std::string::npos);
    }
    EXPECT_FALSE(fs::exists(dir.File("x.cfg")));
}

TEST_F(CliTest, ASaveThatFailsExits1) {
    const CliRun run =
        Cli({"new", "--band", "9", "--channels", "16", dir.File("no/such/dir/x.cfg")});
    EXPECT_EQ(run.exit, 1);
    EXPECT_FALSE(run.err.empty());
}

}  // namespace
}  // namespace petrel
