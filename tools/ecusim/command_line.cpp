// SPDX-License-Identifier: GPL-3.0-or-later
#include "command_line.h"

#include "ecu_image.h"

#include <charconv>
#include <cmath>
#include <optional>

namespace kavrin::ecusim {

namespace {
template <typename T> std::optional<T> ReadValue(const std::string& text) {
    T v{};
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, v);
    if (ec != std::errc() || ptr != end) return std::nullopt;
    if constexpr (std::is_floating_point_v<T>) {
        if (!std::isfinite(v)) return std::nullopt;
    }
    return v;
}

std::string OutOfRange(const std::string& name, const std::string& value, const char* range) {
    return "invalid value '" + value + "' for " + name + " (expected " + range + ")";
}
} // namespace

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& args) {
    ParsedCommandLine result;
    ProgramOptions& o = result.options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::optional<std::string> inlineValue;
        if (const auto eq = name.find('='); name.rfind("--", 0) == 0 && eq != std::string::npos) {
            inlineValue = name.substr(eq + 1);
            name.resize(eq);
        }
        auto flag = [&]() {
            if (inlineValue) result.error = name + " takes no value";
            return result.error.empty();
        };
        auto value = [&]() -> std::optional<std::string> {
            if (inlineValue) return inlineValue;
            if (i + 1 < args.size()) return args[++i];
            result.error = "missing value for " + name;
            return std::nullopt;
        };
        auto integer = [&](long long lo, long long hi,
                           const char* range) -> std::optional<long long> {
            const auto text = value();
            if (!text) return std::nullopt;
            const auto v = ReadValue<long long>(*text);
            if (!v || *v < lo || *v > hi) {
                result.error = OutOfRange(name, *text, range);
                return std::nullopt;
            }
            return v;
        };
        auto real = [&](double lo, double hi, const char* range) -> std::optional<double> {
            const auto text = value();
            if (!text) return std::nullopt;
            const auto v = ReadValue<double>(*text);
            if (!v || *v < lo || *v > hi) {
                result.error = OutOfRange(name, *text, range);
                return std::nullopt;
            }
            return v;
        };
        auto milliseconds = [](double seconds) { return std::llround(seconds * 1000.0); };

        if (name == "--help" || name == "-h") {
            if (flag()) o.help = true;
        } else if (name == "--select") {
            if (flag()) o.select = true;
        } else if (name == "--bad-dump") {
            if (flag()) o.sim.badDump = true;
        } else if (name == "--truncate-dump") {
            if (flag()) o.sim.truncateDump = true;
        } else if (name == "--port") {
            if (auto v = integer(1, 255, "1..255")) o.port = static_cast<int>(*v);
        } else if (name == "--rate") {
            if (auto v = integer(0, 2880, "0..2880 frames per second"))
                o.sim.frameRate = static_cast<int>(*v);
        } else if (name == "--seed") {
            if (auto v = integer(0, 0xFFFFFFFFll, "0..4294967295"))
                o.sim.seed = static_cast<std::uint32_t>(*v);
        } else if (name == "--corrupt") {
            if (auto v = real(0.0, 1.0, "a share 0..1")) o.sim.corruptShare = *v;
        } else if (name == "--drop") {
            if (auto v = real(0.0, 1.0, "a share 0..1")) o.sim.dropShare = *v;
        } else if (name == "--silence-every") {
            if (auto v = real(0.0, 86400.0, "seconds, 0 = never"))
                o.sim.silenceEveryMs = milliseconds(*v);
        } else if (name == "--silence-for") {
            if (auto v = real(0.001, 86400.0, "seconds above 0"))
                o.sim.silenceForMs = milliseconds(*v);
        } else if (name == "--change-while-silent") {
            if (auto v = value()) {
                const auto eq = v->find('=');
                const auto index = ReadValue<long long>(v->substr(0, eq));
                const auto byte =
                    eq == std::string::npos ? std::nullopt : ReadValue<long long>(v->substr(eq + 1));
                if (!index || !byte || *index < 0 || *index >= EcuImage::kSize || *byte < 0 ||
                    *byte > 255)
                    result.error = OutOfRange(name, *v, "INDEX=VALUE, index 0..213, value 0..255");
                else
                    o.sim.changesWhileSilent.emplace_back(static_cast<int>(*index),
                                                          static_cast<std::uint8_t>(*byte));
            }
        } else if (name == "--ready-file") {
            if (auto v = value()) o.readyFile = *v;
        } else if (name == "--log") {
            if (auto v = value()) o.logFile = *v;
        } else {
            result.error = "unknown option " + name;
        }
        if (!result.error.empty()) return result;
    }
    return result;
}

std::string UsageText() {
    return "Usage: kavrin-ecusim [options]\n"
           "A simulated ECU on a pseudo-terminal, registered as a serial port of the tool.\n"
           "\n"
           "  --port N             register as port COM<N> (1..255, default 9)\n"
           "  --select             also make COM<N> the port the tool opens at start\n"
           "  --ready-file F       write \"COM<N> <device>\" to F once the port is usable\n"
           "  --log F              append one line per event to F\n"
           "  --rate FPS           live frames per second (0..2880, default 300)\n"
           "  --seed S             seed of the engine and of the faults (default 1)\n"
           "  --corrupt P          share of live frames sent with a wrong check byte (0..1)\n"
           "  --drop P             share of sent bytes lost on the line (0..1)\n"
           "  --silence-every S    go silent every S seconds (default never)\n"
           "  --silence-for T      stay silent T seconds, also on SIGUSR1 (default 2)\n"
           "  --change-while-silent I=V  set configuration byte I to V when first silent\n"
           "                       (repeatable)\n"
           "  --bad-dump           send every dump with a wrong check byte\n"
           "  --truncate-dump      stop every dump after half its bytes\n"
           "  --help               show this text\n"
           "\n"
           "Log lines: G, R, S, \"M <index> <value>\", \"bad-write check|index <index> <value>\n"
           "<check>\", \"bad-write incomplete\", \"junk <byte>\", \"dump 215[ bad-check| "
           "truncated]\",\n"
           "silent, talking, \"changed <index> <value>\".\n"
           "SIGUSR1 silences the ECU for --silence-for seconds; SIGINT or SIGTERM end it.\n";
}

} // namespace kavrin::ecusim
