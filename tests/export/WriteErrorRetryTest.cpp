#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <exception>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "CsvFiles.h"
#include "FileSizeLimit.h"
#include "common/Event.h"
#include "export/CSVExportManager.h"
#include "export/Contact.h"
#include "export/ContactField.h"
#include "export/ContactUids.h"
#include "export/DiskSpaceException.h"
#include "export/FileAccessException.h"
#include "export/OutputFormat.h"

namespace {

using namespace csv_test;
using namespace std::chrono_literals;
namespace fs = std::filesystem;
using synchronization::Event;
using test_support::FileSizeLimit;
using test_support::readFileBytes;
using test_support::TempDir;

const std::string kHeader =
    "\"First Name\",\"Middle Name\",\"Last Name\",\"E-mail Address\",\"Primary Phone\","
    "\"Home Phone\",\"Mobile Phone\",\"Pager\",\"Home Fax\",\"Business Phone\"\r\n";

Contact named(const std::u16string& givenName) {
    Contact contact;
    contact.setText(ContactField::GivenName, givenName);
    return contact;
}

// Plays the user interface: keeps the reaction it is given (dropping the previous one) and
// lets the test answer it from the main thread.
class QuestionSink : public IExportInterruptionSink {
public:
    void onExportInterrupted(bool accessError,
                             std::unique_ptr<IExportInterruptionReaction> reaction) override {
        {
            std::lock_guard lock(mutex_);
            questions_.push_back(accessError);
            codes_.push_back(reaction->failureCode());
            reaction_ = std::move(reaction);
        }
        asked_.signal();
    }

    // Waits for the next question; false when none came in time.
    bool waitForQuestion() { return asked_.wait(10s); }

    void answer(bool retry) {
        std::lock_guard lock(mutex_);
        if (retry) {
            reaction_->retry();
        } else {
            reaction_->abort();
        }
    }

    // Drops the current reaction without answering it, as a sink that goes away would.
    void drop() {
        std::lock_guard lock(mutex_);
        reaction_.reset();
    }

    std::vector<bool> questions() {
        std::lock_guard lock(mutex_);
        return questions_;
    }

    // The errno each question came with.
    std::vector<int> codes() {
        std::lock_guard lock(mutex_);
        return codes_;
    }

private:
    std::mutex mutex_;
    std::vector<bool> questions_;
    std::vector<int> codes_;
    std::unique_ptr<IExportInterruptionReaction> reaction_;
    Event asked_{Event::Mode::AutoReset};
};

// Runs a job on a worker thread and keeps what it threw. On destruction any pending question
// is dropped (which gives up) so that the thread always ends.
class Worker {
public:
    Worker(QuestionSink& sink, std::function<void()> job) : sink_(sink) {
        thread_ = std::thread([this, job = std::move(job)] {
            try {
                job();
            } catch (...) {
                error_ = std::current_exception();
            }
            finished_.signal();
        });
    }
    ~Worker() {
        while (!finished_.wait(10ms)) {
            sink_.drop();
        }
        thread_.join();
    }

