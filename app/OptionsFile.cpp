#include "app/OptionsFile.h"

#include "forms/Failure.h"
#include "forms/Services.h"

namespace app {

namespace {
constexpr std::string_view kEveryMonitor = "EveryMonitor";

std::string_view Trimmed(std::string_view s) {
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}
}  // namespace

Options ParseOptionsFile(std::string_view bytes) {
    Options options;
    while (!bytes.empty()) {
        const auto end = bytes.find('\n');
        const std::string_view line = bytes.substr(0, end);
        bytes = end == std::string_view::npos ? std::string_view{} : bytes.substr(end + 1);
        const auto eq = line.find('=');
        if (eq == std::string_view::npos) continue;
        const std::string_view name = Trimmed(line.substr(0, eq)), value = Trimmed(line.substr(eq + 1));
        if (name == kEveryMonitor && (value == "0" || value == "1")) options.EveryMonitor = value == "1";
    }
    return options;
}

std::string FormatOptionsFile(const Options& options) {
    std::string out;
    if (options.EveryMonitor != Options{}.EveryMonitor)
        out += std::string(kEveryMonitor) + "=" + (options.EveryMonitor ? "1" : "0") + "\r\n";
    return out;
}

Options ReadOptions(forms::Services& services, bool& unreadable) {
    try {
        const std::optional<std::string> bytes = services.ReadFile(kOptionsFileName);
        unreadable = !bytes && services.FileExists(kOptionsFileName);
        return bytes ? ParseOptionsFile(*bytes) : Options{};
    } catch (const std::exception&) {
        return {};
    }
}

bool WriteOptions(forms::Services& services, const Options& options) {
    const std::string bytes = FormatOptionsFile(options);
    if (!bytes.empty()) return services.ReplaceFile(kOptionsFileName, bytes);
    if (!services.ReadFile(kOptionsFileName)) return true;
    try {
        services.DeleteFile(kOptionsFileName);
        return true;
    } catch (const forms::Failure&) {
        return false;
    }
}

}  // namespace app
