#include "cli.h"

#include <exception>
#include <functional>
#include <ostream>

#include "channels/channel_check.h"
#include "channels/channel_line.h"
#include "cli_ports.h"
#include "document/config_file.h"
#include "document/document_lifecycle.h"
#include "document/new_config.h"
#include "document/program_state.h"
#include "util/text.h"

namespace petrel::cli {

namespace {

constexpr const char* kUsage =
    "usage: petrel-cli show FILE.cfg\n"
    "       petrel-cli new --band B --channels N OUT.cfg\n"
    "       petrel-cli resave IN.cfg OUT.cfg\n";

struct UsageError {
    std::string reason;
};

struct Context {
    std::ostream& out;
    std::ostream& err;
    ProgramState state;
    PolicyPrompter prompter;
    TextStatusLine status;

    Context(std::ostream& o, std::ostream& e) : out(o), err(e), prompter(e), status(e) {}
};

int ToExit(bool ok) {
    return ok ? kExitOk : kExitFailure;
}

// The arguments of a command: positional ones and "--name value" options.
struct Arguments {
    std::vector<std::string> positional;
    std::vector<std::pair<std::string, std::string>> options;

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
                         const std::vector<std::string>& valueOptions) {
    Arguments parsed;
    for (std::size_t i = first; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (StartsWith(arg, "--")) {
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
    const auto slot = OpenConfigFile(c.state, arguments.positional[0], c.prompter);
    if (!slot) {
        return kExitFailure;
    }
    ActivateDocument(c.state, *slot);
    const Document& doc = c.state.workspace.At(*slot);
    c.out << doc.modelLabel << '\n'
          << doc.rangeLabel << '\n'
          << doc.serialLabel << '\n'
          << doc.customerLabel << '\n'
          << kColumnHeader << '\n';
    for (const auto& line : doc.lines) {
        c.out << line << '\n';
    }
    const auto check = CheckChannelLines(doc.lines, c.state.BandLow, c.state.BandHigh);
    if (check.anyFrequency) {
        c.out << check.message << '\n';
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
    const int slot = BuildNewConfiguration(c.state, static_cast<int>(band), channels);
    return ToExit(SaveConfigFile(c.state, slot, arguments.positional[0], c.prompter));
}

int Resave(Context& c, const Arguments& arguments) {
    ExpectPositional(arguments, 2);
    const auto slot = OpenConfigFile(c.state, arguments.positional[0], c.prompter);
    if (!slot) {
        return kExitFailure;
    }
    return ToExit(SaveConfigFile(c.state, *slot, arguments.positional[1], c.prompter));
}

struct Command {
    const char* name;
    std::vector<std::string> valueOptions;
    std::function<int(Context&, const Arguments&)> run;
};

std::vector<Command> Commands() {
    return {
        {"show", {}, Show},
        {"new", {"--band", "--channels"}, New},
        {"resave", {}, Resave},
    };
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    Context context(out, err);
    try {
        if (args.empty()) {
            throw UsageError{"no command"};
        }
        for (const auto& command : Commands()) {
            if (args[0] == command.name) {
                return command.run(context, ParseArguments(args, 1, command.valueOptions));
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
