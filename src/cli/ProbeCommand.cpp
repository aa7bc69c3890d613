#include "cli/ProbeCommand.h"

#include "charsets/TextCodec.h"
#include "cli/PhoneSession.h"
#include "cli/ProbeReport.h"

ExitStatus ProbeCommand::run(const std::string& port, Console& console,
                             const SignalWatcher& signals) {
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
