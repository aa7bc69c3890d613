#include "cli/DemoCommand.h"

#include <exception>
#include <memory>

#include "cli/ExportCommand.h"
#include "cli/UserMessages.h"
#include "phonesim/BuiltInScenarios.h"
#include "phonesim/Simulator.h"

ExitStatus DemoCommand::run(const std::string& output, OutputFormat layout, bool quiet,
                            const std::string& trace, Console& console,
                            const SignalWatcher& signals) {
    std::unique_ptr<phonesim::Simulator> phone;
    try {
        phone = std::make_unique<phonesim::Simulator>(phonesim::BuiltInScenarios::demo());
    } catch (const std::exception& failure) {
        console.report(UserMessages::unexpected(std::string("the simulated phone cannot be "
                                                            "started: ") +
                                                failure.what()));
        return ExitStatus::Internal;
    }
    if (!quiet) {
        console.report(UserMessages::demoStarted(
            phone->scenario().phone.model, phone->portPath(),
            ExportCommand::isStandardOutput(output) ? "standard output" : output));
    }
    ExportCommand::Request request;
    request.port = phone->portPath();
    request.output = output;
    request.layout = layout;
    request.quiet = quiet;
    request.trace = trace;
    return ExportCommand::run(request, console, signals);
}
