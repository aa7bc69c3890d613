#include "cli/CliApplication.h"

#include <exception>
#include <new>

#include "cli/CliOptions.h"
#include "cli/DemoCommand.h"
#include "cli/ExitStatus.h"
#include "cli/ExportCommand.h"
#include "cli/ListCommand.h"
#include "cli/ProbeCommand.h"
#include "cli/SignalWatcher.h"
#include "cli/UserMessages.h"

namespace {

ExitStatus runCommand(const CliOptions& options, Console& console) {
    const SignalWatcher signals;
    ExitStatus status = ExitStatus::Internal;
    switch (options.command) {
        case CliOptions::Command::List:
            status = ListCommand::run(options.json, options.watch, options.all, console, signals);
            break;
        case CliOptions::Command::Probe:
            status = ProbeCommand::run(options.port, options.trace, console, signals);
            break;
        case CliOptions::Command::Demo:
            status = DemoCommand::run(options.output, options.layout, options.quiet, options.trace,
                                      console, signals);
            break;
        default: {
            ExportCommand::Request request;
            request.port = options.port;
            request.output = options.output;
            request.storages = options.storages;
            request.layout = options.layout;
            request.quiet = options.quiet;
            request.trace = options.trace;
            status = ExportCommand::run(request, console, signals);
        }
    }
    if (status == ExitStatus::Cancelled) {
        console.report(UserMessages::stopped());
    }
    return status;
}

ExitStatus dispatch(const CliOptions& options, Console& console) {
    switch (options.command) {
        case CliOptions::Command::Help:
            console.out() << options.help;
            return ExitStatus::Success;
        case CliOptions::Command::Version:
            console.out() << CliOptions::version();
            return ExitStatus::Success;
        case CliOptions::Command::None:
            console.report(
                UserMessages::usage(options.error, CliOptions::commandName(options.errorCommand)));
            return ExitStatus::Usage;
        default:
            return runCommand(options, console);
    }
}

}  // namespace

int CliApplication::run(const std::vector<std::string>& arguments, Console& console) {
    ExitStatus status = ExitStatus::Internal;
    try {
        status = dispatch(CliOptions::parse(arguments), console);
    } catch (const std::bad_alloc&) {
        console.report(UserMessages::outOfMemory());
    } catch (const std::exception& failure) {
        console.report(UserMessages::unexpected(failure.what()));
    }
    // What went to standard output (a summary, --help) must have arrived, as with any tool
    // whose output a script reads.
    if (const int failure = console.finishOutput(); failure != 0) {
        console.report(UserMessages::standardOutputFailed(failure));
        if (status == ExitStatus::Success) {
            status = ExitStatus::OutputFailed;
        }
    }
    return exitCode(status);
}
