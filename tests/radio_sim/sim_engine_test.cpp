#include "sim_engine.h"

#include <gtest/gtest.h>

#include "document/config_file.h"
#include "support/temp_dir.h"

namespace petrel::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Exchange(RadioSimEngine& engine, const Bytes& request, std::int64_t atUs = 0) {
    engine.Receive(request, atUs);
    return engine.TakeOutput(atUs + 1'000'000);
}

TEST(RadioSimEngine, EchoesEveryByteThenAnswersEachFrame) {
    RadioMemory memory = MakeRadio(9, 99, false);
    memory.bytes[0x0400] = 0xA1;
    memory.bytes[0x0403] = 0xA4;
    memory.params[1][0xA4] = 0x5C;
    RadioSimEngine engine(memory);

    EXPECT_EQ(Exchange(engine, {'V'}), (Bytes{'V', 0x11}));
    EXPECT_EQ(Exchange(engine, {'I', 0x07}), (Bytes{'I', 0x07, 9}));
    EXPECT_EQ(Exchange(engine, {'R', 0x04, 0x00}), (Bytes{'R', 4, 0, 0xA1, 0xFF, 0xFF, 0xA4}));
    EXPECT_EQ(Exchange(engine, {'I', 0x01, 0xA4}), (Bytes{'I', 1, 0xA4, 0x5C}));
    EXPECT_EQ(Exchange(engine, {'W', 0x02, 0xFC, 1, 2, 3, 4}),
              (Bytes{'W', 2, 0xFC, 1, 2, 3, 4, 1, 2, 3, 4}));
    EXPECT_EQ(Exchange(engine, {'R', 0x02, 0xFC}), (Bytes{'R', 2, 0xFC, 1, 2, 3, 4}));
    EXPECT_EQ(Exchange(engine, {'O', 0x00, 0x8E, 0x41}), (Bytes{'O', 0, 0x8E, 0x41, 0x41}));
    EXPECT_EQ(engine.Memory().params[0][0x8E], 0x41);

    ASSERT_EQ(engine.Log().size(), 7u);
    EXPECT_EQ(engine.Log()[1].kind, FrameKind::Identify);
    EXPECT_EQ(engine.Log()[3].kind, FrameKind::ReadParam);
    EXPECT_EQ(DescribeFrame(engine.Log()[4]), "write: W 02 FC 01 02 03 04 -> 01 02 03 04");
}

