// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/TitleMesh.h"

#include <algorithm>

#include "math/PieceRandom.h"
#include "platform/gfx/StateTable.h"
#include "render/SphereMap.h"
#include "render/StatePresets.h"
#include "render/WaterMirror.h"

namespace glassfalls {

using namespace platform::gfx;
namespace assets = platform::assets;

namespace {

constexpr float kLandedStepFloor = 0.08f;

// With statePresets::kBlendedTextureTimesColour.
constexpr StateSetting kShadowStates[] = {
    {renderState::ZFunc, Compare::LessEqual},
    {renderState::NormalizeNormals, true},
};

void drawFace(GraphicsDevice& device, const assets::MeshVertex (&face)[3]) {
    device.drawPrimitiveUp(PrimitiveType::TriangleFan, 1, face, sizeof(assets::MeshVertex));
}

}  // namespace

platform::Expected<void> TitleMesh::loadModel(const std::string& modelFile) {
    if (auto loaded = load(modelFile); !loaded) return loaded;
    convertFvf(assets::MeshVertex::kFormat);
    vertexCount = static_cast<int32_t>(mesh.vertices.size());
    faceCount = static_cast<int32_t>(mesh.indices.size() / 3);
    // The loader has checked every index against the vertices.
    triangles.clear();
    triangles.reserve(mesh.indices.size());
    for (const uint32_t index : mesh.indices) triangles.push_back(mesh.vertices[index]);
    return {};
}

void TitleMesh::step() {
    if (dropOffset > 0.0f) {
        dropOffset -= dropStep;
        return;
    }
    // Landed: the model keeps sinking ever slower, down to a steady crawl, and fades.
    landed = true;
    dropStep = std::max(dropStep * 0.6f, kLandedStepFloor);
    dropOffset -= dropStep;
    fade -= 0.015f;
}

void TitleMesh::startRipples(HugeRipples& ripples) const {
    for (size_t f = 0; f + 2 < triangles.size(); f += 3) {
        const float y0 = triangles[f].y + dropOffset, y1 = triangles[f + 1].y + dropOffset;
        const int draw = pieceRandom::next();
        if (draw % 10 == 0 && (y0 < 0.0f) != (y1 < 0.0f)) {
            ripples.spawnHugeRipple(
                {(triangles[f].x + triangles[f + 1].x) * 0.5f, 0.0f, (triangles[f].z + triangles[f + 1].z) * 0.5f});
        }
    }
}

void TitleMesh::draw(GraphicsDevice& device, const Matrix4& normalMatrix) const {
    device.setRenderState(renderState::NormalizeNormals, 1);
    Material material;
    material.diffuse = landed ? ColourValue{fade, fade, fade, fade} : ColourValue{1, 1, 1, 1};
    material.ambient = {0, 0, 0, 1};
    material.specular = {1, 1, 1, 1};
    material.power = 0.4f;
    device.setMaterial(material);
    device.setRenderState(renderState::SpecularMaterialSource, MaterialSource::Material);
    device.setFvf(assets::MeshVertex::kFormat);
    device.setTexture(0, skin.texture.get());
    for (size_t f = 0; f + 2 < triangles.size(); f += 3) {
        assets::MeshVertex face[3] = {triangles[f], triangles[f + 1], triangles[f + 2]};
        for (assets::MeshVertex& v : face) {
            v.y += dropOffset;
            sphereMapCoordinates({v.nx, v.ny, v.nz}, normalMatrix, v.u, v.v);
        }
        drawFace(device, face);
    }
    device.setRenderState(renderState::NormalizeNormals, 0);
    device.setTexture(0, nullptr);
}

void TitleMesh::drawReflection(GraphicsDevice& device, const Matrix4& normalMatrix) const {
    const Matrix4 view = mirrorInTheWater(device);
    device.setRenderState(renderState::CullMode, Cull::Clockwise);
    device.clear(clearFlags::ZBuffer, 0xFF000000u, 1.0f, 0);
    draw(device, normalMatrix);
    device.setTransform(TransformState::View, view);
    device.setTexture(0, nullptr);
    statePresets::restoreBaseline(device);
    applyStates(device, statePresets::kWrapAddressing);
}

void TitleMesh::drawShadow(GraphicsDevice& device, const Matrix4&) const {
    if (landed) return;
    applyStates(device, statePresets::kBlendedTextureTimesColour);
    applyStates(device, kShadowStates);
    Material material;
    material.diffuse = {0, 0, 0.2f, 0.5f};
    material.ambient = {0.1f, 0.1f, 0.1f, 0.2f};
    material.specular = {0, 0, 0, 0.2f};
    device.setMaterial(material);
    device.setRenderState(renderState::SpecularMaterialSource, MaterialSource::Material);
    device.setFvf(assets::MeshVertex::kFormat);
    device.setRenderState(renderState::CullMode, Cull::CounterClockwise);
    device.setTexture(0, nullptr);
    for (size_t f = 0; f + 2 < triangles.size(); f += 3) {
        assets::MeshVertex face[3] = {triangles[f], triangles[f + 1], triangles[f + 2]};
        for (assets::MeshVertex& v : face) {
            v.y = 0.0f;
            v.nx = 0.0f;
            v.ny = 1.0f;
            v.nz = 0.0f;
        }
        drawFace(device, face);
    }
    // Alpha blending stays on for what follows.
    device.setRenderState(renderState::NormalizeNormals, 0);
    device.setTexture(0, nullptr);
    device.setRenderState(renderState::ZFunc, Compare::LessEqual);
}

void TitleMesh::saveState(platform::ByteWriter& out) const {
    savePlace(out);
    out.f32(dropOffset);
    out.f32(dropStep);
    out.f32(fade);
    out.boolean(landed);
}

void TitleMesh::loadState(platform::ByteReader& in) {
    loadPlace(in);
    in.f32(dropOffset);
    in.f32(dropStep);
    in.f32(fade);
    in.boolean(landed);
}

}  // namespace glassfalls
