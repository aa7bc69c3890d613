#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "app/AliasStore.h"
#include "app/AppEnvironment.h"
#include "charsets/PhoneMaker.h"
#include "common/ExportStatistics.h"
#include "common/StopKind.h"
#include "common/StorageKind.h"
#include "export/OutputFormat.h"
#include "session/ExportSession.h"

class IHelpViewer;
class IMessageBox;
class IPHBGetStoragesSink;
class IPhoneGetCharsetsSink;
class LanguageManager;
class PhoneManager;

// The application object: the user's choices, the selected phone and its PhoneManager, the
// phone aliases, the settings file and the help folder. It lives for the whole run; every
// wizard page works through it and never talks to the PhoneManager directly.
//
// Used on the user-interface thread, with one exception: the contacts source page applies the
// phone's charsets (setCharsetName, setOutputFormatAndCharset) on the phone's worker thread.
// Those values are therefore kept under a lock, and the PhoneManager is swapped out under the
// same lock and destroyed outside it, so the worker is never waited for while it waits.
class AppContext {
public:
    // With the process's environment and language manager.
    AppContext();
    // With the given environment and language manager (not owned; null: the process's).
    explicit AppContext(AppEnvironment environment, LanguageManager* languageManager = nullptr);
    ~AppContext();
    AppContext(const AppContext&) = delete;
    AppContext& operator=(const AppContext&) = delete;

    const AppEnvironment& environment() const { return environment_; }
    LanguageManager& languageManager() const { return *languageManager_; }

    // --- Settings ------------------------------------------------------------------------

    // Remembers the settings file (also for the aliases) and reads section "Common": the
    // output path, the welcome flag, the language (into the language manager, as its current
    // language), the output format and the output charset; missing keys give their defaults.
    void loadSettings(const std::filesystem::path& settingsFile);
    // Writes all five keys of section "Common"; a failure is not reported.
    void saveSettings();
    const std::filesystem::path& settingsFilePath() const { return settingsFilePath_; }

    // --- Operations of the wizard pages ---------------------------------------------------

    std::u16string text(std::uint32_t id) const;

    bool showWelcome() const { return showWelcome_; }
    void setShowWelcome(bool value) { showWelcome_ = value; }

    void setDeviceMemorySelected(bool value) { deviceMemorySelected_ = value; }
    void setSimSelected(bool value) { simSelected_ = value; }
    bool deviceMemorySelected() const { return deviceMemorySelected_; }
    bool simSelected() const { return simSelected_; }

    std::u16string outputPath() const { return outputPath_; }
    std::u16string deviceName() const { return deviceName_; }
    std::u16string devicePort() const { return devicePort_; }

    // Also gives the path to the PhoneManager, if there is one. Returns true.
    bool setOutputPath(const std::u16string& path);

    // Clears the storage choice, takes the phone's name and port, and makes a PhoneManager for
    // the port (which blocks for at least a second for the maker's phones), replacing the
    // previous one. Throws serial_comm::SerialPortException when that fails; the previous
    // PhoneManager then stays. otherMaker: a phone of another maker, as its probe found it.
    void selectDevice(const std::u16string& portName, const std::u16string& displayName,
                      bool extendedPhonebook, bool otherMaker = false);
    // The selected phone's IMEI as the device list found it, which names the vCards' UIDs of
    // its exports; selectDevice and releaseDevice forget it (empty: the phone told none).
    void setDeviceImei(const std::u16string& imei) { deviceImei_ = imei; }
    std::u16string deviceImei() const { return deviceImei_; }
    // Whose phone the selected one is (the maker's while none is selected). May be called on
    // the phone's worker thread.
    PhoneMaker phoneMaker() const;
    // Forgets the port and deletes the PhoneManager, after finishing an export that has not
    // been finished (ExportSession::release; a failure to do so is not reported here).
    void releaseDevice();
    // Compares the port name with the selected phone's without regard to ASCII letter case.
    bool isCurrentDevice(const std::u16string& portName) const;
    bool hasPhoneManager() const { return phoneManager_ != nullptr; }

    // Closes the selected phone's port without deleting its PhoneManager.
    void closePhonePort();

