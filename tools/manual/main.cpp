// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the manual pages glassfalls(1) and glassfalls-picture-server(1) from the option tables
// the programs themselves parse with. Usage: glassfalls_manual [glassfalls|glassfalls-picture-server]
#include <CLI/CLI.hpp>
#include <cctype>
#include <cstdio>
#include <string>

#include "app/CommandLine.h"
#include "app/Version.h"
// A build without the picture link has no picture server to describe.
#if GLASSFALLS_WITH_PICTURE_LINK
#include "tools/picture-server/ServerOptions.h"
#endif

namespace {

// Text safe for roff: backslashes doubled, a leading dot or quote escaped, dashes literal.
std::string roff(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c == '\\') out += "\\e";
        else if (c == '-') out += "\\-";
        else out += c;
    }
    if (!out.empty() && (out[0] == '.' || out[0] == '\'')) out.insert(0, "\\&");
    return out;
}

std::string upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// NAME, SYNOPSIS, the description in the program's own words, then every option.
void writeHead(const CLI::App& cli, const std::string& summary, const std::string& description) {
    const std::string name = cli.get_name();
    std::printf(".TH %s 1 \"\" \"glassfalls %s\" \"User Commands\"\n", roff(upper(name)).c_str(), glassfalls::kVersion);
    std::printf(".SH NAME\n%s \\- %s\n", roff(name).c_str(), roff(summary).c_str());
    std::printf(".SH SYNOPSIS\n.B %s\n[\\fIOPTIONS\\fR]\n", roff(name).c_str());
    std::printf(".SH DESCRIPTION\n%s\n", description.c_str());
    std::printf(".SH OPTIONS\n");
    for (const CLI::Option* option : cli.get_options()) {
        const std::string type = option->get_type_name();
        std::printf(".TP\n.B %s", roff(option->get_name()).c_str());
        if (!type.empty() && option->get_type_size() != 0) std::printf(" \\fI%s\\fR", roff(type).c_str());
        std::printf("\n%s\n", roff(option->get_description()).c_str());
    }
}

void writePiece() {
    glassfalls::CommandLine line;
    CLI::App cli;
    glassfalls::describeOptions(cli, line);
    writeHead(cli, cli.get_description(),
              "A glass title falls onto water; then eight performers on a circle grow "
              "glass\\-tube trails from what the microphone hears, or from a stored melody, with "
              "reflections, shadows, ripples and MIDI notes. Escape ends the piece, Enter starts a "
              "performance, the arrow keys turn the scene.");
    std::printf(
        ".SH EXIT STATUS\n0 after a normal end; 1 when start\\-up fails, with one line saying why; "
        "2 for a key script that cannot be read; 105 for a command line that is refused.\n");
    std::printf(
        ".SH FILES\n.TP\n.I DIR/glassFalls.ini\nthe picture server to connect to ([IP], [Port])\n"
        ".TP\n.I DIR/music.dat\na melody to follow instead of the microphone\n");
    std::printf(".SH SEE ALSO\n.BR glassfalls\\-picture\\-server (1)\n");
}

#if GLASSFALLS_WITH_PICTURE_LINK
void writePictureServer() {
    picture_server::ServerOptions options;
    CLI::App cli;
    picture_server::describeOptions(cli, options);
    writeHead(cli, "send pictures to glassFalls pieces over the network", roff(cli.get_description()));
    std::printf(
        ".SH EXIT STATUS\n0 after SIGINT, SIGTERM or the last picture of \\fB\\-\\-count\\fR; 1 when the "
        "pictures cannot be read or the port cannot be listened on, with one line saying why; "
        "100 or more for a command line that is refused.\n");
    std::printf(".SH SEE ALSO\n.BR glassfalls (1)\n");
}
#endif

}  // namespace

int main(int argc, char** argv) {
    const std::string page = argc > 1 ? argv[1] : "glassfalls";
    if (page == "glassfalls") writePiece();
#if GLASSFALLS_WITH_PICTURE_LINK
    else if (page == "glassfalls-picture-server") writePictureServer();
#endif
    else {
        std::fprintf(stderr, "usage: glassfalls_manual [glassfalls|glassfalls-picture-server]\n");
        return 2;
    }
    return 0;
}
