// Renderings compared with the reference images kept beside the tests.
#pragma once

#include "Platform/UI/Image.hpp"
#include "Platform/UI/LaidOutNode.hpp"
#include "Platform/UI/Renderer.hpp"

#include <cstdint>
#include <filesystem>
#include <string>

struct Channels {
    int alpha;
    int red;
    int green;
    int blue;
};

Channels channels(std::uint32_t pixel);

// The image in a PNG file, as renderImage would give it; empty when the
// file cannot be read.
UI::Image decodedPNG(const std::filesystem::path& path);

// Compares a rendering with `directory`/`name`.png, allowing each channel
// of each pixel to differ by a few steps (antialiasing may round
// differently from one Cairo or FreeType release to the next). With
// TAVVO_UPDATE_REFERENCE_IMAGES set, writes the reference instead.
void expectMatchesReference(const UI::LaidOutNode& tree, const UI::RenderOptions& options, const std::filesystem::path& directory,
    const std::string& name);
