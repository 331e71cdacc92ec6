// Writes the manual page glassfalls(1) from the option table the program itself parses with.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <string>

#include "app/CommandLine.h"
#include "app/Version.h"

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

}  // namespace

int main() {
    glassfalls::CommandLine line;
    CLI::App cli;
    glassfalls::describeOptions(cli, line);
    std::printf(".TH GLASSFALLS 1 \"\" \"glassfalls %s\" \"User Commands\"\n", glassfalls::kVersion);
    std::printf(".SH NAME\nglassfalls \\- %s\n", roff(cli.get_description()).c_str());
    std::printf(".SH SYNOPSIS\n.B glassfalls\n[\\fIOPTIONS\\fR]\n");
    std::printf(".SH DESCRIPTION\nA glass title falls onto water; then eight performers on a circle grow "
                "glass\\-tube trails from what the microphone hears, or from a stored melody, with "
                "reflections, shadows, ripples and MIDI notes. Escape ends the piece, Enter starts a "
                "performance, the arrow keys turn the scene.\n");
    std::printf(".SH OPTIONS\n");
    for (const CLI::Option* option : cli.get_options()) {
        const std::string type = option->get_type_name();
        std::printf(".TP\n.B %s", roff(option->get_name()).c_str());
        if (!type.empty() && option->get_type_size() != 0) std::printf(" \\fI%s\\fR", roff(type).c_str());
        std::printf("\n%s\n", roff(option->get_description()).c_str());
    }
    std::printf(".SH EXIT STATUS\n0 after a normal end; 1 when start\\-up fails, with one line saying why; "
                "2 for a key script that cannot be read; 105 for a command line that is refused.\n");
    std::printf(".SH FILES\n.TP\n.I DIR/glassFalls.ini\nthe picture server to connect to ([IP], [Port])\n"
                ".TP\n.I DIR/music.dat\na melody to follow instead of the microphone\n");
    return 0;
}
