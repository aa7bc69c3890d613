#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ExportSinks.h"
#include "StatisticsComparison.h"
#include "common/StorageKind.h"
#include "tasks/ExportStatisticsMap.h"
#include "tasks/StatisticsProxy.h"

namespace {

using export_test::RecordingExportSink;
using Strings = std::vector<std::string>;

TEST(StatisticsProxyTest, KeepsTheRecordOfItsStorageAndForwardsWhatTheUserSees) {
    ExportStatisticsMap statistics;
    RecordingExportSink sink;
    StatisticsProxy proxy(statistics, StorageKind::Sim, sink);

    proxy.onExportStarted(StorageKind::Unknown, 4, 250);
    EXPECT_EQ(statistics.find(StorageKind::Sim), (ExportStatistics{4, 0, 0, ExportResult::None}));
    proxy.onExportProgress(2, 0);   // a contact of two entries was written
    proxy.onExportProgress(0, 10);  // a block was read
    proxy.onExportProgress(3, 0);
    proxy.onExportProgress(6, 0);  // more entries than the phone said it held
    proxy.onExportFinished(ExportResult::Completed);

    EXPECT_EQ(statistics.find(StorageKind::Sim),
              (ExportStatistics{6, 6, 3, ExportResult::Completed}));
    EXPECT_FALSE(statistics.find(StorageKind::Memory));
    EXPECT_EQ(sink.events(), (Strings{"started(2,4,250)", "progress(0,10)", "finished(1)"}));
}

TEST(StatisticsProxyTest, CountsAContactThatCarriesNoEntry) {
    ExportStatisticsMap statistics;
    RecordingExportSink sink;
    StatisticsProxy proxy(statistics, StorageKind::Memory, sink);
    proxy.onExportStarted(StorageKind::Unknown, 1, 10);
    proxy.onExportProgress(0, 0);  // a contact of web addresses only
    proxy.onExportProgress(1, 0);
    EXPECT_EQ(statistics.find(StorageKind::Memory),
              (ExportStatistics{1, 1, 2, ExportResult::None}));
}

TEST(StatisticsProxyTest, AFinishWithoutAStartLeavesNoRecord) {
    ExportStatisticsMap statistics;
    RecordingExportSink sink;
    StatisticsProxy proxy(statistics, StorageKind::Memory, sink);
    proxy.onExportProgress(1, 0);
    proxy.onExportFinished(ExportResult::Disconnected);
    EXPECT_FALSE(statistics.find(StorageKind::Memory));
    EXPECT_EQ(sink.events(), Strings{"finished(3)"});
}

}  // namespace
