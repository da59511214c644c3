#include "TextTextureCache.h"

#include <algorithm>
#include <epoxy/gl.h>

TextTextureCache::TextTextureCache(std::shared_ptr<GLContext> context, std::size_t maxEntries,
                                   std::size_t maxBytes)
    : m_context(std::move(context)), m_maxEntries(std::max<std::size_t>(maxEntries, 1)),
      m_maxBytes(maxBytes) {}

TextTextureCache::~TextTextureCache() {
    if (!m_context || !m_context->MakeCurrent())
        return;
    for (const auto& entry : m_entries)
        Delete(entry.second);
}

const TextTextureCache::Texture* TextTextureCache::Find(const TextTextureKey& key) {
    const auto found = std::find_if(m_entries.begin(), m_entries.end(),
                                    [&key](const auto& entry) { return entry.first == key; });
    if (found == m_entries.end())
        return nullptr;
    m_entries.splice(m_entries.begin(), m_entries, found);
    return &m_entries.front().second;
}

const TextTextureCache::Texture* TextTextureCache::Insert(TextTextureKey key, const TextCoverage& coverage) {
    const std::size_t bytes =
        static_cast<std::size_t>(coverage.width) * static_cast<std::size_t>(coverage.height);
    if (coverage.width <= 0 || coverage.height <= 0 || coverage.alpha.size() != bytes || !m_context ||
        !m_context->MakeCurrent())
        return nullptr;
    // Errors left by earlier calls must not be taken for this upload's.
    while (glGetError() != GL_NO_ERROR) {
    }
    Texture texture{0, coverage.width, coverage.height};
    glGenTextures(1, &texture.name);
    glBindTexture(GL_TEXTURE_2D, texture.name);
    GLint alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_R8, coverage.width, coverage.height, 0, GL_RED, GL_UNSIGNED_BYTE,
                 coverage.alpha.data());
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    glBindTexture(GL_TEXTURE_2D, 0);
    if (glGetError() != GL_NO_ERROR) {
        Delete(texture);
        return nullptr;
    }
    m_entries.emplace_front(std::move(key), texture);
    m_bytes += bytes;
    EvictBeyondLimits();
    return &m_entries.front().second;
}

void TextTextureCache::EvictBeyondLimits() {
    while (m_entries.size() > 1 && (m_entries.size() > m_maxEntries || m_bytes > m_maxBytes)) {
        const Texture& oldest = m_entries.back().second;
        m_bytes -= static_cast<std::size_t>(oldest.width) * static_cast<std::size_t>(oldest.height);
        Delete(oldest);
        m_entries.pop_back();
    }
}

void TextTextureCache::Delete(const Texture& texture) {
    if (texture.name != 0)
        glDeleteTextures(1, &texture.name);
}
