#include "cli.h"

#include <algorithm>
#include <exception>
#include <fstream>
#include <functional>
#include <memory>
#include <ostream>
#include <sstream>
#include <stdexcept>

#include "cli_ports.h"
#include "core/channels/channel_check.h"
#include "core/channels/channel_csv.h"
#include "core/channels/channel_dialogs.h"
#include "core/compare/config_compare.h"
#include "core/document/config_file.h"
#include "core/document/document_lifecycle.h"
#include "core/document/new_config.h"
#include "core/fleet/fleet_run.h"
#include "core/history/history_listing.h"
#include "core/history/radio_records.h"
#include "core/history/service_history.h"
#include "core/link/link_trace.h"
#include "core/link/port_scan.h"
#include "core/link/radio_backup.h"
#include "core/link/radio_link.h"
#include "core/link/termios_serial_port.h"
#include "core/model/authorization.h"
#include "core/model/channel_line.h"
#include "core/model/workspace.h"
#include "core/ports/clock.h"
#include "core/print/print_report.h"
#include "core/print/text_surface.h"
#include "core/settings/radio_info.h"
#include "core/settings/settings_report.h"
#include "core/util/text.h"
#include "release.h"

namespace petrel::cli {

namespace {

constexpr const char* kUsage =
    "usage: petrel-cli show [--all] FILE.cfg\n"
    "       petrel-cli new --band B --channels N OUT.cfg\n"
    "       petrel-cli resave IN.cfg OUT.cfg\n"
    "       petrel-cli print [--text] [--pdf OUT.pdf] [--paper a4|letter] FILE.cfg\n"
    "       petrel-cli diff A.cfg B.cfg\n"
    "       petrel-cli diff [--port DEV]... [--retries N] [--trace FILE] A.cfg\n"
    "       petrel-cli backups [DIR]\n"
    "       petrel-cli export FILE.cfg OUT.csv|- [--channels LIST]\n"
    "       petrel-cli import IN.csv FILE.cfg [--to OUT.cfg] [--first-channel N]\n"
    "                         [--skip-unstorable]\n"
    "       petrel-cli read [--port DEV]... [--retries N] [--yes] [--trace FILE] OUT.cfg\n"
    "       petrel-cli write [--port DEV]... [--retries N] [--yes] [--trace FILE]\n"
    "                        [--backup DIR] IN.cfg\n"
    "       petrel-cli customer [--port DEV]... [--retries N] [--trace FILE] [--name TEXT]\n"
    "                           [--serial TEXT]\n"
    "       petrel-cli release [--port DEV]... [--retries N] [--trace FILE]\n"
    "       petrel-cli fleet FILE.cfg --port DEV [--count N] [--customer NAME]\n"
    "                        [--serial-from PREFIX0001] [--backup DIR] [--trace FILE]\n"
    "       petrel-cli history [--serial S] [--customer C] [--band B] [--since YYYY-MM-DD]\n"
    "                          [--until YYYY-MM-DD] [--csv]\n"
    "       petrel-cli history --open ID OUT.cfg\n"
    "       petrel-cli --help | --version\n";

struct UsageError {
    std::string reason;
};

struct Context {
    std::ostream& out;
    std::ostream& err;
    const CliEnvironment& environment;
    Workspace workspace;
    Authorization authorization;
    PolicyPrompter prompter;
    TextStatusLine status;
    SteadyClock clock;  // the radio's time-outs, and the dates written, printed and recorded
    // A file asked for beside the command's own result (a serial trace) was not written whole.
    bool incomplete = false;
    std::unique_ptr<ServiceHistory> history;  // opened by the first command that needs it

    Context(std::ostream& o, std::ostream& e, const CliEnvironment& env)
        : out(o), err(e), environment(env), prompter(e), status(e) {}
};

// The service history, opened on first use; nullptr when the environment names none. What it
// has to say about itself (damaged and set aside, say) goes to the error stream.
ServiceHistory* History(Context& c) {
    if (!c.history && c.environment.historyPath) {
        c.history = OpenServiceHistory(*c.environment.historyPath, c.clock);
        if (const auto notice = c.history->TakeNotice()) {
            c.err << "petrel-cli: " << *notice << '\n';
        }
    }
    return c.history.get();
}

int ToExit(bool ok) {
    return ok ? kExitOk : kExitFailure;
}

// The arguments of a command: positional ones, "--name value" options and "--name" flags.
struct Arguments {
    std::vector<std::string> positional;
    std::vector<std::pair<std::string, std::string>> options;
    std::vector<std::string> flags;