    // Queue the phone's queries; nothing happens without a PhoneManager.
    void requestStorages(IPHBGetStoragesSink& sink);
    void requestCharsets(IPhoneGetCharsetsSink& sink);

    std::u16string charsetName() const;
    // Also hands the name to the PhoneManager, if there is one. May be called on the phone's
    // worker thread.
    void setCharsetName(const std::u16string& name);

    // (output format, output charset)
    std::pair<OutputFormat, std::int32_t> outputFormatAndCharset() const;
    void setOutputFormatAndCharset(OutputFormat format, std::int32_t charset);

    bool needsPhoneQuery() const { return needsPhoneQuery_; }
    void setNeedsPhoneQuery(bool value) { needsPhoneQuery_ = value; }

    // Starts the export session (exportSession()) on the PhoneManager with the chosen
    // storages, the phone's memory first, then the SIM, into the output path in the output
    // format and charset, reading the phone in charsetName, with the phone's IMEI; its reports
    // reach listener through post. Throws FileAccessException when the output file cannot be
    // created. False (nothing happens) without a PhoneManager.
    bool startExport(IExportSessionListener& listener, ExportSession::Poster post);

    // The export that startExport began: its questions, the file at its end, its summary.
    ExportSession& exportSession() { return exportSession_; }
    const ExportSession& exportSession() const { return exportSession_; }

    // No export runs: every storage of the last one has ended (or one ended it), or none began.
    bool noStorageRemaining() const { return !exportSession_.running(); }
    // True once after each startExport.
    bool takeExportStarted();

    // Pause or go on (the continue gate); stop the export: StopKind::ByUser is the user's
    // cancel (ExportSession::stop); any other kind closes the port first. Nothing happens
    // without a PhoneManager.
    void pauseExport();
    void resumeExport();
    void stopExport(StopKind kind);

    // The statistics of a storage kind in the current export; all zero without one.
    ExportStatistics exportStatistics(StorageKind storageKind) const;

    AliasStore& aliases() { return aliases_; }

    std::vector<std::uint16_t> languages() const;
    std::u16string languageDisplayName(std::uint16_t id) const;
    std::uint16_t language() const;
    void setLanguage(std::uint16_t id);

    // The help viewer the user interface supplies; not owned, null (the start) for none.
    void setHelpViewer(IHelpViewer* viewer) { helpViewer_ = viewer; }
    const std::filesystem::path& helpFolder() const { return helpFolder_; }

    // Opens a help topic: the page of the topic (see helpPage) in the folder that text 10278
    // names inside the help folder. When there is no such folder, topic, page or viewer, or the
    // viewer fails, the owner shows text 10280 under caption 10281.
    void showHelp(std::int32_t topic, IMessageBox& owner) const;

    // The page file and its anchor for a help topic id (0 to 8 the pages', 9 to 25 the causes' of
    // causes/CauseTable.h); false for other ids.
    static bool helpPage(std::int32_t topic, std::string& file, std::string& anchor);

private:
    AppEnvironment environment_;

    std::u16string outputPath_;
    std::u16string deviceName_;
    bool showWelcome_ = true;
    bool simSelected_ = false;
    bool deviceMemorySelected_ = false;
    // Before the PhoneManager, so that it outlives the manager's worker, which reports to it.
    ExportSession exportSession_;
    std::unique_ptr<PhoneManager> phoneManager_;
    bool exportStarted_ = false;
    // charsetName_, outputFormat_, charset_ and phoneMaker_, and swaps of phoneManager_.
    mutable std::mutex choicesMutex_;
    std::u16string charsetName_ = u"UCS2";
    OutputFormat outputFormat_{};
    std::int32_t charset_ = 0;
    PhoneMaker phoneMaker_ = PhoneMaker::Own;
    std::u16string devicePort_;
    std::u16string deviceImei_;
    LanguageManager* languageManager_;
    AliasStore aliases_;
    std::filesystem::path helpFolder_;
    bool needsPhoneQuery_ = true;
    std::filesystem::path settingsFilePath_ = "settings.ini";
    IHelpViewer* helpViewer_ = nullptr;
};
