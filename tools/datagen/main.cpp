// Writes the piece's whole data set: pictures, sphere maps, the title model, and the demo
// melody. Every byte depends only on this program and the Debian font it reads, so running
// it twice gives identical files.
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "tools/datagen/Melody.h"
#include "tools/datagen/Pictures.h"
#include "tools/datagen/TitleModel.h"

using namespace datagen;

namespace {

constexpr const char* kFontDir = "/usr/share/fonts/truetype/dejavu/";

bool writeText(const std::string& text, const std::filesystem::path& path, std::string& error) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    if (!out) error = "cannot write " + path.string();
    return static_cast<bool>(out);
}

bool generateDataSet(const std::filesystem::path& data, const std::filesystem::path& examples,
                     const std::string& contactSheet, std::string& error) {
    Font bold(std::string(kFontDir) + "DejaVuSans-Bold.ttf", error);
    if (!bold.ok()) return false;
    Font regular(std::string(kFontDir) + "DejaVuSans.ttf", error);
    if (!regular.ok()) return false;
    std::filesystem::create_directories(data);
    std::filesystem::create_directories(examples);

    const Mesh title = buildTitleMesh(bold, 64.0f, 3.0f, error);
    if (title.vertices.empty()) return false;

    const Raster background = makeBackground(), titlePicture = makeTitlePicture(bold, regular),
                 credit = makeCreditPicture(bold, regular), titleMap = makeTitleSphereMap(),
                 trailMap = makeTrailSphereMap(), ground = makeGround();
    const bool written = writeBmp(background, (data / "background.bmp").string(), error) &&
                         writePng(titlePicture, (data / "title.png").string(), error) &&
                         writePng(credit, (data / "CopyRight.png").string(), error) &&
                         writeBmp(titleMap, (data / "title.bmp").string(), error) &&
                         writeBmp(trailMap, (data / "spheremap.bmp").string(), error) &&
                         writeBmp(ground, (data / "ground.bmp").string(), error) &&
                         writeText(toXFile(title, "title.bmp"), data / "title.x", error) &&
                         writeText(makeDemoMelody(), examples / "music.dat", error);
    if (!written || contactSheet.empty()) return written;
    return writePng(makeContactSheet({&background, &titlePicture, &credit, &titleMap, &trailMap, &ground}),
                    contactSheet, error);
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
    std::string error;
    if (!generateDataSet(argv[1], argv[2], argc == 4 ? argv[3] : "", error)) {
        std::fprintf(stderr, "glassfalls_datagen: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
