#pragma once

// What became of the output file when an export was finished (PhoneManager::finishExport).
enum class ExportFileOutcome {
    Saved,      // the file holds this export's contacts; it replaced the file that was there
    Unchanged,  // nothing was exported: a file that was there is left as it was, none is created
    NoFile,     // the layout writes no file
};
