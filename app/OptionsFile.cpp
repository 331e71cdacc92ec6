// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/OptionsFile.h"

#include <CLI/CLI.hpp>
#include <cstdlib>
#include <filesystem>

#include "app/CommandLine.h"
#include "platform/os/WholeFile.h"

namespace glassfalls {

namespace {

std::string trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// Whether the piece's own parser takes the option; the reason when it does not. What an
// option needs besides itself (--every needs --screenshots, say) is checked with the whole
// command line.
std::string checkOption(const std::vector<std::string>& option) {
    CommandLine ignored;
    CLI::App cli;
    describeOptions(cli, ignored);
    if (!cli.get_option_no_throw(option[0])) return "unknown option " + option[0];
    std::vector<std::string> arguments(option.rbegin(), option.rend());  // CLI11 reads from the back
    try {
        cli.parse(arguments);
    } catch (const CLI::RequiresError&) {
    } catch (const CLI::ExcludesError&) {
    } catch (const CLI::CallForHelp&) {
        return "--help is not an option for this file";
    } catch (const CLI::CallForVersion&) {
        return "--version is not an option for this file";
    } catch (const CLI::ParseError& e) {
        return e.what();
    }
    return "";
}

}  // namespace

std::string findOptionsFile() {
    namespace fs = std::filesystem;
    std::error_code ignored;
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    fs::path user;
    if (config && *config) {
        user = fs::path(config) / "glassfalls/options";
    } else if (home && *home) {
        user = fs::path(home) / ".config/glassfalls/options";
    }
    if (!user.empty() && fs::exists(user, ignored)) return user.string();
    if (fs::exists("/etc/glassfalls/options", ignored)) return "/etc/glassfalls/options";
    return "";
}

platform::Expected<std::vector<std::string>> readOptionsFile(const std::string& path) {
    std::vector<uint8_t> bytes;
    if (!platform::readWholeFile(path, bytes)) return platform::failure(path + ": cannot be read");
    std::vector<std::string> arguments;
    const std::string text(bytes.begin(), bytes.end());
    size_t start = 0;
    for (int number = 1; start <= text.size(); ++number) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = trimmed(text.substr(start, end - start));
        start = end + 1;
        if (line.empty() || line[0] == '#') continue;
        const size_t space = line.find_first_of(" \t");
        std::vector<std::string> option{line.substr(0, space)};
        if (space != std::string::npos) option.push_back(trimmed(line.substr(space)));
        const std::string why =
            option[0].rfind("--", 0) == 0 ? checkOption(option) : "not an option (options start with --)";
        if (!why.empty()) return platform::failure(path + ":" + std::to_string(number) + ": " + why);
        arguments.insert(arguments.end(), option.begin(), option.end());
    }
    return arguments;
}

}  // namespace glassfalls
