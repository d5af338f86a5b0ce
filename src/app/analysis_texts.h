// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The words of the log window and the mixture analysis: their language
// entries, and the analysis' faults and filters in the interface language.
#include "analysis/datalog_reader.h"
#include "analysis/mixture.h"
#include "analysis/target_afr.h"
#include "base/language_texts.h"

#include <string>

namespace kavrin::text {
inline constexpr int kOpenLog = 250;           // Open log...
inline constexpr int kAnalyseMixture = 251;    // Analyse mixture
inline constexpr int kReadingLog = 252;        // Reading %1... %2 %
inline constexpr int kLogRefused = 253;        // %1 cannot be read as a datalog: line %2: %3
inline constexpr int kLogLastRowDropped = 254; // The last row (line %1) was cut short...
inline constexpr int kPlay = 267;
inline constexpr int kPause = 268;
inline constexpr int kTime = 269;
inline constexpr int kFuelMapAtCursor = 270;
inline constexpr int kTargetAfr = 271;
inline constexpr int kWarmFrom = 272;
inline constexpr int kThrottleRateBelow = 273;
inline constexpr int kRpmRateBelow = 274;
inline constexpr int kTransportDelay = 275;
inline constexpr int kSamplesPerCell = 276;
inline constexpr int kLargestChange = 277;
inline constexpr int kSamplesRemoved = 284; // Samples removed: %1
inline constexpr int kAnalyse = 285;
inline constexpr int kApplySelected = 286;
inline constexpr int kProposedFuelMap = 287;
inline constexpr int kSaveTargets = 291;
inline constexpr int kSamplesUsed = 292;   // %1 of %2 samples used; %3 cells proposed.
inline constexpr int kTargetsUnread = 293; // The targets cannot be read: line %1: %2
inline constexpr int kChannels = 299;
} // namespace kavrin::text

namespace kavrin {

// "<file> cannot be read as a datalog: line n: <reason>".
std::string DatalogRefusalText(const LanguageTexts& texts, const std::string& path,
                               const DatalogProblem& problem);
// The entry naming a filter ("Cold engine").
int MixtureFilterEntry(MixtureFilter filter);
// The sentence for a problem of the analysis; empty for None.
std::string MixtureProblemText(const LanguageTexts& texts, MixtureProblem problem);
// "The targets cannot be read: line n: <reason>".
std::string TargetTextRefusal(const LanguageTexts& texts, const TargetTextResult& result);

} // namespace kavrin
