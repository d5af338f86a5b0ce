// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/port_diagnosis.h"

#include "base/language_texts.h"
#include "base/text_entries.h"

namespace kavrin {

namespace {

std::string PortsThatExist(const std::vector<std::string>& ports, const LanguageTexts& texts) {
    if (ports.empty()) return texts.Text(text::kNoPortFound);
    std::string list;
    for (const auto& name : ports) {
        // A listed name may end with a zero character, which is no part of it.
        const std::string clean = name.substr(0, name.find('\0'));
        list += (list.empty() ? "" : ", ") + clean;
    }
    return texts.Format(text::kPortsThatExist, {list});
}

PortDiagnosis Denied(const std::string& device, const DeviceFacts& facts,
                     const LanguageTexts& texts) {
    const std::string you =
        facts.user.empty() ? texts.Text(text::kYou) : texts.Format(text::kYouNamed, {facts.user});
    const std::string& reason = texts.Text(text::kPermissionDenied);
    if (facts.group.empty() || !facts.groupMayReadWrite)
        return {reason, texts.Format(text::kAskAdministrator, {you, device})};
    if (facts.listedInGroup && !facts.sessionInGroup)
        return {reason, texts.Format(text::kJoinedAfterLogin, {you, facts.group, device})};
    const std::string user = facts.user.empty() ? "$USER" : facts.user;
    return {reason, texts.Format(text::kJoinGroup, {you, device, facts.group}) +
                        "\n    sudo usermod -aG " + facts.group + " " + user + "\n" +
                        texts.Text(text::kThenLogInAgain)};
}

PortDiagnosis HeldBy(const std::string& device, const std::vector<DeviceHolder>& holders,
                     const LanguageTexts& texts) {
    std::string shortList, longList;
    for (const auto& h : holders) {
        const std::string pid = std::to_string(h.pid);
        shortList += (shortList.empty() ? "" : ", ") + h.name + " (" + pid + ")";
        longList += (longList.empty() ? "" : ", ") + texts.Format(text::kProcess, {h.name, pid});
    }
    return {texts.Format(text::kInUseBy, {shortList}),
            texts.Format(text::kHeldBy, {device, longList})};
}

} // namespace

PortDiagnosis DiagnoseOpenFailure(const std::string& device, const OpenError& error,
                                  const DeviceFacts& facts, const std::vector<std::string>& ports,
                                  const LanguageTexts& texts) {
    using Kind = OpenError::Kind;
    if (device.empty())
        return {texts.Text(text::kNoSuchPort),
                texts.Text(text::kNoDeviceForPort) + " " + PortsThatExist(ports, texts)};
    if (error.kind == Kind::NotFound || (facts.looked && !facts.exists))
        return {texts.Text(text::kNoSuchDevice), texts.Format(text::kDeviceMissing, {device}) +
                                                     " " + PortsThatExist(ports, texts)};

    PortDiagnosis d;
    if (error.kind == Kind::Refused) {
        if (facts.looked && !facts.mayReadWrite) return Denied(device, facts, texts);
        if (!facts.holders.empty())
            d = HeldBy(device, facts.holders, texts);
        else if (facts.looked)
            d = {texts.Text(text::kInUse), texts.Format(text::kInUseByAnother, {device})};
        else
            d = {texts.Text(text::kAccessDenied), texts.Format(text::kRefusedAccess, {device})};
    } else if (error.kind == Kind::Other) {
        // The system's own words, as it gave them.
        const std::string text = error.text.empty() ? texts.Text(text::kUnknownError) : error.text;
        d = {text, device + ": " + text + "."};
    } else {
        return {};
    }
    if (facts.modemManagerProbes) d.detail += " " + texts.Text(text::kModemManager);
    return d;
}

} // namespace kavrin
