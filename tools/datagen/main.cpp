// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the piece's whole data set: pictures, sphere maps, the title model, and the demo
// melody. Every byte depends only on this program and the Debian font it reads, so running
// it twice gives identical files.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>

#include "tools/datagen/Melody.h"
#include "tools/datagen/Pictures.h"
#include "tools/datagen/TitleModel.h"

using namespace datagen;

namespace {

constexpr const char* kFontDir = "/usr/share/fonts/truetype/dejavu/";

Expected<void> writeText(const std::string& text, const std::filesystem::path& path) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    if (!out) return failure("cannot write " + path.string());
    return {};
}

Expected<void> generateDataSet(const std::filesystem::path& data, const std::filesystem::path& examples,
                               const std::string& contactSheet) {
    const auto bold = Font::open(std::string(kFontDir) + "DejaVuSans-Bold.ttf");
    if (!bold) return failure(bold.error());
    const auto regular = Font::open(std::string(kFontDir) + "DejaVuSans.ttf");
    if (!regular) return failure(regular.error());
    for (const std::filesystem::path& folder : {data, examples}) {
        std::error_code code;
        std::filesystem::create_directories(folder, code);
        if (code) return failure("cannot make the folder " + folder.string() + ": " + code.message());
    }

    const auto title = buildTitleMesh(**bold, 64.0f, 3.0f);
    if (!title) return failure(title.error());

    const Raster background = makeBackground(), titlePicture = makeTitlePicture(**bold, **regular),
                 credit = makeCreditPicture(**bold, **regular), titleMap = makeTitleSphereMap(),
                 trailMap = makeTrailSphereMap(), ground = makeGround();
    // Each file in turn; the first that cannot be written ends the run.
    const std::function<Expected<void>()> steps[] = {
        [&] { return writeBmp(background, (data / "background.bmp").string()); },
        [&] { return writePng(titlePicture, (data / "title.png").string()); },
        [&] { return writePng(credit, (data / "CopyRight.png").string()); },
        [&] { return writeBmp(titleMap, (data / "title.bmp").string()); },
        [&] { return writeBmp(trailMap, (data / "spheremap.bmp").string()); },
        [&] { return writeBmp(ground, (data / "ground.bmp").string()); },
        [&] { return writeText(toXFile(*title, "title.bmp"), data / "title.x"); },
        [&] { return writeText(makeDemoMelody(), examples / "music.dat"); },
    };
    for (const auto& step : steps) {
        if (auto written = step(); !written) return written;
    }
    if (contactSheet.empty()) return {};
    return writePng(makeContactSheet({&background, &titlePicture, &credit, &titleMap, &trailMap, &ground}),
                    contactSheet);
}

}  // namespace

int main(int argc, char** argv) {
    const bool help = argc == 2 && std::string(argv[1]) == "--help";
    if (help || (argc != 3 && argc != 4)) {
        std::fprintf(help ? stdout : stderr,
                     "usage: glassfalls_datagen DATA_DIR EXAMPLES_DIR [CONTACT_SHEET.png]\n"
                     "Writes the pictures, sphere maps and title model into DATA_DIR, the demo\n"
                     "melody music.dat into EXAMPLES_DIR, and optionally all pictures side by\n"
                     "side into one PNG.\n");
        return help ? 0 : 2;
    }
    if (auto generated = generateDataSet(argv[1], argv[2], argc == 4 ? argv[3] : ""); !generated) {
        std::fprintf(stderr, "glassfalls_datagen: %s\n", generated.error().c_str());
        return 1;
    }
    return 0;
}
