// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/os/WholeFile.h"
#include "tests/app/RunProgram.h"
#include "tests/platform/sound/SmfReader.h"
#include "tests/platform/sound/TestWav.h"
#include "tests/support/Backends.h"
#include "tests/support/FreePort.h"
#include "tests/support/Processes.h"
#include "tests/support/Screenshots.h"
#include "tests/support/TempPath.h"

// The piece in a browser, through the page's runner in headless Chromium, against the desktop
// program: the same options, the same files. Run by scripts/web test, which builds the page
// and names its folder in GLASSFALLS_WEB_BUILD.
namespace glassfalls {
namespace {

using test_support::Outcome;

#define GLASSFALLS_SKIP_WITHOUT_PAGE()        \
    if (!std::getenv("GLASSFALLS_WEB_BUILD")) \
    GTEST_SKIP() << "no browser build to test here; scripts/web test builds one and runs these"

// `ownOptions`: the arguments begin with the runner's own options and their "--".
Outcome runPage(const std::string& arguments, bool ownOptions = false) {
    return test_support::runCommand(std::string(GLASSFALLS_SOURCE_DIR) + "/scripts/web run " +
                                    (ownOptions ? "" : "-- ") + arguments);
}

std::string sourceFile(const std::string& name) { return std::string(GLASSFALLS_SOURCE_DIR) + "/" + name; }

// The example melody for 400 advances: the MIDI file is the desktop's to the byte, and the
// frames are the desktop's OpenGL ES renderer's within three levels on 99 % of the pixels.
TEST(WebPage, AMelodyPlaysAndLooksAsOnTheDesktop) {
    GLASSFALLS_SKIP_WITHOUT_PAGE();
    const auto folder = test_support::tempPath("web-page-melody");
    std::filesystem::remove_all(folder);
    const std::string common = "--headless --frames 400 --melody " + sourceFile("examples/music.dat");
    const Outcome desktop = test_support::runProgram(
        common + " --renderer es --data " + sourceFile("data") + " --midi-file " + (folder / "desktop.mid").string() +
        " --screenshots " + (folder / "desktop").string() + " --every 100");
    ASSERT_EQ(desktop.status, 0) << desktop.output;
    const Outcome page = runPage(common + " --midi-file " + (folder / "web.mid").string() + " --screenshots " +
                                 (folder / "web").string() + " --every 100");
    ASSERT_EQ(page.status, 0) << page.output;

    std::vector<uint8_t> desktopMidi, pageMidi;
    ASSERT_TRUE(platform::readWholeFile((folder / "desktop.mid").string(), desktopMidi));
    ASSERT_TRUE(platform::readWholeFile((folder / "web.mid").string(), pageMidi));
    EXPECT_GT(desktopMidi.size(), 100u) << "the melody played notes";
    EXPECT_TRUE(desktopMidi == pageMidi) << "the page's MIDI file differs from the desktop's";

    for (int advance = 100; advance <= 400; advance += 100) {
        const auto expected = test_support::readPicture(test_support::screenshotPath(folder / "desktop", advance));
        const auto drawn = test_support::readPicture(test_support::screenshotPath(folder / "web", advance));
        const auto difference = test_support::frameDifference(expected.texels, drawn.texels);
        EXPECT_GE(difference.shareWithin, 0.99) << "advance " << advance << ": " << difference.pixelsOver
                                                << " pixels more than 3 levels off, mean " << difference.meanLevels;
    }
    std::filesystem::remove_all(folder);
}

// The visitor's microphone, played by Chromium from a file: a phrase sung after the title
// starts a performance, whose closing silences the eight scale notes of the eight performers
// (listening performers play no notes of their own), on the page's synthesiser as well.
// Paced by the real clock, as a visitor's page is; the phrase comes again every 11 seconds,
// so that one follows the title however long a slower machine takes over it.
TEST(WebPage, ASungPhraseStartsAPerformance) {
    GLASSFALLS_SKIP_WITHOUT_PAGE();
    test_support::SungVoice voice;
    voice.sing(0, 11);
    for (int phrase = 0; phrase < 6; ++phrase) {
        voice.singPhrase();
        voice.sing(0, 8);
    }
    const auto wav = test_support::tempPath("web-sung.wav"), midi = test_support::tempPath("web-sung.mid");
    test_support::writeWav(wav.string(), voice.rate, 1, voice.samples);
    const Outcome page = runPage("--fake-microphone " + wav.string() + " -- --frames 300 --midi-file " + midi.string(),
                                 /*ownOptions=*/true);
    ASSERT_EQ(page.status, 0) << page.output;
    EXPECT_NE(page.output.find("glassfalls: listening to the microphone"), std::string::npos) << page.output;
    EXPECT_NE(page.output.find("glassfalls: the built-in synthesiser plays"), std::string::npos) << page.output;
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(platform::readWholeFile(midi.string(), bytes));
    const auto track = test_support::readSmf(bytes);
    ASSERT_TRUE(track.valid) << track.problem;
    ASSERT_GE(track.events.size(), 64u) << "no closing: the phrase was not heard as notes";
    for (size_t i = 0; i < 64; ++i) EXPECT_EQ(track.events[i].status, 0x80) << i;

    // The same phrase to a visitor who refuses the microphone: said, and nothing heard.
    const Outcome refused = runPage(
        "--refuse-microphone --fake-microphone " + wav.string() + " -- --frames 300 --midi-file " + midi.string(),
        /*ownOptions=*/true);
    ASSERT_EQ(refused.status, 0) << refused.output;
    EXPECT_NE(refused.output.find("glassfalls: the microphone was not allowed; the piece hears silence until it is"),
              std::string::npos)
        << refused.output;
    ASSERT_TRUE(platform::readWholeFile(midi.string(), bytes));
    const auto silence = test_support::readSmf(bytes);
    ASSERT_TRUE(silence.valid) << silence.problem;
    EXPECT_TRUE(silence.events.empty()) << "a performance from a refused microphone";
    std::filesystem::remove(wav);
    std::filesystem::remove(midi);
}

// The performers' rings are the one violet in the picture: their pixels, counted.
size_t ringPixels(const std::vector<uint32_t>& texels) {
    return static_cast<size_t>(std::count_if(texels.begin(), texels.end(), [](uint32_t argb) {
        const int red = argb >> 16 & 0xFF, green = argb >> 8 & 0xFF, blue = argb & 0xFF;
        return blue > red + 30 && blue > green + 20;
    }));
}

// Keys pressed in the browser reach the piece as the keyboard's do on the desktop: Enter
// starts a performance without a sung note (the microphone hears silence), and Escape in the
// title ends the piece at once.
TEST(WebPage, KeysReachThePiece) {
    GLASSFALLS_SKIP_WITHOUT_PAGE();
    const auto folder = test_support::tempPath("web-page-keys");
    std::filesystem::remove_all(folder);
    auto lastFrame = [&](const std::string& name, const std::string& presses) {
        const Outcome page = runPage(presses + " -- --frames 200 --size 640x480 --midi none --screenshots " +
                                         (folder / name).string() + " --every 200",
                                     /*ownOptions=*/true);
        EXPECT_EQ(page.status, 0) << name << ": " << page.output;
        return test_support::readPicture(test_support::screenshotPath(folder / name, 200)).texels;
    };
    EXPECT_EQ(ringPixels(lastFrame("none", "")), 0u) << "a performance without a note or a key";
    EXPECT_GT(ringPixels(lastFrame("enter", "--press Enter@170")), 1000u) << "no performance after Enter";

    const Outcome escaped = runPage(
        "--press Escape@10 -- --frames 600 --midi none --screenshots " + (folder / "escape").string() + " --every 1",
        /*ownOptions=*/true);
    EXPECT_EQ(escaped.status, 0) << escaped.output;
    const auto shots = std::distance(std::filesystem::directory_iterator(folder / "escape"), {});
    EXPECT_LT(shots, 128) << "Escape in the title ends the piece before the title ends";
    std::filesystem::remove_all(folder);
}

// Deep blue, as the picture the server sends here has and nothing else of the piece has: its
// pixels, counted.
size_t deepBluePixels(const std::vector<uint32_t>& texels) {
    return static_cast<size_t>(std::count_if(texels.begin(), texels.end(), [](uint32_t argb) {
        const int red = argb >> 16 & 0xFF, blue = argb & 0xFF;
        return blue > 2 * red + 30;
    }));
}

// The arrows turn the scene in a page as at the keyboard: Enter, then Left held and Right
// tapped, pressed in a live page (a headless one, like the desktop's, reads no keyboard) at
// the advances of the desktop program's key script, leave the desktop's frame within three
// levels on 99 % of the pixels, and a frame the arrows changed. The runner holds the page
// before an advance while it presses, so that the keys land where a script puts them.
TEST(WebPage, TheArrowsTurnThePerformersAsOnTheDesktop) {
    GLASSFALLS_SKIP_WITHOUT_PAGE();
    const auto folder = test_support::tempPath("web-page-arrows");
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const std::string common = "--frames 200 --midi none --every 200 --screenshots ";
    auto desktopFrame = [&](const std::string& name, const std::string& script) {
        std::ofstream(folder / (name + ".keys")) << script;
        const Outcome run =
            test_support::runProgram("--headless " + common + (folder / name).string() + " --renderer es --keys " +
                                     (folder / (name + ".keys")).string() + " --data " + sourceFile("data"));
        EXPECT_EQ(run.status, 0) << run.output;
        return test_support::readPicture(test_support::screenshotPath(folder / name, 200)).texels;
    };
    const auto enterOnly = desktopFrame("enter", "140 Enter down\n141 Enter up\n");
    const auto turned = desktopFrame("turned",
                                     "140 Enter down\n141 Enter up\n150 Left down\n180 Left up\n"
                                     "190 Right down\n191 Right up\n");
    const Outcome page =
        runPage("--press Enter@140 --press ArrowLeft@150+30 --press ArrowRight@190 -- --size 640x480 " + common +
                    (folder / "page").string(),
                /*ownOptions=*/true);
    ASSERT_EQ(page.status, 0) << page.output;
    const auto drawn = test_support::readPicture(test_support::screenshotPath(folder / "page", 200)).texels;
    const auto difference = test_support::frameDifference(turned, drawn);
    EXPECT_GE(difference.shareWithin, 0.99) << difference.pixelsOver << " pixels more than 3 levels off";
    EXPECT_LT(test_support::frameDifference(enterOnly, turned).shareWithin, 0.95) << "the arrows turned nothing";
    std::filesystem::remove_all(folder);
}

// The picture server's pictures reach a page over its WebSocket port (a page has no other
// sockets) and lie on the ground once a performance shows them; without them the ground
// is sand.
TEST(WebPage, ThePictureServersPicturesReachThePage) {
    GLASSFALLS_SKIP_WITHOUT_PAGE();
    GLASSFALLS_SKIP_WITHOUT(kWithPictureLink, "picture server");
    const int port = test_support::freeTcpPort();
    const pid_t server = test_support::startProcess(
        std::string(GLASSFALLS_PICTURE_SERVER) + " --port " + std::to_string(test_support::freeUdpPort()) +
        " --websocket-port " + std::to_string(port) + " --rate 5 --pictures " + sourceFile("data/title.png"));
    const auto folder = test_support::tempPath("web-page-pictures");
    std::filesystem::remove_all(folder);
    auto frame = [&](const std::string& name, const std::string& pictures) {
        const Outcome page = runPage("--press Enter@140 -- --frames 200 --size 640x480 --midi none " + pictures +
                                         " --screenshots " + (folder / name).string() + " --every 200",
                                     /*ownOptions=*/true);
        EXPECT_EQ(page.status, 0) << name << ": " << page.output;
        return test_support::readPicture(test_support::screenshotPath(folder / name, 200)).texels;
    };
    EXPECT_GT(deepBluePixels(frame("pictures", "--pictures ws://127.0.0.1:" + std::to_string(port))), 5000u)
        << "no picture on the ground";
    test_support::finishProcess(server, SIGTERM);
    EXPECT_EQ(deepBluePixels(frame("sand", "")), 0u);
    std::filesystem::remove_all(folder);
}

// The page's exit status and lines are the program's own: the same as the desktop program's
// for the same options, word for word where no file is involved.
TEST(WebPage, ItsMistakesAreTheProgramsOwn) {
    GLASSFALLS_SKIP_WITHOUT_PAGE();
    const struct {
        const char* arguments;
        bool sameWords;  // false: a file the page fetches, named in its own words
    } runs[] = {
        {"--headless --frames 0", true},
        {"--headless --frames 3 --size 0x480", true},
        {"--headless --frames 3 --no-such-option", true},
        {"--headless --frames 3 --melody /nonexistent/music.dat", false},
    };
    for (const auto& run : runs) {
        const Outcome desktop = test_support::runProgram(std::string(run.arguments) + " --data " + sourceFile("data"));
        const Outcome page = runPage(run.arguments);
        EXPECT_NE(desktop.status, 0) << run.arguments;
        EXPECT_EQ(page.status, desktop.status) << run.arguments << ": " << page.output;
        if (run.sameWords) {
            EXPECT_EQ(page.output, desktop.output) << run.arguments;
        }
        EXPECT_EQ(page.output.rfind("glassfalls: ", 0) == 0, desktop.output.rfind("glassfalls: ", 0) == 0)
            << run.arguments << ": " << page.output;
    }
    // A Web MIDI output the page cannot have (here: no output, or no Web MIDI on a machine
    // without a MIDI system): said, and the piece plays on without it.
    const Outcome noOutput = runPage("--frames 40 --midi web:Synth");
    EXPECT_EQ(noOutput.status, 0) << noOutput.output;
    EXPECT_TRUE(noOutput.output.find("glassfalls: no Web MIDI output called Synth") != std::string::npos ||
                noOutput.output.find("glassfalls: --midi web:Synth: ") != std::string::npos)
        << noOutput.output;
    // A data set that is not at the URL given.
    const Outcome nowhere = runPage("--headless --frames 3 --data nowhere");
    EXPECT_EQ(nowhere.status, 1);
    EXPECT_NE(nowhere.output.find("glassfalls: --data nowhere: nothing of a data set is there"), std::string::npos)
        << nowhere.output;
    // The fixed-function renderer, which a browser has not, as one a driver cannot give.
    const Outcome compat = runPage("--headless --frames 3 --renderer compat");
    EXPECT_EQ(compat.status, 2);
    EXPECT_NE(compat.output.find("a browser offers only OpenGL ES 3.0 (WebGL 2)"), std::string::npos) << compat.output;
}

}  // namespace
}  // namespace glassfalls
