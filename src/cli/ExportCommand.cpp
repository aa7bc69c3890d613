#include "cli/ExportCommand.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <memory>

#include "charsets/CharsetChoice.h"
#include "charsets/TextCodec.h"
#include "cli/CommandTrace.h"
#include "cli/ExportRun.h"
#include "cli/ExportSummary.h"
#include "cli/OutputFileCheck.h"
#include "cli/PhoneChoice.h"
#include "cli/PhoneSession.h"
#include "cli/ProbeReport.h"
#include "cli/UserMessages.h"
#include "common/StorageKind.h"
#include "export/OutputFile.h"
#include "tasks/PhoneManager.h"

namespace {

// What the phone manager is told to write into for standard output: the descriptor itself.
constexpr char16_t kStandardOutput[] = u"/dev/stdout";

bool has(const std::vector<StorageKind>& kinds, StorageKind kind) {
    return std::find(kinds.begin(), kinds.end(), kind) != kinds.end();
}

// The path as the summary shows it: absolute, so that one knows where to look.
std::string shownPath(const std::string& path) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.lexically_normal().string();
}

}  // namespace

bool ExportCommand::isStandardOutput(const std::string& output) {
    return output == "-" || OutputFile::descriptorNamed(output) == 1;
}

std::vector<StorageKind> ExportCommand::chooseStorages(const std::vector<StorageKind>& wanted,
                                                       const std::vector<StorageKind>& offered,
                                                       StorageKind& missing) {
    missing = StorageKind::Unknown;
    std::vector<StorageKind> chosen;
    for (const StorageKind kind : {StorageKind::Memory, StorageKind::Sim}) {
        const bool asked = wanted.empty() || has(wanted, kind);
        if (!asked) {
            continue;
        }
        if (has(offered, kind)) {
            chosen.push_back(kind);
        } else if (!wanted.empty()) {
            missing = kind;
            return {};
        }
    }
    return chosen;
}

ExitStatus ExportCommand::run(const Request& request, Console& console,
                              const SignalWatcher& signals) {
    // The output is tried first: nobody should wait for the phone to learn that it cannot be
    // written, and a terminal (the phone's own port above all) is never written.
    const bool toStandardOutput = isStandardOutput(request.output);
    if (toStandardOutput) {
        if (::isatty(STDOUT_FILENO) == 1) {
            console.report(UserMessages::standardOutputIsTerminal(request.layout));
            return ExitStatus::OutputFailed;
        }
        console.resultsToErrors();
    } else if (const OutputFileCheck::Problem problem = OutputFileCheck::problem(request.output)) {
        console.report(problem.terminal ? UserMessages::outputIsTerminal(request.output)
                                        : UserMessages::outputProblem(request.output, problem.code,
                                                                      problem.existingFile));
        return ExitStatus::OutputFailed;
    }
    CommandTrace trace;
    if (!trace.begin(request.trace, request.port, console)) {
        return ExitStatus::OutputFailed;
    }

    // Without --port, the one attached phone that can be read.
    Request chosen = request;
    ExitStatus status = ExitStatus::Success;
    if (chosen.port.empty()) {
        std::string model;
        status = PhoneChoice::choose(console, signals, chosen.port, model);
        if (status == ExitStatus::Success && !request.quiet) {
            console.report(UserMessages::phoneChosen(chosen.port, model));
        }
    }
    if (status == ExitStatus::Success) {
        PhoneSession phone(chosen.port, console, signals);
        status = exportFrom(phone, chosen, toStandardOutput, console, signals);
    }
    trace.end(console);
    return status;
}

ExitStatus ExportCommand::exportFrom(PhoneSession& phone, const Request& request,
                                     bool toStandardOutput, Console& console,
                                     const SignalWatcher& signals) {
    if (const ExitStatus status = phone.probe(); status != ExitStatus::Success) {
        return status;
    }
    if (const ExitStatus status = phone.open(); status != ExitStatus::Success) {
        return status;
    }
    if (const ExitStatus status = phone.query(); status != ExitStatus::Success) {
        return status;
    }

    StorageKind missing = StorageKind::Unknown;
    const std::vector<StorageKind> storages =
        chooseStorages(request.storages, phone.storages(), missing);
    if (storages.empty()) {
        console.report(missing != StorageKind::Unknown
                           ? UserMessages::storageMissing(
                                 request.port, missing, ProbeReport::storagesText(phone.storages()))
                           : UserMessages::noStorages(request.port));
        return ExitStatus::PhoneUnusable;
    }
    // Another maker's phone is read in the richest charset it offers of those such phones use.
    const CharsetChoice charset = chooseExportCharset(phone.charsets(), phone.manager().maker());
    if (charset.asciiFallback) {
        console.report(UserMessages::asciiFallback(request.port));
    }

    ExportPlan plan;
    plan.storages = storages;
    plan.layout = request.layout;
    plan.path =
        toStandardOutput ? std::u16string(kStandardOutput) : text_codec::fromUtf8(request.output);
    plan.outputCharset = charset.outputCharset;
    plan.phoneCharset = charset.name;
    plan.imei = text_codec::fromUtf8(phone.imei());
    const ProgressDisplay::Mode mode = request.quiet             ? ProgressDisplay::Mode::Quiet
                                       : console.errIsTerminal() ? ProgressDisplay::Mode::Bar
                                                                 : ProgressDisplay::Mode::Lines;
    ExportRun run(phone, console, signals, mode, request.output, toStandardOutput);
    if (!run.run(plan)) {
        return ExitStatus::OutputFailed;
    }
    run.finishOutput();

    ExportSummary summary;
    summary.model = phone.model();
    summary.imei = phone.imei();
    summary.outcome = phone.exportSession().outcome();
    summary.offered = phone.storages();
    summary.path = shownPath(request.output);
    summary.standardOutput = toStandardOutput;
    console.out() << summary.text() << std::flush;

    for (const StorageOutcome& storage : summary.outcome.storages) {
        if (storage.result == ExportResult::Disconnected) {
            console.report(UserMessages::phoneDisconnected(request.port));
            break;
        }
        if (storage.result == ExportResult::Failed) {
            console.report(UserMessages::storageFailed(request.port, storage.kind));
        }
    }
    const ExitStatus status = exitStatusOf(summary.outcome.results());
    if (summary.outcome.stopped && status != ExitStatus::Success) {
        return ExitStatus::Cancelled;
    }
    return status;
}
