#include "cli/ProbeCommand.h"

#include <memory>

#include "charsets/TextCodec.h"
#include "cli/CommandTrace.h"
#include "cli/PhoneChoice.h"
#include "cli/PhoneSession.h"
#include "cli/ProbeReport.h"
#include "cli/UserMessages.h"
#include "export/OutputFile.h"

namespace {

ExitStatus probe(const std::string& port, Console& console, const SignalWatcher& signals) {
    PhoneSession phone(port, console, signals);
    ProbeReport report;
    report.port = port;
    ExitStatus status = phone.probe();
    report.model = phone.model();
    report.imei = phone.imei();
    report.state = phone.device().state;
    if (status == ExitStatus::Success) {
        status = phone.open();
    }
    if (status == ExitStatus::Success) {
        status = phone.query();
    }
    if (status == ExitStatus::Success) {
        report.queried = true;
        for (const std::u16string& name : phone.charsets()) {
            report.charsets.push_back(text_codec::toUtf8(name));
        }
        report.storages = phone.storages();
    }
    // A phone that named itself is described even when it cannot be read.
    if (status == ExitStatus::Success || !report.model.empty()) {
        console.out() << report.text() << std::flush;
    }
    return status;
}

}  // namespace

ExitStatus ProbeCommand::run(const std::string& port, const std::string& trace, Console& console,
                             const SignalWatcher& signals) {
    CommandTrace traceFile;
    if (!traceFile.begin(trace, port, console)) {
        return ExitStatus::OutputFailed;
    }
    // Without --port, the one attached phone that can be read (the report names its port).
    std::string chosen = port;
    ExitStatus status = ExitStatus::Success;
    if (chosen.empty()) {
        std::string model;
        status = PhoneChoice::choose(console, signals, chosen, model);
    }
    if (status == ExitStatus::Success) {
        status = probe(chosen, console, signals);
    }
    traceFile.end(console);
    return status;
}
