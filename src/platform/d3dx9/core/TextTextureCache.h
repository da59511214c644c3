// The text object's rendered strings, kept as GL textures so that a string drawn every frame (a
// frame counter, a read-out) is rasterised once. Least recently used entries go first, beyond a
// count and a byte budget.
#pragma once

#include "GLContext.h"
#include "TextRasterizer.h"

#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <string>

// Everything that decides the pixels of a rendered string, apart from the font and the colour.
struct TextTextureKey {
    std::string text;
    DWORD format = 0;
    std::int64_t rectWidth = 0, rectHeight = 0;
    // The rendered window, from the rectangle's top-left.
    std::int64_t left = 0, top = 0;
    int width = 0, height = 0;

    bool operator==(const TextTextureKey&) const = default;
};

class TextTextureCache {
public:
    struct Texture {
        unsigned name = 0; // a one-channel coverage texture
        int width = 0;
        int height = 0;
    };

    static constexpr std::size_t kMaxEntries = 32;
    static constexpr std::size_t kMaxBytes = 16u << 20;

    explicit TextTextureCache(std::shared_ptr<GLContext> context, std::size_t maxEntries = kMaxEntries,
                              std::size_t maxBytes = kMaxBytes);
    ~TextTextureCache();
    TextTextureCache(const TextTextureCache&) = delete;
    TextTextureCache& operator=(const TextTextureCache&) = delete;

    // The key's texture, now the most recently used; null when it is not held.
    const Texture* Find(const TextTextureKey& key);
    // Uploads the coverage as the key's texture; null when GL refuses it. The newest entry stays even
    // when it alone exceeds the byte budget.
    const Texture* Insert(TextTextureKey key, const TextCoverage& coverage);
    std::size_t Size() const { return m_entries.size(); }

private:
    void EvictBeyondLimits();
    void Delete(const Texture& texture);

    std::shared_ptr<GLContext> m_context;
    std::list<std::pair<TextTextureKey, Texture>> m_entries; // most recently used first
    std::size_t m_maxEntries;
    std::size_t m_maxBytes;
    std::size_t m_bytes = 0;
};
