#include "SoakRun.h"

#include <algorithm>
#include <exception>
#include <memory>
#include <optional>
#include <system_error>
#include <utility>

#include "CsvReadBack.h"
#include "ExpectedContactView.h"
#include "ExpectedExport.h"
#include "ExpectedRows.h"
#include "ExportPlan.h"
#include "ExportSinks.h"
#include "FileSizeLimit.h"
#include "SoakPhone.h"
#include "TempDir.h"
#include "charsets/TextCodec.h"
#include "export/ExportFileOutcome.h"
#include "export/FileAccessException.h"
#include "export/OutputFormat.h"
#include "phonesim/Simulator.h"
#include "tasks/PhoneManager.h"

namespace soak {

namespace {

using Clock = std::chrono::steady_clock;
using Kind = SoakFault::Kind;
using namespace std::chrono_literals;

// Every wait is bounded: an export that hangs is a finding, not a stuck run.
constexpr std::chrono::seconds kExportLimit{90};
constexpr std::chrono::seconds kQuestionLimit{60};

std::string resultList(const std::vector<ExportResult>& results) {
    std::string text;
    for (const ExportResult result : results) {
        text += text.empty() ? "" : ", ";
        text += exportResultName(result);
    }
    return "[" + text + "]";
}

std::vector<ExportResult> reportedResults(const export_test::RecordingExportSink& sink) {
    std::vector<ExportResult> results;
    for (const std::string& event : sink.startsAndFinishes()) {
        if (event.rfind("finished(", 0) == 0)
            results.push_back(static_cast<ExportResult>(std::stoi(event.substr(9))));
    }
    return results;
}

std::string describeRow(const test_support::CsvRow& row) {
    std::string text;
    for (const test_support::CsvCell& cell : row)
        text +=
            (cell.quoted ? "\"" : "") + text_codec::toUtf8(cell.text) + (cell.quoted ? "\"," : ",");
    return text;
}

std::string describePhone(const SoakPhone& phone) {
    std::string text = phone.extended ? "extended" : "standard";
    text += " " + text_codec::toUtf8(phone.charset);
    text += phone.layout == OutputFormat::GoogleCsv ? " google" : " outlook";
    for (const SoakStorage& storage : phone.exported)
        text += " " + storage.name + "(" + std::to_string(storage.first) + "-" +
                std::to_string(storage.last) + ": " + std::to_string(storage.contacts.size()) + ")";
    return text;
}

phonesim::Scenario withFault(phonesim::Scenario scenario, const SoakFault& fault) {
    phonesim::Behaviour& behaviour = scenario.behaviour;
    switch (fault.kind) {
        case Kind::Unplug:
            behaviour.unplugAt.emplace_back(fault.command);
            break;
        case Kind::ErrorAnswer:
            behaviour.failing.emplace_back(fault.command);
            break;
        case Kind::Garbage: {
            phonesim::Behaviour::Unsolicited code;
            code.every = fault.every;
            code.text = fault.garbage;
            behaviour.unsolicited.push_back(std::move(code));
            break;
        }
        default:
            break;
    }
    return scenario;
}

// Whether the export's file takes its place when the export is finished: when it wrote a
// contact, or when every storage was read to its end (an empty phone gives an empty file).
bool fileIsSaved(const SoakPhone& phone, const ExpectedOutcome& outcome) {
    return !outcome.rows.empty() ||
           (outcome.results.size() == phone.exported.size() &&
            std::all_of(outcome.results.begin(), outcome.results.end(),
                        [](ExportResult result) { return result == ExportResult::Completed; }));
}

bool isDiskFull(Kind kind) {
    return kind == Kind::DiskFullRetry || kind == Kind::DiskFullAbort;
}

// The output file against the expected rows: read back without the program's code, it must be
// one header and whole rows, exactly those the row check gives for the expected contacts, in
// order. An export that is not saved leaves no file; none leaves its working file behind.
void checkFile(const std::filesystem::path& path, const SoakPhone& phone,
               const ExpectedOutcome& outcome, ExportReport& report) {
    const bool outlook = phone.layout == OutputFormat::OutlookCsv;
    const test_support::CsvRow header =
        outlook ? test_support::expectedOutlookHeader() : test_support::expectedGoogleHeader();
    const auto expectedRow = [&](const ExpectedContact& contact) {
        const ExpectedContactView view(contact);
        return outlook ? test_support::expectedOutlookRow(view, phone.outputCharset)
                       : test_support::expectedGoogleRow(view, phone.outputCharset);
    };
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(path.parent_path(), error)) {
        if (entry.path() != path)
            report.problems.push_back("a file was left beside the output: " +
                                      entry.path().filename().string());
    }
    const bool exists = std::filesystem::exists(path, error);
    if (!fileIsSaved(phone, outcome)) {
        if (exists)
            report.problems.push_back(
                "an export that wrote no contact and did not complete "
                "left a file");
        return;
    }
    const std::string bytes = exists ? test_support::readFileBytes(path) : std::string();
    std::vector<test_support::CsvRow> rows;
    std::string problem;
    if (exists && !test_support::readCsvFile(bytes, phone.outputCharset, rows, problem)) {
        report.brokenFile = true;
        report.problems.push_back("the file is not whole CSV rows: " + problem);
        return;
    }
    if (!outcome.header) {
        // No contact written: no file, or one without rows (its byte-order mark at most).
        if (!rows.empty())
            report.problems.push_back("a file without contacts holds " +
                                      std::to_string(rows.size()) + " rows");
        return;
    }
    if (!exists) {
        report.problems.push_back("no output file");
        return;
    }
    if (rows.empty() || rows.front() != header) {
        report.brokenFile = true;
        report.problems.push_back("the file does not start with the header row");
        return;
    }
    if (rows.size() - 1 != outcome.rows.size())
        report.problems.push_back("the file holds " + std::to_string(rows.size() - 1) +
                                  " contacts, not " + std::to_string(outcome.rows.size()));
    for (std::size_t i = 1; i < rows.size(); ++i) {
        if (rows[i] == header) {
            report.brokenFile = true;
            report.problems.push_back("the header row comes again in row " + std::to_string(i));
            return;
        }
        if (i - 1 < outcome.rows.size() && rows[i] != expectedRow(outcome.rows[i - 1])) {
            report.problems.push_back("row " + std::to_string(i) + " is\n    " +
                                      describeRow(rows[i]) + "\n  not\n    " +
                                      describeRow(expectedRow(outcome.rows[i - 1])));
            return;
        }
    }
}

// One export of the drawn phone with its fault into path, and its checks.
void exportAndCheck(const std::filesystem::path& path, const SoakExport& drawn,
                    ExportReport& report) {
    const SoakPhone& phone = drawn.phone;
    const SoakFault& fault = drawn.fault;
    const ExpectedOutcome& outcome = drawn.outcome;
    try {
        phonesim::Simulator simulator(withFault(phone.scenario, fault));
        export_test::RecordingExportSink exportSink;
        export_test::QuestionSink questions;
        auto manager = std::make_unique<PhoneManager>(text_codec::fromUtf8(simulator.portPath()),
                                                      phone.extended);
        manager->setPath(text_codec::fromUtf8(path.string()));
        manager->setFormat(phone.layout);
        manager->setOutputCharset(phone.outputCharset);

        std::shared_ptr<phonesim::AnswerGate> gate;
        if (fault.kind == Kind::StallBelow || fault.kind == Kind::StallAbove)
            gate = simulator.holdAnswer(phonesim::CommandPattern(fault.command), fault.stall);
        std::optional<test_support::FileSizeLimit> limit;
        if (isDiskFull(fault.kind))
            limit.emplace(fault.fileLimit.value());

        manager->startExport(phone.storageKinds(), phone.charset, exportSink, questions);
        if (limit) {
            if (questions.waitForQuestion(kQuestionLimit)) {
                limit.reset();  // space freed, or not: either way the limit goes
                questions.answer(fault.kind == Kind::DiskFullRetry);
            } else {
                limit.reset();
                report.problems.push_back("the full disk was never asked about");
            }
        }
        if (!exportSink.waitForFinished(outcome.results.size(), kExportLimit + fault.stall)) {
            report.problems.push_back(
                "the export did not end: " + std::to_string(exportSink.finishedCount()) + " of " +
                std::to_string(outcome.results.size()) + " storages finished");
        }

        // The new file takes its place, or nothing changes.
        try {
            const ExportFileOutcome saved = manager->finishExport();
            const ExportFileOutcome expected = fileIsSaved(phone, outcome)
                                                   ? ExportFileOutcome::Saved
                                                   : ExportFileOutcome::Unchanged;
            if (saved != expected)
                report.problems.push_back(
                    std::string("finishing the export gave ") +
                    (saved == ExportFileOutcome::Saved ? "saved" : "not saved"));
        } catch (const FileAccessException& e) {
            report.problems.push_back(std::string("the file could not be put in place: ") +
                                      e.what());
        }

        // The statistics of each storage that wrote contacts count exactly those.
        for (std::size_t s = 0; s < phone.exported.size(); ++s) {
            std::int32_t written = 0;
            std::int32_t entries = 0;
            for (std::size_t r = 0; r < outcome.rows.size(); ++r) {
                if (outcome.rowStorage[r] == static_cast<int>(s)) {
                    ++written;
                    entries += outcome.rows[r].entries;
                }
            }
            const ExportStatistics statistics = manager->exportStatistics(phone.exported[s].kind);
            if (written > 0 &&
                (statistics.contactsWritten != written || statistics.entriesRead != entries))
                report.problems.push_back(
                    phone.exported[s].name +
                    " statistics: " + std::to_string(statistics.contactsWritten) + " contacts, " +
                    std::to_string(statistics.entriesRead) + " entries; expected " +
                    std::to_string(written) + ", " + std::to_string(entries));
        }
        // Whatever the manager reports while it goes counts too.
        manager.reset();
        const std::vector<ExportResult> results = reportedResults(exportSink);
        if (results != outcome.results)
            report.problems.push_back("the storages reported " + resultList(results) + ", not " +
                                      resultList(outcome.results));
        if (questions.questions().size() != (isDiskFull(fault.kind) ? 1u : 0u))
            report.problems.push_back("the user was asked " +
                                      std::to_string(questions.questions().size()) +
                                      " times about write errors");
        report.commands = simulator.transcript();
    } catch (const std::exception& e) {
        report.problems.push_back(std::string("an exception ended the export: ") + e.what());
    }

    checkFile(path, phone, outcome, report);
}

}  // namespace

