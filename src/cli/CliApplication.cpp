#include "cli/CliApplication.h"

#include <exception>
#include <new>

#include "cli/CliOptions.h"
#include "cli/DemoCommand.h"
#include "cli/ExitStatus.h"
#include "cli/ExportCommand.h"
#include "cli/ProbeCommand.h"
#include "cli/SignalWatcher.h"

namespace {

ExitStatus dispatch(const CliOptions& options, Console& console) {
    switch (options.command) {
        case CliOptions::Command::Help:
            console.out() << CliOptions::usage() << std::flush;
            return ExitStatus::Success;
        case CliOptions::Command::Version:
            console.out() << CliOptions::version() << std::flush;
            return ExitStatus::Success;
        case CliOptions::Command::None:
            break;
        default: {
            const SignalWatcher signals;
            ExitStatus status = ExitStatus::Internal;
            if (options.command == CliOptions::Command::Probe) {
                status = ProbeCommand::run(options.port, console, signals);
            } else if (options.command == CliOptions::Command::Demo) {
                status = DemoCommand::run(options.output, console, signals);
            } else {
                ExportCommand::Request request;
                request.port = options.port;
                request.output = options.output;
                request.storages = options.storages;
                request.layout = options.layout;
                request.quiet = options.quiet;
                status = ExportCommand::run(request, console, signals);
            }
            if (status == ExitStatus::Cancelled) {
                console.error("stopped.");
            }
            return status;
        }
    }
    console.error(options.error);
    console.err() << "Try 'contaxio-cli --help'.\n" << std::flush;
    return ExitStatus::Usage;
}

}  // namespace

int CliApplication::run(const std::vector<std::string>& arguments, Console& console) {
    try {
        return exitCode(dispatch(CliOptions::parse(arguments), console));
    } catch (const std::bad_alloc&) {
        console.error("out of memory.");
    } catch (const std::exception& failure) {
        console.error(std::string("unexpected failure: ") + failure.what());
    }
    return exitCode(ExitStatus::Internal);
}
