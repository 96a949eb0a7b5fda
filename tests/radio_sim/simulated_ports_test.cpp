#include "simulated_ports.h"

#include <gtest/gtest.h>

namespace petrel::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(SimulatedPorts, OpensOnlyPortsThatExistAndAreFree) {
    VirtualClock clock;
    RadioSimEngine radio(MakeRadio(9, 99, false));
    SimulatedPorts ports(clock);
    ports.AddEmptyPort(1);
    ports.AddBusyPort(2);
    ports.AttachRadio(3, radio);

    ports.SetPortNumber(4);
    EXPECT_THROW(ports.Open(), SerialPortError);
    ports.SetPortNumber(2);
    EXPECT_THROW(ports.Open(), SerialPortError);
    ports.SetPortNumber(3);
    ports.Open();
    ports.RaiseDtr();
    ports.Close();
    EXPECT_EQ(ports.Events(), (std::vector<std::string>{"open 3", "dtr 3", "close 3"}));
}

TEST(SimulatedPorts, WaitingMovesTheClockToTheNextByteOrTheTimeout) {
    VirtualClock clock;
    EngineOptions options;
    options.byteTimeUs = kByteTimeUs;
    RadioSimEngine radio(MakeRadio(9, 99, false), options);
    SimulatedPorts ports(clock);
    ports.AttachRadio(1, radio);
    ports.AddEmptyPort(2);
    ports.SetPortNumber(1);
    ports.Open();

    ports.Write(Bytes{'V'});
    EXPECT_EQ(ports.InBufferCount(), 0);
    EXPECT_TRUE(ports.WaitForInput(25'000));
    EXPECT_EQ(clock.NowUs(), kByteTimeUs);
    EXPECT_EQ(ports.InBufferCount(), 1);
    EXPECT_TRUE(ports.WaitForInput(25'000));
    EXPECT_EQ(clock.NowUs(), 2 * kByteTimeUs + options.answerDelayUs);
    EXPECT_EQ(ports.ReadAll(), (Bytes{'V', 0x11}));
    EXPECT_FALSE(ports.WaitForInput(25'000));
    EXPECT_EQ(clock.NowUs(), 2 * kByteTimeUs + options.answerDelayUs + 25'000);

    ports.Write(Bytes{'V'});
    clock.AdvanceUs(100'000);
    ports.ClearInBuffer();
    EXPECT_EQ(ports.InBufferCount(), 0);
    ports.Close();

    ports.SetPortNumber(2);
    ports.Open();
    ports.Write(Bytes{'V'});
    EXPECT_FALSE(ports.WaitForInput(10'000));  // no cable: nothing comes back
    ASSERT_EQ(ports.Writes().size(), 3u);
    EXPECT_EQ(ports.Writes()[2].port, 2);
}

}  // namespace
}  // namespace petrel::sim