SoakExport SoakExport::draw(std::mt19937_64& random, bool quick) {
    SoakExport drawn;
    drawn.phone = SoakPhone::draw(random);
    drawn.plan = planExport(drawn.phone);
    const bool anyContact =
        std::any_of(drawn.phone.exported.begin(), drawn.phone.exported.end(),
                    [](const SoakStorage& storage) { return !storage.contacts.empty(); });
    drawn.fault = SoakFault::draw(random, drawn.plan, anyContact, quick);
    drawn.outcome = expectOutcome(drawn.phone, drawn.plan, drawn.fault);
    return drawn;
}

std::string SoakExport::describe() const {
    return describePhone(phone) + "; " + fault.describe();
}

ExportReport SoakRun::run(int number, SoakExport drawn) const {
    const auto begin = Clock::now();
    ExportReport report;
    report.fault = drawn.fault.kind;
    const std::filesystem::path path = folder_ / ("export-" + std::to_string(number) + ".csv");
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
    if (isDiskFull(drawn.fault.kind)) {
        // The disk fills up within the file the program writes for the phone without a fault,
        // once that file passed the checks.
        SoakExport whole = drawn;
        whole.fault = SoakFault();
        whole.outcome = expectOutcome(whole.phone, whole.plan, whole.fault);
        report.description =
            describePhone(drawn.phone) + "; without the fault, before " + drawn.fault.describe();
        exportAndCheck(path, whole, report);
        if (report.problems.empty())
            placeFileLimit(export_test::cutExport(test_support::readFileBytes(path),
                                                  drawn.phone.layout, drawn.phone.outputCharset),
                           drawn.fault, drawn.outcome);
        std::filesystem::remove(path, ignored);
    }
    if (report.problems.empty()) {
        report.description = drawn.describe();
        exportAndCheck(path, drawn, report);
        std::filesystem::remove(path, ignored);
    }
    report.duration = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - begin);
    return report;
}

}  // namespace soak
