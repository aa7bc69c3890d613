#include "cli/DemoCommand.h"

#include <exception>
#include <memory>

#include "cli/ExportCommand.h"
#include "phonesim/BuiltInScenarios.h"
#include "phonesim/Simulator.h"

ExitStatus DemoCommand::run(const std::string& output, Console& console,
                            const SignalWatcher& signals) {
    std::unique_ptr<phonesim::Simulator> phone;
    try {
        phone = std::make_unique<phonesim::Simulator>(phonesim::BuiltInScenarios::demo());
    } catch (const std::exception& failure) {
        console.error(std::string("the simulated phone cannot be started: ") + failure.what());
        return ExitStatus::Internal;
    }
    console.error("demo: a simulated phone (model " + phone->scenario().phone.model +
                  ") answers on " + phone->portPath() + "; exporting its contacts to " + output);
    ExportCommand::Request request;
    request.port = phone->portPath();
    request.output = output;
    return ExportCommand::run(request, console, signals);
}
