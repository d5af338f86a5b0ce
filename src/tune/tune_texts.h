// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Interface texts of the tune room (language entries 155..193), and the
// window's own captions that name the parameters and option switches.

namespace kavrin::tune_texts {

// Item names of the difference report and the undo history.
inline constexpr int kFuelCell = 155;           // fuel map cell
inline constexpr int kIgnitionCell = 156;       // ignition map cell
inline constexpr int kEngineTempCell = 157;     // engine temperature compensation cell
inline constexpr int kAirTempCell = 158;        // air temperature compensation cell
inline constexpr int kOtherOptionBits = 159;    // option byte 2, bits without a switch
inline constexpr int kSwitchOn = 160;           // on
inline constexpr int kSwitchOff = 161;          // off
inline constexpr int kWholeConfiguration = 162; // whole configuration
inline constexpr int kRpm = 163;                // rpm
inline constexpr int kDegreesCelsius = 164;     // °C
inline constexpr int kBlockFill = 165;          // block fill
inline constexpr int kFactorRescale = 166;      // EFI factor with fuel map rescale
inline constexpr int kLoadFile = 167;           // load file
inline constexpr int kSendMine = 168;           // Send mine to the ECU
inline constexpr int kUseEcus = 169;            // Use the ECU's
inline constexpr int kSaveMine = 170;           // Save mine to a file…
// The report's table.
inline constexpr int kColumnItem = 171;   // Item
inline constexpr int kColumnColumn = 172; // Column
inline constexpr int kColumnRow = 173;    // Row
inline constexpr int kColumnWindow = 174; // This window
inline constexpr int kColumnEcu = 175;    // ECU
inline constexpr int kCount = 176;        // Differences:
// The configuration in this window and the ECU's are laid out differently:
// they cannot be compared value by value.
inline constexpr int kDimensionsDiffer = 177;
// The ECU's configuration differs from this window's. Choose which to keep.
inline constexpr int kReportIntro = 178;
inline constexpr int kReportTitle = 179; // Configuration differences
// For the window: menus, status panel and messages of the same capabilities.
inline constexpr int kUndo = 180;                 // Undo
inline constexpr int kRedo = 181;                 // Redo
inline constexpr int kNotInEcu = 182;             // Not in the ECU:
inline constexpr int kConfirmed = 183;            // Confirmed by the ECU:
inline constexpr int kOf = 184;                   // of
inline constexpr int kWindowVersionSaved = 185;   // This window's configuration was saved as
inline constexpr int kRecentConfigurations = 186; // Recent ECU configurations
inline constexpr int kCompareWith = 187;          // Compare with…
inline constexpr int kBackupFolderFails = 188;    // The backup folder cannot be written:
inline constexpr int kTakeSelected = 189;         // Take the selected values
// The ECU is offline: the change was made in this window only.
inline constexpr int kOfflineStep = 190;
inline constexpr int kCompareTitle = 191; // Compare with a file
// The configuration holds changes that are neither saved nor in the ECU.
// Save them before closing?
inline constexpr int kUnsavedQuestion = 192;
inline constexpr int kCloseWithoutSaving = 193; // Close without saving

// The window's captions of the parameter fields and option switches (their
// language entries) name them in the report and the history: one home for
// each name. Indexed by ParameterField.
inline constexpr int kParameterCaptions[] = {42, 44, 43, 45, 46, 47, 48, 49, 50, 51, 52};
inline constexpr int kOptionCaptions[] = {53, 54, 55, 56, 57, 58, 59, 60}; // options(0..7)
inline constexpr int kOption2Captions[] = {61, 62};                        // options2(0..1)

} // namespace kavrin::tune_texts
