// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Interface texts of the tune room (language entries 300..399), and the
// window's own captions that name the parameters and option switches.

namespace kavrin::tune_texts {

// Item names of the difference report and the undo history.
inline constexpr int kFuelCell = 300;           // fuel map cell
inline constexpr int kIgnitionCell = 301;       // ignition map cell
inline constexpr int kEngineTempCell = 302;     // engine temperature compensation cell
inline constexpr int kAirTempCell = 303;        // air temperature compensation cell
inline constexpr int kOtherOptionBits = 304;    // option byte 2, bits without a switch
inline constexpr int kSwitchOn = 305;           // on
inline constexpr int kSwitchOff = 306;          // off
inline constexpr int kWholeConfiguration = 307; // whole configuration
inline constexpr int kRpm = 308;                // rpm
inline constexpr int kDegreesCelsius = 309;     // °C
inline constexpr int kBlockFill = 310;          // block fill
inline constexpr int kFactorRescale = 311;      // EFI factor with fuel map rescale
inline constexpr int kLoadFile = 312;           // load file
inline constexpr int kSendMine = 313;           // Send mine to the ECU
inline constexpr int kUseEcus = 314;            // Use the ECU's
inline constexpr int kSaveMine = 315;           // Save mine to a file…
// The report's table.
inline constexpr int kColumnItem = 316;   // Item
inline constexpr int kColumnColumn = 317; // Column
inline constexpr int kColumnRow = 318;    // Row
inline constexpr int kColumnWindow = 319; // This window
inline constexpr int kColumnEcu = 320;    // ECU
inline constexpr int kCount = 321;        // Differences:
// The configuration in this window and the ECU's are laid out differently:
// they cannot be compared value by value.
inline constexpr int kDimensionsDiffer = 322;
// The ECU's configuration differs from this window's. Choose which to keep.
inline constexpr int kReportIntro = 323;
inline constexpr int kReportTitle = 324; // Configuration differences
// For the window: menus, status panel and messages of the same capabilities.
inline constexpr int kUndo = 325;                 // Undo
inline constexpr int kRedo = 326;                 // Redo
inline constexpr int kNotInEcu = 327;             // Not in the ECU:
inline constexpr int kConfirmed = 328;            // Confirmed by the ECU:
inline constexpr int kOf = 329;                   // of
inline constexpr int kWindowVersionSaved = 330;   // This window's configuration was saved as
inline constexpr int kRecentConfigurations = 331; // Recent ECU configurations
inline constexpr int kCompareWith = 332;          // Compare with…
inline constexpr int kBackupFolderFails = 333;    // The backup folder cannot be written:
inline constexpr int kTakeSelected = 334;         // Take the selected values
// The ECU is offline: the change was made in this window only.
inline constexpr int kOfflineStep = 335;
inline constexpr int kCompareTitle = 336; // Compare with a file
// The configuration holds changes that are neither saved nor in the ECU.
// Save them before closing?
inline constexpr int kUnsavedQuestion = 337;
inline constexpr int kCloseWithoutSaving = 338; // Close without saving

// The window's captions of the parameter fields and option switches (their
// language entries) name them in the report and the history: one home for
// each name. Indexed by ParameterField.
inline constexpr int kParameterCaptions[] = {42, 44, 43, 45, 46, 47, 48, 49, 50, 51, 52};
inline constexpr int kOptionCaptions[] = {53, 54, 55, 56, 57, 58, 59, 60}; // options(0..7)
inline constexpr int kOption2Captions[] = {61, 62};                        // options2(0..1)

} // namespace kavrin::tune_texts
