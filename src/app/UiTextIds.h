#pragma once

#include <cstdint>

// The UI text ids of the language files, one name each, for the application shell, the
// wizard's pages and its dialogs. "%1" and the like mark what a text takes (formatText).
namespace ui_text {

// --- Page captions, headings and intros ---------------------------------------------------
inline constexpr std::uint32_t CompletionIntro = 10201;
inline constexpr std::uint32_t CompletionCaption = 10202;
inline constexpr std::uint32_t ContactsCaption = 10203;
inline constexpr std::uint32_t ContactsInstruction = 10204;
inline constexpr std::uint32_t MemoryBox = 10205;
inline constexpr std::uint32_t SimBox = 10206;
inline constexpr std::uint32_t DeviceListCaption = 10207;
inline constexpr std::uint32_t DeviceListHeading = 10208;
inline constexpr std::uint32_t ExportingCaption = 10209;
inline constexpr std::uint32_t ExportingHeading = 10210;
inline constexpr std::uint32_t PathCaption = 10211;
inline constexpr std::uint32_t FolderLabel = 10212;
inline constexpr std::uint32_t PathInstruction = 10213;
inline constexpr std::uint32_t WelcomeCaption = 10214;
inline constexpr std::uint32_t SkipWelcome = 10215;
inline constexpr std::uint32_t Greeting = 10216;
inline constexpr std::uint32_t WelcomeDescription = 10217;

// --- Questions and warnings ---------------------------------------------------------------
inline constexpr std::uint32_t StopCaption = 10218;
inline constexpr std::uint32_t StopQuestion = 10219;
inline constexpr std::uint32_t IncompleteCaption = 10226;
inline constexpr std::uint32_t IncompletePath = 10227;
inline constexpr std::uint32_t SaveDialogTitle = 10228;
inline constexpr std::uint32_t QuitCaption = 10229;
inline constexpr std::uint32_t QuitQuestion = 10230;
inline constexpr std::uint32_t PhoneUnplugged = 10260;     // %1: the phone's display name
inline constexpr std::uint32_t PhoneDisconnected = 10261;  // %1: the phone's display name
inline constexpr std::uint32_t UnpluggedCaption = 10262;
inline constexpr std::uint32_t WarningCaption = 10264;
inline constexpr std::uint32_t CannotOpen = 10266;
inline constexpr std::uint32_t CannotOpenCaption = 10267;
inline constexpr std::uint32_t DiskFullCaption = 10269;
inline constexpr std::uint32_t AsciiFallback = 10273;
inline constexpr std::uint32_t StandardOnly = 10274;
inline constexpr std::uint32_t FileExists = 10292;
inline constexpr std::uint32_t FolderMissing = 10293;

// --- Buttons, labels and tooltips ---------------------------------------------------------
inline constexpr std::uint32_t NextLabel = 10222;
inline constexpr std::uint32_t BackLabel = 10223;
inline constexpr std::uint32_t FinishLabel = 10224;
inline constexpr std::uint32_t CancelLabel = 10225;
inline constexpr std::uint32_t HelpLabel = 10231;
inline constexpr std::uint32_t OkLabel = 10232;
inline constexpr std::uint32_t CloseLabel = 10233;
inline constexpr std::uint32_t NextTip = 10234;
inline constexpr std::uint32_t BackTip = 10249;
inline constexpr std::uint32_t CancelTip = 10250;
inline constexpr std::uint32_t CloseTip = 10251;
inline constexpr std::uint32_t HelpTip = 10252;
inline constexpr std::uint32_t MemoryTip = 10255;
inline constexpr std::uint32_t SimTip = 10256;
inline constexpr std::uint32_t BrowseTip = 10257;
inline constexpr std::uint32_t ModelColumn = 10258;
inline constexpr std::uint32_t AliasColumn = 10259;
inline constexpr std::uint32_t AboutLabel = 10270;
inline constexpr std::uint32_t FileNameLabel = 10271;
inline constexpr std::uint32_t LanguageLabel = 10279;
inline constexpr std::uint32_t Browse = 10291;

// --- The device list ----------------------------------------------------------------------
// Why a phone cannot be used, over its row.
inline constexpr std::uint32_t NotSupportedTip = 10275;
inline constexpr std::uint32_t OtherModeTip = 10276;
inline constexpr std::uint32_t NoDriverTip = 10277;
inline constexpr std::uint32_t UnknownModel = 10282;
inline constexpr std::uint32_t AliasCaption = 10288;
inline constexpr std::uint32_t ImeiLabel = 10289;
inline constexpr std::uint32_t AliasLabel = 10290;
// Other makers' devices: the check box that lists them, its tooltip, the alias column of a
// device not asked yet, the help line of a device's tooltip, and the caption of the box for a
// phone that answered but cannot be read.
inline constexpr std::uint32_t ShowOtherMakers = 10370;
inline constexpr std::uint32_t NotAskedYet = 10371;
inline constexpr std::uint32_t ShowOtherMakersTip = 10372;
inline constexpr std::uint32_t TipHelpLine = 10373;
inline constexpr std::uint32_t CannotReadCaption = 10374;

// --- The exporting and completion pages ----------------------------------------------------
inline constexpr std::uint32_t SummaryHeading = 10235;
inline constexpr std::uint32_t SummaryPhone = 10236;    // %1: the phone's display name
inline constexpr std::uint32_t SummaryCharset = 10238;  // %1: the charset name
inline constexpr std::uint32_t StorageHeading = 10239;  // %1: the storage's name
inline constexpr std::uint32_t SimName = 10240;
inline constexpr std::uint32_t MemoryName = 10241;
inline constexpr std::uint32_t NotChosen = 10242;
inline constexpr std::uint32_t StatusCompleted = 10243;
inline constexpr std::uint32_t StatusFailed = 10244;
inline constexpr std::uint32_t StatusCancelled = 10245;
// %1 the status, %2 contacts written, %3 entries read, %4 entries the phone reported
inline constexpr std::uint32_t StorageCounts = 10246;
inline constexpr std::uint32_t StatusWriteError = 10263;
inline constexpr std::uint32_t OutputFile = 10272;
inline constexpr std::uint32_t CompletionHint = 10296;
inline constexpr std::uint32_t ExportingMemory = 10298;
inline constexpr std::uint32_t ExportingSim = 10299;
// What Retry and Cancel do after a file error: at the start, during the export, at its end.
inline constexpr std::uint32_t RetryOrChooseAnother = 10390;
inline constexpr std::uint32_t RetryOrStop = 10391;
inline constexpr std::uint32_t RetryOrGiveUp = 10392;
// The completion page's charset line for a vCard file; %1: the phone's charset name.
inline constexpr std::uint32_t SummaryCharsetVCard = 10393;

// --- The output path page's choice of format -------------------------------------------------
inline constexpr std::uint32_t FormatLabel = 10221;
inline constexpr std::uint32_t GoogleCsvName = 10237;
inline constexpr std::uint32_t OutlookCsvName = 10247;
inline constexpr std::uint32_t VCardName = 10248;

// --- The application shell and its dialogs -------------------------------------------------
inline constexpr std::uint32_t HelpFolder = 10278;       // the help language's folder name
inline constexpr std::uint32_t HelpUnavailable = 10280;  // help could not be shown
inline constexpr std::uint32_t ErrorCaption = 10281;     // caption of error boxes
inline constexpr std::uint32_t LanguageNotLoaded = 10285;
inline constexpr std::uint32_t OtherInstanceUnreachable = 10286;
inline constexpr std::uint32_t AboutCaption = 10294;
inline constexpr std::uint32_t AboutFirstBlock = 10295;
inline constexpr std::uint32_t AboutSecondBlock = 10297;

}  // namespace ui_text