    bool finishes() { return finished_.wait(10s); }
    bool stillRunning() { return !finished_.wait(50ms); }
    std::exception_ptr error() const { return error_; }

private:
    QuestionSink& sink_;
    std::exception_ptr error_;
    Event finished_{Event::Mode::ManualReset};
    std::thread thread_;
};

template <typename Exception>
bool holds(const std::exception_ptr& error) {
    try {
        if (error) {
            std::rethrow_exception(error);
        }
    } catch (const Exception&) {
        return true;
    } catch (...) {
    }
    return false;
}

TEST(WriteErrorRetry, HeaderFailureRetriedWritesHeaderAndRowOnce) {
    TempDir dir;
    const auto path = dir.file("out.csv");
    QuestionSink sink;
    CSVExportManager manager(OutputFormat::OutlookCsv, u16(path), 1);
    manager.setInterruptionSink(&sink);
    {
        std::optional<FileSizeLimit> limit(std::in_place, kUtf8Mark.size() + 20);
        Worker worker(sink, [&] { manager.writeContact(named(u"Ann")); });
        ASSERT_TRUE(sink.waitForQuestion());
        EXPECT_TRUE(worker.stillRunning());
        EXPECT_EQ(readFileBytes(path), kUtf8Mark);  // the part written was cut off
        limit.reset();
        sink.answer(true);
        ASSERT_TRUE(worker.finishes());
        EXPECT_FALSE(worker.error());
    }
    EXPECT_EQ(sink.questions(), std::vector<bool>{true});
    EXPECT_EQ(readFileBytes(path), kUtf8Mark + kHeader + outlookRow({{1, "\"Ann\""}}));
}

TEST(WriteErrorRetry, RowFailureRetriedWritesOnlyTheRowAgain) {
    TempDir dir;
    const auto path = dir.file("out.csv");
    QuestionSink sink;
    CSVExportManager manager(OutputFormat::OutlookCsv, u16(path), 1);
    manager.setInterruptionSink(&sink);
    manager.writeContact(named(u"Ann"));
    const std::string before = kUtf8Mark + kHeader + outlookRow({{1, "\"Ann\""}});
    ASSERT_EQ(readFileBytes(path), before);
    {
        std::optional<FileSizeLimit> limit(std::in_place, before.size() + 10);
        Worker worker(sink, [&] { manager.writeContact(named(u"Bob")); });
        ASSERT_TRUE(sink.waitForQuestion());
        EXPECT_EQ(readFileBytes(path), before);
        limit.reset();
        // A second answer changes nothing: the first one counts.
        sink.answer(true);
        sink.answer(false);
        ASSERT_TRUE(worker.finishes());
        EXPECT_FALSE(worker.error());
    }
    EXPECT_EQ(readFileBytes(path), before + outlookRow({{1, "\"Bob\""}}));
}

TEST(WriteErrorRetry, AVCardCutOffByAFailureIsWrittenWholeOnRetry) {
    TempDir dir;
    const auto path = dir.file("contacts.vcf");
    QuestionSink sink;
    CSVExportManager manager(OutputFormat::VCard, u16(path), 0, u"351234567890123");
    manager.setInterruptionSink(&sink);
    Contact ann = named(u"Ann");
    ann.setStorage(StorageKind::Memory);
    ann.setFirstIndex(1);
    Contact bob = named(u"Bob");
    bob.setStorage(StorageKind::Memory);
    bob.setFirstIndex(2);
    bob.addPhone(contact_kind::MobilePhone, u"+491701234567");
    manager.writeContact(ann);
    const std::string before = readFileBytes(path);
    ASSERT_EQ(before.rfind("BEGIN:VCARD\r\n", 0), 0u);
    {
        std::optional<FileSizeLimit> limit(std::in_place, before.size() + 40);
        Worker worker(sink, [&] { manager.writeContact(bob); });
        ASSERT_TRUE(sink.waitForQuestion());
        EXPECT_EQ(readFileBytes(path), before) << "a part of the card stayed";
        limit.reset();
        sink.answer(true);
        ASSERT_TRUE(worker.finishes());
        EXPECT_FALSE(worker.error());
    }
    // The card that failed keeps its name-based UID on the retry.
    EXPECT_EQ(readFileBytes(path), before +
                                       "BEGIN:VCARD\r\nVERSION:3.0\r\nN:;Bob;;;\r\nFN:Bob\r\n"
                                       "TEL;TYPE=CELL:+491701234567\r\nUID:" +
                                       ContactUids::nameBased("351234567890123/1/2") +
                                       "\r\nEND:VCARD\r\n");
}

TEST(WriteErrorRetry, TwoFailuresAskTwiceAndAbortThrowsTheWritersException) {
    TempDir dir;
    const auto path = dir.file("out.csv");
    fs::create_symlink("/dev/full", path);
    QuestionSink sink;
    CSVExportManager manager(OutputFormat::GoogleCsv, u16(path), 2);
    manager.setInterruptionSink(&sink);

    Worker worker(sink, [&] { manager.writeContact(named(u"Ann")); });
    ASSERT_TRUE(sink.waitForQuestion());
    sink.answer(true);
    ASSERT_TRUE(sink.waitForQuestion());
    EXPECT_TRUE(worker.stillRunning());
    sink.answer(false);
    ASSERT_TRUE(worker.finishes());
    EXPECT_TRUE(holds<DiskSpaceException>(worker.error()));
    EXPECT_EQ(sink.questions(), (std::vector<bool>{false, false}));
    EXPECT_EQ(sink.codes(), (std::vector<int>{ENOSPC, ENOSPC}));
}

TEST(WriteErrorRetry, AbortAfterAnAccessFailureThrowsFileAccessException) {
    TempDir dir;
    const auto path = dir.file("out.csv");
    QuestionSink sink;
    CSVExportManager manager(OutputFormat::GoogleCsv, u16(path), 0);
    manager.setInterruptionSink(&sink);
    FileSizeLimit limit(kUtf16Mark.size() + 6);

    Worker worker(sink, [&] { manager.writeContact(named(u"Ann")); });
    ASSERT_TRUE(sink.waitForQuestion());
    sink.answer(false);
    ASSERT_TRUE(worker.finishes());
    EXPECT_TRUE(holds<FileAccessException>(worker.error()));
    EXPECT_EQ(sink.questions(), std::vector<bool>{true});
    EXPECT_EQ(sink.codes(), std::vector<int>{EFBIG}) << "the file-size limit";
    EXPECT_EQ(readFileBytes(path), kUtf16Mark);
}

TEST(WriteErrorRetry, DroppedQuestionGivesUp) {
    TempDir dir;
    const auto path = dir.file("out.csv");
    fs::create_symlink("/dev/full", path);
    QuestionSink sink;
    CSVExportManager manager(OutputFormat::OutlookCsv, u16(path), 2);
    manager.setInterruptionSink(&sink);

    Worker worker(sink, [&] { manager.writeContact(named(u"Ann")); });
    ASSERT_TRUE(sink.waitForQuestion());
    sink.drop();
    ASSERT_TRUE(worker.finishes());
    EXPECT_TRUE(holds<DiskSpaceException>(worker.error()));
}

}  // namespace