TEST(RadioSimEngine, IgnoresStrayBytesAndAbandonsAStalledFrame) {
    RadioSimEngine engine(MakeRadio(9, 99, false));
    EXPECT_EQ(Exchange(engine, {0x00, 'x'}), (Bytes{0x00, 'x'}));  // echoed, not answered
    engine.Receive(Bytes{'R', 0x00}, 0);
    engine.TakeOutput(1'000'000);
    // The rest comes too late: the radio has given up on the first frame and takes a new one.
    EXPECT_EQ(Exchange(engine, {'V'}, 100'000), (Bytes{'V', 0x11}));
    EXPECT_EQ(engine.Log().size(), 1u);
}

TEST(RadioSimEngine, PacedBytesFollowEachOtherOnTheWire) {
    EngineOptions options;
    options.byteTimeUs = kByteTimeUs;
    options.answerDelayUs = 1'000;
    RadioSimEngine engine(MakeRadio(9, 99, false), options);
    engine.Receive(Bytes{'I'}, 0);
    engine.Receive(Bytes{0x07}, 2'000);  // handed over during the letter's time on the wire
    EXPECT_EQ(engine.NextOutputUs(), kByteTimeUs);
    EXPECT_EQ(engine.TakeOutput(kByteTimeUs), Bytes{'I'});
    EXPECT_EQ(engine.TakeOutput(2 * kByteTimeUs), Bytes{0x07});
    const std::int64_t answerAt = 2 * kByteTimeUs + 1'000 + kByteTimeUs;
    EXPECT_EQ(engine.NextOutputUs(), answerAt);
    EXPECT_TRUE(engine.TakeOutput(answerAt - 1).empty());
    EXPECT_EQ(engine.TakeOutput(answerAt), Bytes{9});
    EXPECT_FALSE(engine.NextOutputUs());
}

TEST(RadioSimEngine, FaultsSpoilTheChosenFramesOnly) {
    RadioSimEngine engine(MakeRadio(9, 99, false));
    engine.AddFault({FaultKind::Drop, FrameKind::ReadBlock, 1, 1});
    engine.AddFault({FaultKind::Short, FrameKind::Identify, 0, 1});
    engine.AddFault({FaultKind::Long, FrameKind::ReadParam, 0, -1});
    engine.AddFault({FaultKind::WrongCheck, FrameKind::Check, 0, 2});
    engine.AddFault({FaultKind::BadReadback, FrameKind::WriteBlock, 0, 1});

    EXPECT_EQ(Exchange(engine, {'R', 0, 0}).size(), 7u);
    EXPECT_EQ(Exchange(engine, {'R', 0, 0}).size(), 3u);  // the second read: dropped
    EXPECT_EQ(Exchange(engine, {'R', 0, 0}).size(), 7u);
    EXPECT_EQ(Exchange(engine, {'I', 7}).size(), 2u);
    EXPECT_EQ(Exchange(engine, {'I', 7}).size(), 3u);
    EXPECT_EQ(Exchange(engine, {'I', 0, 0}).size(), 5u);
    EXPECT_EQ(Exchange(engine, {'I', 0, 0}).size(), 5u);
    EXPECT_EQ(Exchange(engine, {'V'}).back(), 0x00);
    EXPECT_EQ(Exchange(engine, {'V'}).back(), 0x00);
    EXPECT_EQ(Exchange(engine, {'V'}).back(), 0x11);
    EXPECT_EQ(Exchange(engine, {'W', 1, 0, 0x0F, 2, 3, 4}),
              (Bytes{'W', 1, 0, 0x0F, 2, 3, 4, 0xF0, 2, 3, 4}));
    EXPECT_EQ(engine.Memory().bytes[0x100], 0xF0);
    EXPECT_EQ(Exchange(engine, {'W', 1, 0, 0x0F, 2, 3, 4}).back(), 4);
    EXPECT_EQ(engine.Memory().bytes[0x100], 0x0F);
    EXPECT_EQ(engine.Log()[1].note, "answer dropped");

    engine.Options().silent = true;
    EXPECT_EQ(Exchange(engine, {'V'}), Bytes{'V'});  // the cable still echoes
}

TEST(RadioMemory, SavesAsAnUploadWouldAndLoadsBack) {
    test::TempDir dir;
    RadioMemory memory = MakeRadio(12, 16, false, "123456789012", "CUSTOMER");
    memory.bytes[0x60] = 0x3C;
    memory.bytes[224] = 0x55;  // beyond a 16-channel image: not saved
    ASSERT_FALSE(SaveRadio(memory, dir.File("r.cfg")));
    const auto cfg = test::ReadBytes(dir.File("r.cfg"));
    ASSERT_EQ(cfg.size(), 675u);
    EXPECT_EQ(cfg[3 * 0x60 + 2], 0x3C);
    EXPECT_EQ(cfg[3 * 224 + 2], 12);  // the band byte
    EXPECT_EQ(test::ReadBytes(dir.File("r.ptx")).size(), 1024u);

    RadioMemory loaded = MakeRadio(9, 99, true);
    ASSERT_FALSE(LoadRadio(loaded, dir.File("r.cfg")));
    EXPECT_EQ(loaded.band, 12);
    EXPECT_FALSE(loaded.NinetyNineChannels());
    EXPECT_TRUE(std::equal(loaded.bytes.begin(), loaded.bytes.begin() + 224, memory.bytes.begin()));
    // The information page of a 16-channel radio is page 1.
    EXPECT_TRUE(std::equal(loaded.bytes.begin() + 256, loaded.bytes.begin() + 512,
                           memory.bytes.begin() + 256));
    EXPECT_EQ(loaded.bytes[256 + 0xD1], '1');
    EXPECT_TRUE(LoadRadio(loaded, dir.File("missing.cfg")));
}

}  // namespace
}  // namespace petrel::sim
