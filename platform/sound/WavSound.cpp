// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sound/WavSound.h"

#include <SDL.h>

#include <algorithm>

namespace glassfalls::platform {

namespace {

Expected<std::vector<uint8_t>> convert(const SDL_AudioSpec& spec, const Uint8* data, Uint32 length, uint16_t format,
                                       int channels, int rate) {
    if (spec.freq <= 0 || spec.channels == 0) return failure("it declares no sample rate or channels");
    SDL_AudioStream* stream =
        SDL_NewAudioStream(spec.format, spec.channels, spec.freq, format, static_cast<Uint8>(channels), rate);
    if (!stream) return failure(SDL_GetError());
    std::vector<uint8_t> out;
    // SDL's resampler holds back the last few tens of milliseconds even when flushed: feed a
    // quarter second of silence after the file and cut the output to the file's own length.
    const int frameBytes = SDL_AUDIO_BITSIZE(spec.format) / 8 * spec.channels;
    const std::vector<Uint8> padding(static_cast<size_t>(spec.freq / 4 * frameBytes),
                                     spec.format == AUDIO_U8 ? 0x80 : 0x00);
    const bool ok = SDL_AudioStreamPut(stream, data, static_cast<int>(length)) == 0 &&
                    SDL_AudioStreamPut(stream, padding.data(), static_cast<int>(padding.size())) == 0 &&
                    SDL_AudioStreamFlush(stream) == 0;
    if (ok) {
        // The stream hands its output back in pieces; keep asking until it is empty.
        Uint8 chunk[8192];
        int got = 0;
        while ((got = SDL_AudioStreamGet(stream, chunk, sizeof chunk)) > 0) out.insert(out.end(), chunk, chunk + got);
        const uint64_t frames = frameBytes > 0 ? length / static_cast<uint32_t>(frameBytes) : 0;
        const size_t outFrameBytes = static_cast<size_t>(SDL_AUDIO_BITSIZE(format) / 8 * channels);
        out.resize(std::min<size_t>(out.size(), static_cast<size_t>(frames * static_cast<uint64_t>(rate) /
                                                                    static_cast<uint64_t>(spec.freq) * outFrameBytes)));
    }
    const std::string why = ok ? "" : SDL_GetError();
    SDL_FreeAudioStream(stream);
    if (!ok) return failure(why);
    return out;
}

}  // namespace

Expected<std::vector<uint8_t>> readWavAs(const std::string& path, uint16_t format, int channels, int rate) {
    SDL_AudioSpec spec;
    Uint8* data = nullptr;
    Uint32 length = 0;
    if (!SDL_LoadWAV(path.c_str(), &spec, &data, &length)) {
        return failure("cannot read the WAV file " + path + ": " + SDL_GetError());
    }
    auto converted = convert(spec, data, length, format, channels, rate);
    SDL_FreeWAV(data);
    if (!converted) return failure("cannot convert the WAV file " + path + ": " + converted.error());
    return converted;
}

}  // namespace glassfalls::platform
