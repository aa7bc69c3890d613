// The wizard's UI thread during an export: the exporting page (shown, on Qt's offscreen platform
// unless another one is chosen) exports 1,000 contacts from a simulated phone that answers at
// full speed, while every event the UI thread handles is timed. Prints the longest event, the
// longest stretch the UI thread spent without waiting for new events, the number of events and
// the export's wall time, over several runs.
//
//   bench_ui_export            five runs
//   bench_ui_export RUNS       that many
#include <unistd.h>

#include <QAbstractButton>
#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QEvent>
#include <QWizard>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/AppContext.h"
#include "app/LanguageManager.h"
#include "charsets/TextCodec.h"
#include "common/StorageKind.h"
#include "phonesim/ScenarioGenerator.h"
#include "phonesim/Simulator.h"
#include "ui/CWizardExporting.h"
#include "ui/IWizardSheet.h"
#include "ui/QtUserDialogs.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

constexpr std::size_t kContacts = 1000;
constexpr int kDefaultRuns = 5;

double milliseconds(Clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

// Times every event delivered on the UI thread; an event handled inside another one (a nested
// event loop, a synchronous send) counts as part of the outer one.
class TimingApplication final : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override {
        if (!measuring_ || depth_ > 0) {
            return QApplication::notify(receiver, event);
        }
        ++depth_;
        const auto start = Clock::now();
        const bool handled = QApplication::notify(receiver, event);
        const auto took = Clock::now() - start;
        --depth_;
        ++events_;
        if (took > longest_) {
            longest_ = took;
            longestType_ = event->type();
        }
        return handled;
    }

    void startMeasuring() {
        measuring_ = true;
        events_ = 0;
        longest_ = {};
        longestType_ = QEvent::None;
    }
    void stopMeasuring() { measuring_ = false; }

    Clock::duration longest() const { return longest_; }
    QEvent::Type longestType() const { return longestType_; }
    long events() const { return events_; }

private:
    bool measuring_ = false;
    int depth_ = 0;
    long events_ = 0;
    Clock::duration longest_{};
    QEvent::Type longestType_ = QEvent::None;
};

// The stretches the UI thread is awake between two waits for events.
class BusyStretches {
public:
    explicit BusyStretches(QAbstractEventDispatcher* dispatcher) {
        QObject::connect(dispatcher, &QAbstractEventDispatcher::awake, [this] {
            awake_ = Clock::now();
            isAwake_ = true;
        });
        QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, [this] {
            if (isAwake_ && measuring_) {
                longest_ = std::max(longest_, Clock::now() - awake_);
            }
            isAwake_ = false;
        });
    }

    void start() {
        measuring_ = true;
        longest_ = {};
    }
    void stop() { measuring_ = false; }
    Clock::duration longest() const { return longest_; }

private:
    Clock::time_point awake_;
    bool isAwake_ = false;
    bool measuring_ = false;
    Clock::duration longest_{};
};

// A sheet with the exporting page alone; Next, pressed by the page at the end, ends the run.
class BenchSheet final : public QWizard, public IWizardSheet {
public:
    BenchSheet() { setWizardStyle(QWizard::ModernStyle); }

    void setCaption(const QString& caption) override { setWindowTitle(caption); }
    void setWizardButtons(unsigned buttons) override {
        button(QWizard::BackButton)->setEnabled((buttons & IWizardSheet::BackButton) != 0);
        button(QWizard::NextButton)->setEnabled((buttons & IWizardSheet::NextButton) != 0);
    }
    void pressNext() override {
        nextPressed = true;
        QApplication::exit(0);
    }
    void switchToPage(WizardPageId) override { QApplication::exit(1); }
    WizardPageId currentPageId() const override { return WizardPageId::Exporting; }
    void refreshButtonLabels() override {}
    void notifyDeviceRemoved() override {}

    bool nextPressed = false;
};

struct Run {
    double longestEventMs = 0;
    QEvent::Type longestEventType = QEvent::None;
    double longestStretchMs = 0;
    double startMs = 0;
    double exportMs = 0;
    long events = 0;
    ExportStatistics statistics;
};

Run exportOnce(TimingApplication& application, BusyStretches& stretches,
               const phonesim::Scenario& scenario, const fs::path& output) {
    LanguageManager languages;
    languages.scan({fs::path(CONTAXIO_DATA_DIR) / "lng"});
    languages.load(1033);
    AppContext app(AppEnvironment{}, &languages);
    phonesim::Simulator phone(scenario);
    // Selecting the phone switches its mode (at least a second, on purpose): not measured.
    app.selectDevice(text_codec::fromUtf8(phone.portPath()), u"Korvanta Z3",
                     scenario.phone.extended);
    app.setDeviceMemorySelected(true);
    app.setCharsetName(u"UCS2");
    app.setOutputFormatAndCharset(OutputFormat::GoogleCsv, 0);
    app.setOutputPath(text_codec::fromUtf8(output.string()));

    QtUserDialogs dialogs;
    BenchSheet sheet;
    auto* page = new CWizardExporting(app, sheet, dialogs);
    sheet.addPage(page);
    sheet.resize(620, 460);
    sheet.show();
    QApplication::processEvents();

    Run run;
    application.startMeasuring();
    stretches.start();
    const auto start = Clock::now();
    page->onSetActive();
    run.startMs = milliseconds(Clock::now() - start);
    if (!sheet.nextPressed) {
        QApplication::exec();
    }
    run.exportMs = milliseconds(Clock::now() - start);
    stretches.stop();
    application.stopMeasuring();
    run.longestEventMs = milliseconds(application.longest());
    run.longestEventType = application.longestType();
    run.longestStretchMs = milliseconds(stretches.longest());
    run.events = application.events();
    run.statistics = app.exportStatistics(StorageKind::Memory);
    return run;
}

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : kDefaultRuns;
    TimingApplication application(argc, argv);
    BusyStretches stretches(QAbstractEventDispatcher::instance());

    phonesim::ScenarioGenerator::Options options;
    options.contacts = kContacts;
    options.extended = true;
    const phonesim::Scenario scenario = phonesim::ScenarioGenerator::generate(options);
    const fs::path folder =
        fs::temp_directory_path() / ("contaxio-ui-bench-" + std::to_string(::getpid()));
    fs::create_directories(folder);

    std::printf(
        "UI thread during the export of %zu contacts (extended phonebook, full speed), "
        "exporting page shown on the %s platform\n",
        kContacts, qPrintable(QGuiApplication::platformName()));
    std::vector<double> longest;
    int status = 0;
    for (int i = 0; i < runs; ++i) {
        const Run run = exportOnce(application, stretches, scenario, folder / "contacts.csv");
        if (run.statistics.result != ExportResult::Completed ||
            run.statistics.contactsWritten != static_cast<std::int32_t>(kContacts)) {
            std::printf("  run %d: the export did not complete (%d contacts written)\n", i + 1,
                        run.statistics.contactsWritten);
            status = 1;
        }
        std::printf(
            "  run %d: longest event %.2f ms (type %d), longest busy stretch %.2f ms, "
            "start %.2f ms, %ld events, export %.0f ms\n",
            i + 1, run.longestEventMs, static_cast<int>(run.longestEventType), run.longestStretchMs,
            run.startMs, run.events, run.exportMs);
        longest.push_back(std::max(run.longestEventMs, run.longestStretchMs));
    }
    fs::remove_all(folder);
    std::sort(longest.begin(), longest.end());
    std::printf(
        "UI thread busy at most %.2f ms at a time (median of runs %.2f ms); target < 50 ms\n",
        longest.back(), longest[longest.size() / 2]);
    return status;
}
