#pragma once

// The string ids of the localized texts (the string tables in resources/strings hold them).
namespace gapwell {

// Main window: option frame, labels, option buttons, command buttons, note.
inline constexpr int kStrSearchOptions = 1;
inline constexpr int kStrFreeSpaceByte = 2;
inline constexpr int kStrNeededBytes = 3;
inline constexpr int kStrSearchFromBeginning = 4;
inline constexpr int kStrSearchFromOffset = 5;
inline constexpr int kStrSearch = 6;
inline constexpr int kStrFindNext = 7;
inline constexpr int kStrCopy = 8;
inline constexpr int kStrNoteHexadecimal = 9;
inline constexpr int kStrSkipInterval = 10;

// Main window menus (108 is unused).
inline constexpr int kStrMenuFile = 100;
inline constexpr int kStrMenuOpenRom = 101;
inline constexpr int kStrMenuExit = 102;
inline constexpr int kStrMenuEdit = 103;
inline constexpr int kStrMenuSearch = 104;
inline constexpr int kStrMenuFindNext = 105;
inline constexpr int kStrMenuCopy = 106;
inline constexpr int kStrMenuHelp = 107;
inline constexpr int kStrMenuAbout = 109;

// Main window messages and dialog titles.
inline constexpr int kStrNotEnoughFreeSpace = 1000;
inline constexpr int kStrNoMoreRecurrences = 1001;
inline constexpr int kStrOpeningRom = 1002;

// About window.
inline constexpr int kStrAbout = 2000;
inline constexpr int kStrAboutDescription = 2001;

// Free-space map window and its menu entry.
inline constexpr int kStrFreeSpaceMap = 3000;
inline constexpr int kStrMenuFreeSpaceMap = 3001;
inline constexpr int kStrMapTotals = 3002;  // %1 runs, %2 bytes, %3 share, %4 length, %5 offset
inline constexpr int kStrMapNoUsableRun = 3003;  // %1 needed length
inline constexpr int kStrMapOffsets = 3004;      // %1 first, %2 last offset
inline constexpr int kStrMapRun = 3005;          // %1 first offset, %2 length in hex, %3 in decimal
inline constexpr int kStrMapUsable = 3006;
inline constexpr int kStrMapShort = 3007;
inline constexpr int kStrMapData = 3008;
inline constexpr int kStrMapReferenced = 3009;
inline constexpr int kStrMapAlignment = 3010;
// Words that point into a run or a result (the map's tooltip and the result list's).
inline constexpr int kStrPointersAtStart = 3011;  // %1 count, %2 the first offsets
inline constexpr int kStrPointersInside = 3012;   // %1 length in bytes, %2 count
inline constexpr int kStrMayBeInUse = 3013;

// The browser page (web/): texts of its own beside those it shares with the windows.
inline constexpr int kStrWebIntroduction = 4000;
inline constexpr int kStrWebCopyAll = 4001;
inline constexpr int kStrWebFreeSpaceList = 4002;
inline constexpr int kStrWebOffset = 4003;
inline constexpr int kStrWebLength = 4004;
inline constexpr int kStrWebPointersAtStart = 4005;
inline constexpr int kStrWebWordsInside = 4006;
inline constexpr int kStrWebDownloadJson = 4007;
inline constexpr int kStrWebDownloadCsv = 4008;
inline constexpr int kStrWebLanguage = 4009;
inline constexpr int kStrWebReading = 4010;
inline constexpr int kStrWebTitle = 4011;
inline constexpr int kStrWebEmptyFile = 4012;
inline constexpr int kStrWebNotAFile = 4014;
inline constexpr int kStrWebCancelled = 4015;
inline constexpr int kStrWebCopied = 4016;
inline constexpr int kStrWebResults = 4017;
inline constexpr int kStrWebShowingRuns = 4018;  // %1 shown, %2 in all
inline constexpr int kStrWebListTooLong = 4019;
inline constexpr int kStrWebReadAgain = 4020;
inline constexpr int kStrWebChangedOnDisk = 4021;  // %1 the file's name
inline constexpr int kStrWebReopen = 4022;
inline constexpr int kStrWebNewVersion = 4023;
inline constexpr int kStrWebReload = 4024;
inline constexpr int kStrWebSeveralDropped = 4025;  // %1 how many, %2 the file opened
inline constexpr int kStrWebFromAddress = 4026;     // %1 the GBA address, %2 the ROM offset
inline constexpr int kStrWebNotHex = 4027;          // %1 the field, %2 the largest value
inline constexpr int kStrWebNotDecimal = 4028;      // %1 the field, %2 and %3 the range
inline constexpr int kStrWebFileName = 4029;        // %1
inline constexpr int kStrWebFileSize = 4030;        // %1 hex, %2 MiB
inline constexpr int kStrWebMakerCode = 4031;       // %1
inline constexpr int kStrWebBytes = 4032;           // %1 a decimal count
inline constexpr int kStrWebShortFile = 4033;
inline constexpr int kStrWebWrongHeaderCheck = 4034;
inline constexpr int kStrWebLargerThanGba = 4035;
inline constexpr int kStrWebResetOptions = 4036;
inline constexpr int kStrWebFoundAt = 4037;  // %1 the offset
inline constexpr int kStrWebGbaRoms = 4038;
// The page's build symbols (known data).
inline constexpr int kStrWebClearBuildSymbols = 4200;
inline constexpr int kStrWebBuildSymbolsCleared = 4201;

// The page's "Place blocks" panel, its plan, its ledger and the map's "Placed" cells.
inline constexpr int kStrWebPlaceBlocks = 4100;
inline constexpr int kStrWebBlockName = 4101;
inline constexpr int kStrWebBlockSize = 4102;
inline constexpr int kStrWebBlockAlignment = 4103;
inline constexpr int kStrWebAddBlock = 4104;
inline constexpr int kStrWebAddFiles = 4105;
inline constexpr int kStrWebBlocksHint = 4106;
inline constexpr int kStrWebRemoveBlock = 4107;
inline constexpr int kStrWebMargin = 4108;
inline constexpr int kStrWebRangeFrom = 4109;
inline constexpr int kStrWebRangeTo = 4110;
inline constexpr int kStrWebReservedRanges = 4111;
inline constexpr int kStrWebNamePrefix = 4112;
inline constexpr int kStrWebPlan = 4113;
inline constexpr int kStrWebGbaAddress = 4114;
inline constexpr int kStrWebMovedSinceLedger = 4115;
inline constexpr int kStrWebYes = 4116;
inline constexpr int kStrWebNo = 4117;
inline constexpr int kStrWebMapPlaced = 4118;
inline constexpr int kStrWebPlacedAt = 4119;  // %1 name, %2 offset, %3 size
inline constexpr int kStrWebLedger = 4120;
inline constexpr int kStrWebImportLedger = 4121;
inline constexpr int kStrWebDownloadLedger = 4122;
inline constexpr int kStrWebNoLedger = 4123;
inline constexpr int kStrWebLedgerRemembered = 4124;  // %1 file, %2 blocks, %3 game code, %4 CRC32
inline constexpr int kStrWebForgetLedger = 4125;
inline constexpr int kStrWebPlanFormat = 4126;
inline constexpr int kStrWebDownloadPlan = 4127;
inline constexpr int kStrWebDownloadRom = 4128;
inline constexpr int kStrWebDownloadPatch = 4129;
inline constexpr int kStrWebFixHeader = 4130;
inline constexpr int kStrWebExpandTo = 4131;
inline constexpr int kStrWebKeepSize = 4132;
inline constexpr int kStrWebCheckPatches = 4133;
inline constexpr int kStrWebPatchesHint = 4134;
inline constexpr int kStrWebChoosePatches = 4135;
inline constexpr int kStrWebNeedFiles = 4136;
inline constexpr int kStrWebNoBlocks = 4137;
inline constexpr int kStrWebTwoPatches = 4138;
inline constexpr int kStrWebLedgerNotRemembered = 4139;  // %1 file, %2 blocks
inline constexpr int kStrWebShowingBlocks = 4140;        // %1 shown, %2 in all

// Known data from the build's symbol files, linker maps and ELF files.
inline constexpr int kStrMenuOpenBuildSymbols = 5000;
inline constexpr int kStrOpeningBuildSymbols = 5001;
inline constexpr int kStrKnownCount = 5002;  // %1 marks loaded
inline constexpr int kStrMapKnown = 5003;
inline constexpr int kStrMapKnownName = 5004;  // %1 the mark's name
// Followed by the reason on a line of its own.
inline constexpr int kStrBuildSymbolsUnreadable = 5005;

// Live Update wizard and its menu entries.
inline constexpr int kStrLiveUpdate = 10000;
inline constexpr int kStrStep1Of3 = 10001;
inline constexpr int kStrWelcome = 10002;
inline constexpr int kStrStep2Of3 = 10003;
inline constexpr int kStrConnecting = 10004;
inline constexpr int kStrNoUpdate = 10005;
inline constexpr int kStrUpdateAvailable = 10006;
inline constexpr int kStrStep3Of3 = 10007;
inline constexpr int kStrDownloadingUpdate = 10008;
inline constexpr int kStrDestination = 10009;
inline constexpr int kStrCancel = 10010;
inline constexpr int kStrNext = 10011;
inline constexpr int kStrClickNext = 10012;
inline constexpr int kStrYourVersion = 10013;
inline constexpr int kStrNewestVersion = 10014;
inline constexpr int kStrFinish = 10015;
inline constexpr int kStrDownloadOf = 10016;
inline constexpr int kStrKilobytes = 10017;
inline constexpr int kStrMegabytes = 10018;
inline constexpr int kStrConfigurationRetrieved = 10019;
inline constexpr int kStrComplete = 10020;    // begins with a blank
inline constexpr int kStrDownloaded = 10021;  // begins with a blank
inline constexpr int kStrUpdatesFolder = 10022;
inline constexpr int kStrConnectionError = 10023;
inline constexpr int kStrCheckNow = 10024;
inline constexpr int kStrAutomaticallyCheck = 10025;
inline constexpr int kStrReleaseNotes = 10026;
inline constexpr int kStrSkipThisVersion = 10027;
inline constexpr int kStrSkipped = 10028;  // after the newest version when it was skipped
inline constexpr int kStrInterruptedUpdateKept = 10029;  // followed by a line with a folder

}  // namespace gapwell