    bool Flag(const std::string& name) const {
        return std::find(flags.begin(), flags.end(), name) != flags.end();
    }
    // Every value of a repeatable option, in order.
    std::vector<std::string> Values(const std::string& name) const {
        std::vector<std::string> values;
        for (const auto& [key, value] : options) {
            if (key == name) {
                values.push_back(value);
            }
        }
        return values;
    }

    std::string Option(const std::string& name) const {
        for (const auto& [key, value] : options) {
            if (key == name) {
                return value;
            }
        }
        throw UsageError{"missing " + name};
    }
};

Arguments ParseArguments(const std::vector<std::string>& args, std::size_t first,
                         const std::vector<std::string>& valueOptions,
                         const std::vector<std::string>& flagOptions) {
    Arguments parsed;
    for (std::size_t i = first; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (std::find(flagOptions.begin(), flagOptions.end(), arg) != flagOptions.end()) {
            parsed.flags.push_back(arg);
        } else if (StartsWith(arg, "--")) {
            bool known = false;
            for (const auto& name : valueOptions) {
                known = known || name == arg;
            }
            if (!known || i + 1 >= args.size()) {
                throw UsageError{"unknown or incomplete option " + arg};
            }
            parsed.options.emplace_back(arg, args[++i]);
        } else {
            parsed.positional.push_back(arg);
        }
    }
    return parsed;
}

void ExpectPositional(const Arguments& arguments, std::size_t count) {
    if (arguments.positional.size() != count) {
        throw UsageError{"wrong number of file names"};
    }
}

int Show(Context& c, const Arguments& arguments) {
    ExpectPositional(arguments, 1);
    const auto slot = OpenConfigFile(c.workspace, arguments.positional[0], c.prompter);
    if (!slot) {
        return kExitFailure;
    }
    const Document& doc = c.workspace.At(*slot);
    std::vector<std::string> lines = {doc.modelLabel, doc.rangeLabel, doc.serialLabel,
                                      doc.customerLabel, std::string(kColumnHeader)};
    lines.insert(lines.end(), doc.lines.begin(), doc.lines.end());
    const auto check = CheckDocumentChannels(doc);
    if (check.anyFrequency) {
        lines.push_back(check.message);
    }
    if (arguments.Flag("--all")) {
        const auto settings = SettingsReport(c.authorization, doc);
        lines.insert(lines.end(), settings.begin(), settings.end());
    }
    // One line per control: texts from the file (a customer name, say) come escaped.
    for (const auto& line : lines) {
        c.out << EscapeControls(line) << '\n';
    }
    return kExitOk;
}

int New(Context& c, const Arguments& arguments) {
    ExpectPositional(arguments, 1);
    const std::string bandText = Trim(arguments.Option("--band"));
    const auto band = LeadingNumber(bandText);
    if (bandText.empty() || bandText != std::to_string(band) || band < 1 || band > 12) {
        throw UsageError{"the band is a number from 1 to 12"};
    }
    int channels = 0;
    if (!ParseChannelCount(arguments.Option("--channels"), channels)) {
        throw UsageError{"the channel count is a whole number from 1 to 99"};
    }
    const int slot = BuildNewConfiguration(c.workspace, static_cast<int>(band), channels);
    return ToExit(SaveConfigFile(c.workspace, slot, arguments.positional[0], c.prompter));
}

int Resave(Context& c, const Arguments& arguments) {
    ExpectPositional(arguments, 2);
    const auto slot = OpenConfigFile(c.workspace, arguments.positional[0], c.prompter);
    if (!slot) {
        return kExitFailure;
    }
    return ToExit(SaveConfigFile(c.workspace, *slot, arguments.positional[1], c.prompter));
}

// Whether the report came out whole; the parts left out are named.
bool ReportComplete(Context& c, const PrintResult& result) {
    for (const std::string& failure : result.failures) {
        c.err << "petrel-cli: not printed: " << failure << '\n';
    }
    return result.Complete();
}

// The printed report as text on standard output, as a PDF file, or both (the same report,
// with the same print time).
int Print(Context& c, const Arguments& arguments) {
    ExpectPositional(arguments, 1);
    const std::vector<std::string> pdf = arguments.Values("--pdf");
    if (!arguments.Flag("--text") && pdf.empty()) {
        throw UsageError{"print needs --text, --pdf OUT.pdf or both"};
    }
    const std::vector<std::string> paperNames = arguments.Values("--paper");
    const std::string paperName = ToUpperAscii(paperNames.empty() ? "a4" : paperNames.back());
    const auto paper = std::find_if(std::begin(kPapers), std::end(kPapers), [&](const Paper& p) {
        return ToUpperAscii(p.name) == paperName;
    });
    if (paper == std::end(kPapers)) {
        throw UsageError{"--paper is a4 or letter"};
    }
    if (!pdf.empty() && !c.environment.writePdf) {
        c.err << "petrel-cli: this petrel-cli was built without PDF output\n";
        return kExitFailure;
    }
    const auto slot = OpenConfigFile(c.workspace, arguments.positional[0], c.prompter);
    if (!slot) {
        return kExitFailure;
    }
    const Document& doc = c.workspace.At(*slot);
    const LocalTime printedAt = c.clock.WallTime();
    bool ok = true;
    if (arguments.Flag("--text")) {
        TextSurface surface(PrintableTwips(paper->widthMm), PrintableTwips(paper->heightMm));
        ok = ReportComplete(c, PrintReport(surface, c.authorization, doc, printedAt));
        c.out << surface.Render();
    }
    if (!pdf.empty()) {
        ok = ReportComplete(
                 c, c.environment.writePdf(pdf.back(), *paper, c.authorization, doc, printedAt)) &&
             ok;
    }
    return ToExit(ok);
}

// The channels of a configuration as CSV, to a file or ("-") to standard output; all of them,
// or those --channels names ("1-8,12").
int Export(Context& c, const Arguments& arguments) {
    ExpectPositional(arguments, 2);
    const std::vector<std::string> chosen = arguments.Values("--channels");
    std::string why;
    if (!chosen.empty() && !ParseChannelSelection(chosen.back(), kMaxNewChannels, why)) {
        throw UsageError{"--channels: " + why};
    }
    const auto slot = OpenConfigFile(c.workspace, arguments.positional[0], c.prompter);
    if (!slot) {
        return kExitFailure;
    }
    const Document& doc = c.workspace.At(*slot);
    ChannelCsvExport exported;
    if (chosen.empty()) {
        exported = ExportChannelsCsv(doc);
    } else {
        const int count = static_cast<int>(doc.lines.size());
        const auto channels = ParseChannelSelection(chosen.back(), count, why);
        if (!channels) {
            c.err << "petrel-cli: " << arguments.positional[0] << " has channels 1 to " << count
                  << ": --channels " << why << '\n';
            return kExitFailure;
        }
        exported = ExportChannelsCsv(doc, *channels);
    }
    for (const auto& warning : exported.warnings) {
        c.err << "petrel-cli: " << warning << '\n';
    }
    const std::string& out = arguments.positional[1];
    if (out == "-") {
        c.out << exported.text;
        return kExitOk;
    }
    if (const auto error = WriteFileAtomically(
            out, std::vector<std::uint8_t>(exported.text.begin(), exported.text.end()))) {
        c.err << "petrel-cli: Can't save " << out << ": " << *error << '\n';
        return kExitFailure;
    }
    return kExitOk;
}

// Channels from CSV into a configuration, saved in place or under --to. Rows go on the channels
// their Location names, or from --first-channel on in file order; a refused row writes nothing
// unless --skip-unstorable leaves the rows that cannot be stored out.
int Import(Context& c, const Arguments& arguments) {
    ExpectPositional(arguments, 2);
    const std::vector<std::string> to = arguments.Values("--to");
    const std::vector<std::string> first = arguments.Values("--first-channel");
    const std::string& csv = arguments.positional[0];
    const std::string& config = arguments.positional[1];
    const std::string out = to.empty() ? config : to.back();
    ChannelImportOptions options;
    options.skipUnstorable = arguments.Flag("--skip-unstorable");
    if (!first.empty()) {
        const std::string text = Trim(first.back());
        const auto number = LeadingNumber(text);
        if (text != std::to_string(number) || number < 1 || number > kMaxNewChannels) {
            throw UsageError{"--first-channel is a channel number from 1 to " +
                             std::to_string(kMaxNewChannels)};
        }
        options.firstChannel = static_cast<int>(number);
    }
    std::string why;
    const auto text = ReadChannelsCsvFile(csv, why);
    if (!text) {
        c.err << "petrel-cli: " << why << '\n';
        return kExitFailure;
    }
    const auto slot = OpenConfigFile(c.workspace, config, c.prompter);
    if (!slot) {
        return kExitFailure;
    }
    Document& doc = c.workspace.At(*slot);
    options.fixedChannelsOnly = FixedChannelsOnly(c.authorization, doc.state.Band);
    const ChannelCsvImport imported = ImportChannelsCsv(doc, *text, options);
    // A refusal names the refused rows only: the skipped ones do not matter until it is mended.
    for (const auto& line : imported.errors.empty() ? imported.notes : imported.errors) {
        c.err << (StartsWith(line, "line ") ? csv + ": " : "petrel-cli: ") << line << '\n';
    }
    if (!imported.imported) {
        c.err << "petrel-cli: nothing was imported\n";
        return kExitFailure;
    }
    if (!SaveConfigFile(c.workspace, *slot, out, c.prompter)) {
        return kExitFailure;
    }
    c.err << "petrel-cli: " << imported.Summary() << "; saved as " << out << '\n';
    if (const auto check = CheckDocumentChannels(doc); check.anyFrequency) {
        c.err << "petrel-cli: " << check.message << '\n';
    }
    return kExitOk;
}

// A radio operation's port, clock and link, with the answering policy of the arguments.
struct RadioSession {
    Context& context;
    std::unique_ptr<LinkTrace> trace;  // kept to the end: it is written when a port closes
    TermiosSerialPort port;
    Clock& clock;
    RadioLink link;
    std::vector<PortProblem> scanProblems;

