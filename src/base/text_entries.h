// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The numbers of the language entries that the window's messages, panels and
// dialogs take their words from, beyond the entries the controls' tags name.

namespace kavrin::text {

inline constexpr int kLogMenu = 93; // Log
inline constexpr int kLogStatusTip = 94; // Log the live channels to a CSV file, or stop the log
inline constexpr int kLogDialogTitle = 95; // Start datalog
inline constexpr int kLogPanel = 96; // Log: %1, %2 rows
inline constexpr int kLogTimeColumn = 97; // Time (s)
inline constexpr int kCannotBeRead = 98; // cannot be read: %1.
inline constexpr int kLineReason = 99; // line %1: %2.
inline constexpr int kNothingLoaded = 100; // Nothing was loaded.
inline constexpr int kCannotBeSaved = 101; // cannot be saved: %1.
inline constexpr int kOldFileKept = 102; // An existing file of that name was left as it was.
inline constexpr int kCannotBeWritten = 103; // cannot be written: %1.
inline constexpr int kNoLogStarted = 104; // No datalog was started.
inline constexpr int kLogStopped = 105; // The datalog has stopped:
inline constexpr int kLogRowsKept = 106; // The rows up to the last second are in the file. The link goes on.
inline constexpr int kSettingsNotRemembered = 107; // Your settings cannot be stored: the settings file is not readable or n
inline constexpr int kAboutPurpose = 108; // Tuning and watching the engine control unit over a serial line.
inline constexpr int kAboutBuiltWith = 109; // Built with Qt %1, running on Qt %2.
inline constexpr int kAboutLicence = 110; // KAVRIN is free software under the GNU General Public License, version 
inline constexpr int kEfiFilter = 111; // EFI files (*.efi)
inline constexpr int kCsvFilter = 112; // CSV files (*.csv)
inline constexpr int kAllFilesFilter = 113; // All files (*)
inline constexpr int kNoReasonGiven = 114; // the system gave no reason
inline constexpr int kFileMissing = 115; // the file does not exist
inline constexpr int kFileIsFolder = 116; // it is a folder, not a file
inline constexpr int kFileTooLarge = 117; // the file is too large
inline constexpr int kFileGone = 118; // the file is gone (its folder was removed or its drive unplugged)
inline constexpr int kFileNotCreated = 119; // the file cannot be created
inline constexpr int kFileNotWritten = 120; // the file cannot be written
inline constexpr int kEfiBinary = 121; // the file holds binary data: it is not a configuration file
inline constexpr int kEfiSizeNotPositive = 122; // the map size "%1" is not positive
inline constexpr int kEfiSizeTooLarge = 123; // the map size "%1" needs more than the 256 bytes of a configuration
inline constexpr int kEfiNotANumber = 124; // "%1" is not a number
inline constexpr int kEfiOutOfRange = 125; // the value %1 is outside 0 to 255
inline constexpr int kLanguageWithoutTexts = 126; // %1 holds no texts: the window keeps the texts it shows.
inline constexpr int kNoPortFound = 127; // No serial port was found: is the adapter plugged in?
inline constexpr int kPortsThatExist = 128; // Ports that exist: %1.
inline constexpr int kYou = 129; // You
inline constexpr int kYouNamed = 130; // You (%1)
inline constexpr int kPermissionDenied = 131; // permission denied
inline constexpr int kAskAdministrator = 132; // %1 may not read and write %2. Ask the administrator for access to it.
inline constexpr int kJoinedAfterLogin = 133; // %1 joined the group %2 that owns %3 after this login. Log out and in a
inline constexpr int kJoinGroup = 134; // %1 may not use %2: it belongs to the group %3, which you are not in. J
inline constexpr int kThenLogInAgain = 135; // then log out and in again: the group counts from the next login.
inline constexpr int kInUseBy = 136; // in use by %1
inline constexpr int kProcess = 137; // %1 (process %2)
inline constexpr int kHeldBy = 138; // %1 is held by %2. Close that program, then choose the port again.
inline constexpr int kModemManager = 139; // ModemManager is running and tries USB serial devices as modems, holdin
inline constexpr int kNoSuchPort = 140; // no such port
inline constexpr int kNoDeviceForPort = 141; // No device is known for this port.
inline constexpr int kNoSuchDevice = 142; // no such device
inline constexpr int kDeviceMissing = 143; // %1 does not exist.
inline constexpr int kInUse = 144; // in use
inline constexpr int kInUseByAnother = 145; // %1 is in use by another program. Close it, then choose the port again.
inline constexpr int kAccessDenied = 146; // access denied
inline constexpr int kRefusedAccess = 147; // %1 refused access: another program may be using it, or you may not use
inline constexpr int kUnknownError = 148; // unknown error
inline constexpr int kDiskFullRows = 149; // the disk did not take the rows (full, or a size limit)
inline constexpr int kDiskFullFile = 150; // the disk did not take the whole file (full, or a size limit)
inline constexpr int kSuggestedFactorTip = 151; // ~Suggested EFI factor for the current fuel map
inline constexpr int kSuggestedOffsetTip = 152; // ~Suggested EFI offset for the current fuel map
inline constexpr int kNoStateFolder = 153; // the user has no state folder
inline constexpr int kFolderNotMade = 154; // the folder cannot be made
inline constexpr int kFileNotRead = 194; // the file cannot be read

// What a screen reader says of the window's parts.
inline constexpr int kA11yFuelMap = 300; // Fuel map
inline constexpr int kA11yIgnitionMap = 301; // Ignition map
inline constexpr int kA11yEngineComp = 302; // Engine temperature compensation
inline constexpr int kA11yAirComp = 303; // Air temperature compensation
inline constexpr int kA11yFuelCellValue = 304; // Fuel map cell value
inline constexpr int kA11yIgnitionCellValue = 305; // Ignition map cell value
inline constexpr int kA11yEngineCompValue = 306; // Engine temperature compensation cell value
inline constexpr int kA11yAirCompValue = 307; // Air temperature compensation cell value
inline constexpr int kA11yChartScale = 308; // %1 chart scale
inline constexpr int kA11yUnitOf = 309; // %1 unit: %2
inline constexpr int kA11yRawCount = 310; // raw count
inline constexpr int kA11yOn = 311; // on
inline constexpr int kA11yOff = 312; // off
inline constexpr int kA11ySuggestedFactor = 313; // Suggested EFI factor
inline constexpr int kA11ySuggestedOffset = 314; // Suggested EFI offset
inline constexpr int kA11yFuelMarker = 315; // Operating point on the fuel map
inline constexpr int kA11yIgnitionMarker = 316; // Operating point on the ignition map
inline constexpr int kA11yLastStatus = 317; // Last status value
inline constexpr int kA11yBadDumps = 318; // Bad dumps
inline constexpr int kA11yBadFrames = 319; // Bad frames
inline constexpr int kA11yTimeouts = 320; // Timeouts
inline constexpr int kA11yDumpRetries = 321; // Dump retries
inline constexpr int kA11yStatusPanel = 322; // Status bar: %1
inline constexpr int kA11yStatusBar = 323; // Status bar
inline constexpr int kA11yLinkUp = 324; // Link up
inline constexpr int kA11yLinkDown = 325; // Link down
inline constexpr int kA11yConnection = 326; // Status bar, connection
inline constexpr int kA11yDatalog = 327; // Status bar, datalog: %1
inline constexpr int kA11yLiveChart = 328; // Live chart
inline constexpr int kA11yChartDescription = 329; // Strip chart of the live channels, 0 to 100 chart units, one column per
inline constexpr int kA11yNothingPlotted = 330; // no channel is plotted
inline constexpr int kA11yPlotting = 331; // plotting %1
inline constexpr int kA11yScaleOf = 332; // %1 (scale %2)

} // namespace kavrin::text
