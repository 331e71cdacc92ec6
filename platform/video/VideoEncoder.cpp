#include "platform/video/VideoEncoder.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

namespace glassfalls::platform {

namespace {

// The argument in single quotes for the shell, its own quotes escaped.
std::string shellQuoted(const std::string& text) {
    std::string out = "'";
    for (const char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

}  // namespace

bool onPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::istringstream folders(path ? path : "");
    for (std::string folder; std::getline(folders, folder, ':');) {
        const std::string candidate = (folder.empty() ? "." : folder) + "/" + program;
        if (access(candidate.c_str(), X_OK) == 0) return true;
    }
    return false;
}

VideoEncoder::~VideoEncoder() {
    if (!pipe_) return;
    pclose(pipe_);
    std::error_code ignored;
    std::filesystem::remove(partial_, ignored);
}

bool VideoEncoder::open(const std::string& path, int width, int height, int framesPerSecond, std::string& error) {
    path_ = path;
    partial_ = path + ".partial.mkv";
    frameBytes_ = static_cast<size_t>(width) * static_cast<size_t>(height) * 4;
    const std::string command = "ffmpeg -loglevel error -y -f rawvideo -pix_fmt bgra -s " + std::to_string(width) +
                                "x" + std::to_string(height) + " -r " + std::to_string(framesPerSecond) +
                                " -i - -c:v libx264 -pix_fmt yuv420p -f matroska " + shellQuoted(partial_);
    pipe_ = popen(command.c_str(), "w");
    if (!pipe_) {
        error = "cannot start ffmpeg for " + path;
        return false;
    }
    return true;
}

void VideoEncoder::write(const std::vector<uint32_t>& pixels) {
    if (!pipe_ || pixels.size() * 4 != frameBytes_) return;
    // 0xAARRGGBB in memory on this little-endian machine is B, G, R, A: ffmpeg's bgra.
    std::fwrite(pixels.data(), 1, frameBytes_, pipe_);
}

bool VideoEncoder::finish(const std::string& soundFile, std::string& error) {
    if (!pipe_) return false;
    const int status = pclose(pipe_);
    pipe_ = nullptr;
    std::error_code ignored;
    if (status != 0) {
        std::filesystem::remove(partial_, ignored);
        error = "ffmpeg could not encode " + path_;
        return false;
    }
    const std::string sound = soundFile.empty() ? "" : " -i " + shellQuoted(soundFile) + " -c:a aac";
    const std::string command = "ffmpeg -loglevel error -y -i " + shellQuoted(partial_) + sound + " -c:v copy " + shellQuoted(path_);
    const bool made = std::system(command.c_str()) == 0;
    std::filesystem::remove(partial_, ignored);
    if (!made) error = "ffmpeg could not write " + path_;
    return made;
}

}  // namespace glassfalls::platform