    RadioSession(Context& c, const Arguments& arguments)
        : context(c),
          port(Devices(c, arguments), Rediscover(c, arguments)),
          clock(c.clock),
          link(port, clock, c.prompter, c.status) {
        const std::vector<std::string> retries = arguments.Values("--retries");
        if (!retries.empty()) {
            const std::string text = Trim(retries.back());
            const auto count = LeadingNumber(text);
            if (text != std::to_string(count) || count < 0 || count > 1000) {
                throw UsageError{"--retries is a number from 0 to 1000"};
            }
            c.prompter.retries = static_cast<int>(count);
        }
        c.prompter.yes = arguments.Flag("--yes");
        std::vector<std::string> tracePath = arguments.Values("--trace");
        if (tracePath.empty() && c.environment.trace) {
            tracePath.push_back(*c.environment.trace);
        }
        if (!tracePath.empty()) {
            auto traced = LinkTrace::Append(tracePath.back(), clock.WallTime());
            if (!traced) {
                throw std::runtime_error(traced.Message());
            }
            trace = std::move(*traced);
            link.Frames().SetTrace(trace.get());
        }
        c.status.SetEcho(true);
        c.status.SetProgressBar(c.environment.errIsTerminal);
        link.Images().SetHistory(History(c));
        PortScan scan = DetectRS(port, c.prompter);
        link.Frames().SetPorts(std::move(scan.numbers));
        scanProblems = std::move(scan.problems);
    }

