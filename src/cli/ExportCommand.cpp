#include "cli/ExportCommand.h"

#include <algorithm>
#include <filesystem>

#include "charsets/CharsetChoice.h"
#include "charsets/TextCodec.h"
#include "cli/ExportRun.h"
#include "cli/ExportSummary.h"
#include "cli/OutputFileCheck.h"
#include "cli/PhoneSession.h"
#include "cli/ProbeReport.h"
#include "cli/UserMessages.h"
#include "common/StorageKind.h"
#include "tasks/PhoneManager.h"

namespace {

bool has(const std::vector<std::int32_t>& kinds, std::int32_t kind) {
    return std::find(kinds.begin(), kinds.end(), kind) != kinds.end();
}

// The path as the summary shows it: absolute, so that one knows where to look.
std::string shownPath(const std::string& path) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.lexically_normal().string();
}

}  // namespace

std::vector<std::int32_t> ExportCommand::chooseStorages(const std::vector<std::int32_t>& wanted,
                                                        const std::vector<std::int32_t>& offered,
                                                        std::int32_t& missing) {
    missing = 0;
    std::vector<std::int32_t> chosen;
    for (const std::int32_t kind : {storage_kind::Memory, storage_kind::Sim}) {
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
    // The output folder is checked first: nobody should wait for the phone to learn that.
    if (const int problem = OutputFileCheck::problem(request.output); problem != 0) {
        console.error(UserMessages::outputProblem(request.output, problem));
        return ExitStatus::OutputFailed;
    }
    PhoneSession phone(request.port, console, signals);
    if (const ExitStatus status = phone.probe(); status != ExitStatus::Success) {
        return status;
    }
    if (const ExitStatus status = phone.open(); status != ExitStatus::Success) {
        return status;
    }
    if (const ExitStatus status = phone.query(); status != ExitStatus::Success) {
        return status;
    }

    std::int32_t missing = 0;
    const std::vector<std::int32_t> storages =
        chooseStorages(request.storages, phone.storages(), missing);
    if (storages.empty()) {
        console.error(missing != 0 ? UserMessages::storageMissing(
                                         missing, ProbeReport::storagesText(phone.storages()))
                                   : UserMessages::noStorages(request.port));
        return ExitStatus::PhoneUnusable;
    }
    const CharsetChoice charset = chooseExportCharset(phone.charsets());
    if (charset.asciiFallback) {
        console.error(UserMessages::asciiFallback());
    }

    PhoneManager& manager = phone.manager();
    manager.setPath(text_codec::fromUtf8(request.output));
    manager.setFormat(request.layout);
    manager.setOutputCharset(charset.outputCharset);
    manager.setCharset(charset.name);

    const ProgressDisplay::Mode mode = request.quiet             ? ProgressDisplay::Mode::Quiet
                                       : console.errIsTerminal() ? ProgressDisplay::Mode::Bar
                                                                 : ProgressDisplay::Mode::Lines;
    ExportRun run(phone, console, signals, mode);
    const std::vector<ExportResult> results = run.run(storages, charset.name, request.output);
    if (results.empty()) {
        return ExitStatus::OutputFailed;
    }

    ExportSummary summary;
    summary.model = phone.model();
    summary.imei = phone.imei();
    for (const std::int32_t kind : {storage_kind::Memory, storage_kind::Sim}) {
        summary.storages.push_back({kind, has(storages, kind), manager.exportStatistics(kind)});
    }
    summary.path = shownPath(request.output);
    summary.charsetName = text_codec::toUtf8(charset.name);
    summary.outputCharset = charset.outputCharset;
    console.out() << summary.text() << std::flush;

    for (std::size_t i = 0; i < results.size(); ++i) {
        if (results[i] == ExportResult::Disconnected) {
            console.error(UserMessages::phoneDisconnected(request.port));
            break;
        }
        if (results[i] == ExportResult::Failed) {
            console.error(UserMessages::storageFailed(storages[i]));
        }
    }
    const ExitStatus status = exitStatusOf(results);
    if (run.stopped() && status != ExitStatus::Success) {
        return ExitStatus::Cancelled;
    }
    return status;
}
