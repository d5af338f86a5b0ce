// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/analysis_texts.h"

#include "base/modulo.h"
#include "base/text_entries.h"

namespace kavrin {

std::string DatalogRefusalText(const LanguageTexts& texts, const std::string& path,
                               const DatalogProblem& p) {
    const std::string column = DecimalText(p.column);
    const std::string fields = DecimalText(p.fields);
    std::string reason;
    switch (p.fault) {
    case DatalogFault::None:
    case DatalogFault::Unreadable:
        reason = texts.Format(255, {p.text});
        break;
    case DatalogFault::Empty:
        reason = texts.Text(256);
        break;
    case DatalogFault::NoTitles:
        reason = texts.Text(257);
        break;
    case DatalogFault::WrongColumns:
        reason = texts.Format(258, {fields});
        break;
    case DatalogFault::MissingFields:
        reason = texts.Format(259, {fields});
        break;
    case DatalogFault::ExtraFields:
        reason = texts.Format(260, {fields});
        break;
    case DatalogFault::NotANumber:
        reason = texts.Format(261, {column, p.text});
        break;
    case DatalogFault::NotAnIndicator:
        reason = texts.Format(262, {column, p.text});
        break;
    case DatalogFault::TimeBackwards:
        reason = texts.Format(263, {p.text});
        break;
    case DatalogFault::TimeOutOfRange:
        reason = texts.Format(264, {p.text});
        break;
    case DatalogFault::LineTooLong:
        reason = texts.Text(265);
        break;
    case DatalogFault::NoRows:
        reason = texts.Text(266);
        break;
    }
    return texts.Format(text::kLogRefused, {path, DecimalText(p.line), reason});
}

int MixtureFilterEntry(MixtureFilter filter) {
    return 278 + static_cast<int>(filter);
}

std::string MixtureProblemText(const LanguageTexts& texts, MixtureProblem problem) {
    switch (problem) {
    case MixtureProblem::None:
        return {};
    case MixtureProblem::NoUsableSamples:
        return texts.Text(288);
    case MixtureProblem::TargetsDoNotFit:
        return texts.Text(289);
    case MixtureProblem::MapDoesNotFit:
        return texts.Text(290);
    }
    return {};
}

std::string TargetTextRefusal(const LanguageTexts& texts, const TargetTextResult& r) {
    std::string reason;
    switch (r.fault) {
    case TargetTextFault::None:
    case TargetTextFault::NoTitle:
        reason = texts.Text(294);
        break;
    case TargetTextFault::BadSize:
        reason = texts.Text(295);
        break;
    case TargetTextFault::NotANumber:
        reason = texts.Format(text::kEfiNotANumber, {r.text});
        break;
    case TargetTextFault::OutOfRange:
        reason = texts.Format(296, {r.text});
        break;
    case TargetTextFault::MissingValues:
        reason = texts.Text(297);
        break;
    case TargetTextFault::ExtraValues:
        reason = texts.Text(298);
        break;
    }
    return texts.Format(text::kTargetsUnread, {DecimalText(r.line), reason});
}

} // namespace kavrin