    // The trace is complete once the command is done with the radio: a trace that could not be
    // written whole fails the command.
    ~RadioSession() {
        if (trace) {
            if (const auto problem = trace->Finish()) {
                context.err << "petrel-cli: " << *problem << '\n';
                context.incomplete = true;
            }
        }
    }
    RadioSession(const RadioSession&) = delete;
    RadioSession& operator=(const RadioSession&) = delete;

    static std::vector<std::string> Devices(const Context& c, const Arguments& arguments) {
        std::vector<std::string> devices = arguments.Values("--port");
        if (devices.empty()) {
            return SerialDevices(c.environment.ports);
        }
        if (devices.size() > kLastPortNumber) {
            throw UsageError{"at most 8 ports"};
        }
        return devices;
    }

    // Ports given with --port stay as given; discovered ones are looked for again when an
    // operation finds none.
    static TermiosSerialPort::DeviceSource Rediscover(const Context& c,
                                                      const Arguments& arguments) {
        if (!arguments.Values("--port").empty()) {
            return {};
        }
        return [ports = c.environment.ports] { return SerialDevices(ports); };
    }

    // Why ports did not open, when the operation failed: on Linux usually permissions.
    void ReportPortProblems(Context& c) {
        std::vector<PortProblem> problems = scanProblems;
        const auto& found = link.Frames().PortProblems();
        problems.insert(problems.end(), found.begin(), found.end());
        if (!problems.empty()) {
            std::istringstream lines(PortProblemsText(problems));
            for (std::string line; std::getline(lines, line);) {
                c.err << "petrel-cli: " << line << '\n';
            }
        }
        if (link.Frames().Ports().empty() && problems.empty()) {
            c.err << "petrel-cli: no serial port found; give --port DEVICE or set PETREL_PORTS\n";
        }
    }
};

int Read(Context& c, const Arguments& arguments) {
    ExpectPositional(arguments, 1);
    RadioSession session(c, arguments);
    TransferResult result = session.link.Images().Upload();
    if (!result.read) {
        if (!result.completed) {
            session.ReportPortProblems(c);
        } else {
            c.err << "petrel-cli: the radio reports an unknown band; nothing to save\n";
        }
        return kExitFailure;
    }
    const int slot = OpenRadioRead(c.workspace, std::move(*result.read));
    return ToExit(SaveConfigFile(c.workspace, slot, arguments.positional[0], c.prompter));
}

int Write(Context& c, const Arguments& arguments) {
    ExpectPositional(arguments, 1);
    const std::vector<std::string> backup = arguments.Values("--backup");
    if (!backup.empty() && backup.back().empty()) {
        // A usage error, found before the file or the radio is touched: the radio would be read
        // for a backup that has nowhere to go.
        throw UsageError{"--backup needs a folder name"};
    }
    const auto slot = OpenConfigFile(c.workspace, arguments.positional[0], c.prompter);
    if (!slot) {
        return kExitFailure;
    }
    RadioSession session(c, arguments);
    // As the editor window's activation does: the channel check shows in the status.
    CheckChannels(c.workspace.At(*slot), c.status);
    const Document& doc = c.workspace.At(*slot);
    session.link.Frames().SetCaption(doc.title);
    if (!backup.empty()) {
        session.link.Images().SetBackupPolicy({backup.back(), true});
    }
    const TransferResult result = session.link.Images().Download(doc);
    if (result.backup) {
        c.err << "petrel-cli: the radio as it was is kept in " << *result.backup << '\n';
    }
    if (!result.completed && !session.link.Frames().DetectedBand()) {
        session.ReportPortProblems(c);
    }
    return ToExit(result.completed);
}

// A text for the radio's customer name or serial number: at most length characters, each one
// the radio can hold (Latin-1). Longer texts are refused rather than cut, so that a script
// never numbers two radios alike.
std::optional<std::string> CustomerText(const Arguments& arguments, const std::string& option,
                                        std::size_t length) {
    const std::vector<std::string> values = arguments.Values(option);
    if (values.empty()) {
        return std::nullopt;
    }
    const std::string text = Trim(values.back());
    const std::string bytes = Utf8ToLatin1(text);
    if (Latin1ToUtf8(bytes) != text || bytes.size() > length) {
        throw UsageError{option + " takes at most " + std::to_string(length) +
                         " Latin-1 characters"};
    }
    return text;
}

// Reads the customer name and serial number, or writes them as the customer editor's OK does;
// a write is read back to prove it.
int Customer(Context& c, const Arguments& arguments) {
    ExpectPositional(arguments, 0);
    const auto name = CustomerText(arguments, "--name", kCustomerNameLength);
    const auto serial = CustomerText(arguments, "--serial", kSerialSentLength);
    RadioSession session(c, arguments);
    // A write reads first too: what is not given keeps the radio's value, and the first byte
    // of each block goes back as the radio holds it.
    RadioInfoPage radio;  // what the radio holds; no document is open
    bool ok = ReadCustomerInfo(session.link, radio);
    if (ok && (name || serial)) {
        const std::string newName = name.value_or(Trim(radio.CustomerName));
        const std::string newSerial = serial.value_or(Trim(radio.SerialNo));
        const Result<void> written =
            WriteCustomerInfo(session.link, radio, newName, newSerial, c.clock.WallTime().Date());
        if (!written) {
            c.err << "petrel-cli: " << written.Message() << '\n';
            ok = false;
        } else {
            ok = ReadCustomerInfo(session.link, radio) && Trim(radio.CustomerName) == newName &&
                 Trim(radio.SerialNo) == newSerial;
            if (!ok && session.link.Frames().DetectedBand()) {
                c.err << "petrel-cli: the customer name and serial number were written but "
                         "could not be read back as written\n";
            }
        }
    }
    if (!ok) {
        if (!session.link.Frames().DetectedBand()) {
            session.ReportPortProblems(c);
        }
        return kExitFailure;
    }
    c.out << "Customer Name: " << EscapeControls(Trim(radio.CustomerName)) << '\n'
          << "Serial Number: " << EscapeControls(Trim(radio.SerialNo)) << '\n';
    return kExitOk;
}

// Sends the closing code 0xAA, as the alignment windows do when they close: a radio that a
// program left in a test state, or transmitting, goes back to normal.
int Release(Context& c, const Arguments& arguments) {
    ExpectPositional(arguments, 0);
    RadioSession session(c, arguments);
    if (session.link.Params().WriteControlAA()) {
        c.out << ReleasedText() << '\n';
        return kExitOk;
    }
    if (!session.link.Frames().DetectedBand()) {
        session.ReportPortProblems(c);
    }
    c.err << "petrel-cli: the radio did not answer the closing code AAH; if it is transmitting, "
             "switch it off or remove its battery to stop it\n";
    return kExitFailure;
}

// Exit codes of diff, as diff(1) has them: a file or radio that cannot be read is trouble, not a
// difference.
constexpr int kExitSame = 0;
constexpr int kExitDiffer = 1;
constexpr int kExitTrouble = 2;

// The differences of a second configuration (a file, or the radio when only one file is given)
// from the first, one line each. The radio is only read: no backup, no write.
int Diff(Context& c, const Arguments& arguments) {
    if (arguments.positional.size() != 1 && arguments.positional.size() != 2) {
        throw UsageError{"diff takes two configuration files, or one and a radio"};
    }
    const bool fromRadio = arguments.positional.size() == 1;
    if (!fromRadio && !arguments.options.empty()) {
        throw UsageError{"--port, --retries and --trace are for a comparison with the radio"};
    }
    const std::string& firstName = arguments.positional[0];
    const auto first = OpenConfigFile(c.workspace, firstName, c.prompter);
    if (!first) {
        return kExitTrouble;
    }
    std::optional<int> second;
    std::string secondName;
    if (fromRadio) {
        RadioSession session(c, arguments);
        TransferResult result = session.link.Images().Upload();
        if (!result.read) {
            if (!result.completed) {
                session.ReportPortProblems(c);
            } else {
                c.err << "petrel-cli: the radio reports an unknown band; nothing to compare\n";
            }
            return kExitTrouble;
        }
        second = OpenRadioRead(c.workspace, std::move(*result.read));
        secondName = "the radio";
    }
    if (c.incomplete) {
        return kExitTrouble;  // the trace was not written whole
    }
    if (!fromRadio) {
        secondName = arguments.positional[1];
        second = OpenConfigFile(c.workspace, secondName, c.prompter);
        if (!second) {
            return kExitTrouble;
        }
    }
    const auto differences = CompareConfigurations(c.authorization, c.workspace.At(*first),
                                                   firstName, c.workspace.At(*second), secondName);
    for (const ConfigDifference& difference : differences) {
        c.out << EscapeControls(difference.Text()) << '\n';
    }
    return differences.empty() ? kExitSame : kExitDiffer;
}

// The backups kept before radios were written, newest first, one line each: when, band,
// serial number, customer, channel count and file, then what is wrong with it, if anything.
int Backups(Context& c, const Arguments& arguments) {
    if (arguments.positional.size() > 1) {
        throw UsageError{"backups takes at most one folder"};
    }
    std::string folder;
    if (!arguments.positional.empty()) {
        folder = arguments.positional[0];
    } else if (c.environment.workingFolder) {
        folder = *c.environment.workingFolder + "/" + kBackupFolderName;
    } else {
        throw UsageError{"no home folder to find the backups in; name the folder"};
    }
    const BackupList list = ListBackups(folder);
    if (!list.error.empty()) {
        c.err << "petrel-cli: " << list.error << '\n';
        return kExitFailure;
    }
    if (list.entries.empty()) {
        c.err << "petrel-cli: no backups in " << folder << '\n';
    }
    // Columns as wide as their widest entry, so that the list reads as a table.
    const auto fields = [](const BackupEntry& entry) {
        const auto shown = [](const std::string& text) {
            return text.empty() ? std::string("-") : EscapeControls(text);
        };
        return std::vector<std::string>{entry.taken, shown(entry.band), shown(entry.serial),
                                        shown(entry.customer),
                                        entry.channels > 0 ? std::to_string(entry.channels) : "-"};
    };
    // Characters, not bytes: a customer name may hold accented letters.
    const auto width = [](const std::string& text) {
        return static_cast<std::size_t>(
            std::count_if(text.begin(), text.end(), [](char ch) { return (ch & 0xC0) != 0x80; }));
    };
    std::vector<std::size_t> widths;
    for (const BackupEntry& entry : list.entries) {
        const auto row = fields(entry);
        widths.resize(row.size());
        for (std::size_t i = 0; i < row.size(); ++i) {
            widths[i] = std::max(widths[i], width(row[i]));
        }
    }
    for (const BackupEntry& entry : list.entries) {
        const auto row = fields(entry);
        std::string line;
        for (std::size_t i = 0; i < row.size(); ++i) {
            line += row[i] + std::string(widths[i] - width(row[i]) + 2, ' ');
        }
        line += EscapeControls(entry.path);
        if (!entry.problem.empty()) {
            line += " -- " + EscapeControls(entry.problem);
        }
        c.out << line << '\n';
    }
    return kExitOk;
}

// The same configuration into one radio after another: one line per radio on standard output,
// a summary at the end; success when every radio that came was written.
int Fleet(Context& c, const Arguments& arguments) {
    ExpectPositional(arguments, 1);
    FleetOptions options;
    if (const auto count = arguments.Values("--count"); !count.empty()) {
        const std::string text = Trim(count.back());
        const auto number = LeadingNumber(text);
        if (text != std::to_string(number) || number < 1 || number > 100000) {
            throw UsageError{"--count is a number of radios from 1 to 100000"};
        }
        options.count = static_cast<int>(number);
    }
    options.customer = CustomerText(arguments, "--customer", kCustomerNameLength).value_or("");
    if (const auto from = arguments.Values("--serial-from"); !from.empty()) {
        std::string why;
        const auto pattern = ParseSerialPattern(from.back(), why);
        if (!pattern) {
            throw UsageError{"--serial-from: " + why};
        }
        options.serial = *pattern;
    }
    const auto backup = arguments.Values("--backup");
    if (!backup.empty() && backup.back().empty()) {
        throw UsageError{"--backup needs a folder name"};
    }
    options.backupFolder =
        !backup.empty() ? backup.back()
        : c.environment.historyPath
            ? (std::filesystem::path(*c.environment.historyPath).parent_path() / kBackupFolderName)
                  .string()
            : std::string(kBackupFolderName);
    const auto slot = OpenConfigFile(c.workspace, arguments.positional[0], c.prompter);
    if (!slot) {
        return kExitFailure;
    }
    const Document& doc = c.workspace.At(*slot);
    // The channel warning is the user's to accept once, before the first radio (--yes).
    std::string accepted;
    if (const auto check = CheckDocumentChannels(doc);
        check.anyFrequency && StartsWith(check.message, "Chan")) {
        if (!arguments.Flag("--yes")) {
            c.err << "petrel-cli: " << check.message
                  << "; give --yes to write this configuration all the same\n";
            return kExitFailure;
        }
        accepted = check.message;
    }
    RadioSession session(c, arguments);
    FleetPrompter prompter(accepted);
    RadioLink link(session.port, session.clock, prompter, c.status);
    link.Frames().SetPorts(session.link.Frames().Ports());
    if (session.trace) {
        link.Frames().SetTrace(session.trace.get());
    }
    link.Frames().SetCaption(doc.title);
    c.status.SetEcho(false);
    FleetRun run(link, prompter, session.clock, doc, options, History(c));
    run.radioDone = [&c](const FleetRadio& radio) {
        c.out << EscapeControls(radio.Line()) << std::endl;
    };
    std::string said;
    while (run.Step() != FleetState::Finished) {
        if (run.StatusText() != said) {
            said = run.StatusText();
            c.err << "petrel-cli: " << said << '\n';
        }
        if (const auto notice = run.TakeHistoryNotice()) {
            c.err << "petrel-cli: " << *notice << '\n';
        }
    }
    c.out << run.Summary() << '\n';
    return ToExit(run.AllWritten() && !run.Radios().empty());
}

// The service history: records listed newest first, or one record's radio written out as a
// configuration.
int HistoryCommand(Context& c, const Arguments& arguments) {
    const std::vector<std::string> open = arguments.Values("--open");
    ExpectPositional(arguments, open.empty() ? 0 : 1);
    HistoryFilter filter;
    for (const auto& [option, field] :
         {std::pair{"--since", &filter.since}, std::pair{"--until", &filter.until}}) {
        const auto values = arguments.Values(option);
        if (!values.empty()) {
            if (!IsHistoryDate(values.back())) {
                throw UsageError{std::string(option) + " is a date YYYY-MM-DD"};
            }
            *field = values.back();
        }
    }
    if (const auto band = arguments.Values("--band"); !band.empty()) {
        const auto number = LeadingNumber(Trim(band.back()));
        if (Trim(band.back()) != std::to_string(number) || number < 1 || number > 255) {
            throw UsageError{"--band is a band number"};
        }
        filter.band = static_cast<int>(number);
    }
    if (const auto serial = arguments.Values("--serial"); !serial.empty()) {
        filter.serialNo = serial.back();
    }
    if (const auto customer = arguments.Values("--customer"); !customer.empty()) {
        filter.customer = customer.back();
    }
    ServiceHistory* history = History(c);
    if (history == nullptr) {
        c.err << "petrel-cli: no service history; set PETREL_HISTORY to its file\n";
        return kExitFailure;
    }
    if (open.empty()) {
        const auto records = history->Find(filter);
        c.out << (arguments.Flag("--csv") ? HistoryCsv(records) : HistoryTable(records));
        return kExitOk;
    }
    const std::string text = Trim(open.back());
    const auto id = LeadingNumber(text);
    if (text != std::to_string(id) || id < 1) {
        throw UsageError{"--open takes a record's ID"};
    }
    const auto record = history->Get(id);
    if (!record) {
        c.err << "petrel-cli: the service history has no record " << id << '\n';
        return kExitFailure;
    }
    auto radio = RecordedRadio(*record);
    if (!radio) {
        c.err << "petrel-cli: record " << id << " holds no configuration of a known band\n";
        return kExitFailure;
    }
    const int slot = OpenRadioRead(c.workspace, std::move(*radio));
    return ToExit(SaveConfigFile(c.workspace, slot, arguments.positional[0], c.prompter));
}

struct Command {
    const char* name;
    std::vector<std::string> valueOptions;
    std::vector<std::string> flagOptions;
    std::function<int(Context&, const Arguments&)> run;
};

std::vector<Command> Commands() {
    return {
        {"show", {}, {"--all"}, Show},
        {"new", {"--band", "--channels"}, {}, New},
        {"resave", {}, {}, Resave},
        {"print", {"--pdf", "--paper"}, {"--text"}, Print},
        {"diff", {"--port", "--retries", "--trace"}, {}, Diff},
        {"backups", {}, {}, Backups},
        {"export", {"--channels"}, {}, Export},
        {"import", {"--to", "--first-channel"}, {"--skip-unstorable"}, Import},
        {"read", {"--port", "--retries", "--trace"}, {"--yes"}, Read},
        {"write", {"--port", "--retries", "--trace", "--backup"}, {"--yes"}, Write},
        {"customer", {"--port", "--retries", "--trace", "--name", "--serial"}, {}, Customer},
        {"release", {"--port", "--retries", "--trace"}, {}, Release},
        {"fleet",
         {"--port", "--retries", "--trace", "--count", "--customer", "--serial-from", "--backup"},
         {"--yes"},
         Fleet},
        {"history",
         {"--serial", "--customer", "--band", "--since", "--until", "--open"},
         {"--csv"},
         HistoryCommand},
    };
}

}  // namespace

std::string DesktopWorkingFolder(const std::string& home, const std::string& configHome) {
    std::string documents = home + "/Documents";
    // The line the desktop writes: XDG_DOCUMENTS_DIR="$HOME/Documents"
    std::ifstream dirs(configHome + "/user-dirs.dirs");
    const std::string key = "XDG_DOCUMENTS_DIR=\"";
    for (std::string line; std::getline(dirs, line);) {
        if (StartsWith(line, key) && line.size() > key.size() && line.back() == '"') {
            std::string path = line.substr(key.size(), line.size() - key.size() - 1);
            if (StartsWith(path, "$HOME")) {
                path = home + path.substr(5);
            }
            if (StartsWith(path, "/")) {
                documents = path;
            }
        }
    }
    return documents + "/Petrel CPS";
}

int OutputFailureExit(const std::vector<std::string>& args) {
    return !args.empty() && args[0] == "diff" ? kExitTrouble : kExitFailure;
}

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           const CliEnvironment& environment) {
    Context context(out, err, environment);
    try {
        if (args.empty()) {
            throw UsageError{"no command"};
        }
        if (args.size() == 1 && args[0] == "--help") {
            out << kUsage;
            return kExitOk;
        }
        if (args.size() == 1 && args[0] == "--version") {
            out << VersionText("petrel-cli");
            return kExitOk;
        }
        for (const auto& command : Commands()) {
            if (args[0] == command.name) {
                const int exit = command.run(
                    context, ParseArguments(args, 1, command.valueOptions, command.flagOptions));
                return exit == kExitOk && context.incomplete ? OutputFailureExit(args) : exit;
            }
        }
        throw UsageError{"unknown command " + args[0]};
    } catch (const UsageError& error) {
        err << "petrel-cli: " << error.reason << '\n' << kUsage;
        return kExitUsage;
    } catch (const std::exception& error) {
        err << "petrel-cli: " << error.what() << '\n';
        return kExitFailure;
    }
}

}  // namespace petrel::cli
