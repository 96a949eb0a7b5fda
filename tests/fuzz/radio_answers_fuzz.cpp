// The radio link against a radio whose every answer comes from the fuzz input: any bytes at
// any time, on the virtual clock. Every operation must end with the port closed, the pointer
// and the menus back to normal, and nothing read past a buffer.
//
// Input: one byte that chooses the operation (low three bits) and how many questions get a Yes
// (the next two bits); then, for every write the link makes, one chunk: a delay in
// milliseconds, a count (low four bits; bit 7: the bytes come at once, else one per character
// time at 2400 baud) and that many bytes, which reach the receive buffer after the cable's
// echo. When the input ends the radio falls silent.

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <span>

#include "core/document/document_lifecycle.h"
#include "core/document/new_config.h"
#include "core/link/radio_link.h"
#include "core/model/channel_line.h"
#include "core/model/workspace.h"
#include "core/ports/clock.h"
#include "fuzz_support.h"

using namespace petrel;

namespace {

constexpr std::int64_t kByteUs = 10'000'000 / 2400;
constexpr int kQuestionLimit = 10'000;  // more means a loop that never ends

class ScriptedRadioPort : public SerialPort {
  public:
    ScriptedRadioPort(VirtualClock& clock, std::span<const std::uint8_t> script)
        : clock_(clock), script_(script) {}

    void SetPortNumber(int number) override { number_ = number; }
    void Open() override {
        if (number_ > 2) {
            throw SerialPortError(DeviceName(number_), ENOENT);
        }
        open_ = true;
    }
    void Close() override {
        open_ = false;
        arrived_.clear();
        pending_.clear();
    }
    bool IsOpen() const override { return open_; }
    void RaiseDtr() override {}
    void SetBinaryMode() override {}
    int InBufferCount() override {
        Arrive();
        return static_cast<int>(arrived_.size());
    }
    void ClearInBuffer() override {
        Arrive();
        arrived_.clear();
    }
    void Write(std::span<const std::uint8_t> bytes) override {
        if (!open_) {
            return;
        }
        const std::int64_t now = clock_.NowUs();
        for (const std::uint8_t byte : bytes) {
            pending_.push_back({now, byte});
        }
        std::int64_t at = now + Next() * 1000;
        const std::uint8_t count = Next();
        for (int i = 0; i < (count & 0x0F); ++i) {
            pending_.push_back({at, Next()});
            at += (count & 0x80) != 0 ? 0 : kByteUs;
        }
        std::stable_sort(pending_.begin(), pending_.end(),
                         [](const Byte& a, const Byte& b) { return a.timeUs < b.timeUs; });
    }
    std::vector<std::uint8_t> ReadAll() override {
        Arrive();
        std::vector<std::uint8_t> bytes;
        bytes.swap(arrived_);
        return bytes;
    }
    bool WaitForInput(std::int64_t timeoutUs) override {
        if (timeoutUs <= 0) {
            return false;
        }
        const std::int64_t now = clock_.NowUs();
        if (!pending_.empty() && pending_.front().timeUs <= now + timeoutUs) {
            clock_.AdvanceUs(std::max<std::int64_t>(0, pending_.front().timeUs - now));
            return true;
        }
        clock_.AdvanceUs(timeoutUs);
        return false;
    }
    std::string DeviceName(int number) const override { return "fuzz" + std::to_string(number); }

    std::uint8_t Next() {
        if (script_.empty()) {
            return 0;
        }
        const std::uint8_t byte = script_.front();
        script_ = script_.subspan(1);
        return byte;
    }

  private:
    struct Byte {
        std::int64_t timeUs;
        std::uint8_t value;
    };
    void Arrive() {
        while (!pending_.empty() && pending_.front().timeUs <= clock_.NowUs()) {
            arrived_.push_back(pending_.front().value);
            pending_.pop_front();
        }
    }

    VirtualClock& clock_;
    std::span<const std::uint8_t> script_;
    int number_ = 1;
    bool open_ = false;
    std::deque<Byte> pending_;
    std::vector<std::uint8_t> arrived_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::uint8_t choice = data[0];
    VirtualClock clock;
    ScriptedRadioPort port(clock, std::span(data + 1, size - 1));
    Workspace workspace;
    fuzz::PolicyPrompter prompter((choice >> 3) & 0x03);
    test::RecordingStatusLine status;
    RadioLink link(port, clock, prompter, status);
    link.Frames().SetPorts({1, 2, 3});
    ParamLink& params = link.Params();
    ImageLink& images = link.Images();

    switch (choice & 0x07) {
        case 0: {
            TransferResult result = images.Upload();
            if (result.read) {
                const Document& doc =
                    workspace.At(OpenRadioRead(workspace, std::move(*result.read)));
                fuzz::Require(PackImage(doc).size() ==
                                  kImageHeaderSize + kChannelRecordSize * doc.lines.size() + 1,
                              "an uploaded document holds its channels");
            }
            break;
        }
        case 1:
        case 2:
            images.Download(
                workspace.At(BuildNewConfiguration(workspace, 9, (choice & 0x07) == 1 ? 16 : 99)));
            break;
        case 3: {
            const std::uint8_t page = port.Next();
            const std::uint8_t start = port.Next();
            const std::uint8_t count = port.Next() & 0x0F;
            const auto values = params.ReadParams(page, start, count);
            fuzz::Require(!values || values->size() == count, "a read brings what it asked for");
            break;
        }
        case 4: {
            const std::uint8_t page = port.Next();
            const std::uint8_t start = port.Next();
            const std::size_t count = port.Next() & 0x0F;
            const std::vector<std::uint8_t> values(count, port.Next());
            params.WriteParams(page, start, values);
            break;
        }
        case 5:
            images.ReadNameBlock();
            images.ReadSerialBlock();
            images.WriteNameBlock(TextBlock{});
            images.WriteLevelTable(InfoTable{});
            break;
        default:
            params.EnableVox();
            params.SetHighPowerBit(true);
            params.ReadIdentification();
            break;
    }
    fuzz::Require(!port.IsOpen(), "every operation closes the port");
    fuzz::Require(prompter.Asked() < kQuestionLimit, "the questions end");
    return 0;
}
