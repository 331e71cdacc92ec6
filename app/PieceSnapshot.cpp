// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/PieceSnapshot.h"

#include <string>

#include "app/Version.h"
#include "platform/os/ByteStream.h"

namespace glassfalls {

namespace {

constexpr uint32_t kMagic = 0x50534647;  // "GFSP"
// The layout's version: a reader refuses another rather than misread it.
constexpr uint32_t kFormat = 1;
constexpr size_t kLongestVersion = 64;

}  // namespace

std::vector<uint8_t> takeSnapshot(uint64_t advance, uint64_t dataFingerprint, const World& world,
                                  const SceneDirector& director) {
    platform::ByteWriter out;
    out.u32(kMagic);
    out.u32(kFormat);
    out.text(kVersion);
    out.u64(dataFingerprint);
    out.u64(advance);
    out.u32(static_cast<uint32_t>(director.current()->kind));
    out.u32(static_cast<uint32_t>(director.size()));
    for (int i = 0; i < director.size(); ++i) director.at(i)->saveState(out);
    world.saveState(out);
    return out.take();
}

platform::Expected<uint64_t> restoreSnapshot(std::span<const uint8_t> bytes, uint64_t dataFingerprint, World& world,
                                             SceneDirector& director, platform::gfx::GraphicsDevice& device) {
    platform::ByteReader in(bytes);
    uint32_t magic = 0, format = 0;
    in.u32(magic);
    in.u32(format);
    if (!in.ok() || magic != kMagic) return platform::failure("a snapshot that is not one");
    if (format != kFormat)
        return platform::failure("a snapshot in format " + std::to_string(format) + ", not " + std::to_string(kFormat));
    std::string version;
    in.text(version, kLongestVersion);
    if (in.ok() && version != kVersion) {
        return platform::failure("a snapshot from glassFalls " + version + ", and this machine runs " + kVersion +
                                 "; both must run the same version");
    }
    uint64_t fingerprint = 0, advance = 0;
    in.u64(fingerprint);
    in.u64(advance);
    if (in.ok() && fingerprint != dataFingerprint)
        return platform::failure("a snapshot of a piece on another data set (pictures, model or melody)");
    uint32_t sceneKind = 0, scenes = 0;
    in.u32(sceneKind);
    in.u32(scenes);
    SceneEvent* current =
        sceneKind <= static_cast<uint32_t>(Scene::Performance) ? director.find(static_cast<Scene>(sceneKind)) : nullptr;
    if (in.ok() && (!current || scenes != static_cast<uint32_t>(director.size())))
        return platform::failure("a snapshot with other scenes than this piece's");
    for (int i = 0; i < director.size() && in.ok(); ++i) director.at(i)->loadState(in);
    if (in.ok()) world.loadState(in, device);
    if (in.ok() && in.left() != 0) in.fail("has " + std::to_string(in.left()) + " bytes more than a piece");
    if (!in.ok()) return platform::failure("a snapshot that " + in.why());
    director.makeCurrent(current);
    return advance;
}

}  // namespace glassfalls
