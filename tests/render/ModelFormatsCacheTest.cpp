#include "D3DZCDIRECT3D.h"
#include "D3DZDMXFILE.h"
#include "MessageBoxRecorder.h"
#include "ModelLoader.h"
#include "ModelTestFiles.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>

namespace {

class ModelFormatsCache : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(D3DZCDIRECT3D::GetInstance().Init(nullptr, 0, 32, 32), nullptr); }
    void TearDown() override {
        D3DZDMXFILE::GetInstance().AllClear();
        D3DZCDIRECT3D::GetInstance().Release();
    }

    TempDir m_dir;
    MessageBoxRecorder m_messages;
};

std::string GreenPng() {
    QImage image(2, 2, QImage::Format_ARGB32);
    image.fill(Qt::green);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes.toStdString();
}

// The quad with its texture in the .glb's own buffer, after the mesh data.
std::string TexturedGlb() {
    const std::string png = GreenPng();
    QuadGltf quad;
    quad.uri = "";
    quad.length = std::to_string(60 + png.size());
    quad.material = R"(,"pbrMetallicRoughness":{"baseColorTexture":{"index":0}})";
    quad.top = R"("textures":[{"source":0}],"images":[{"bufferView":2,"mimeType":"image/png"}],)";
    std::string json = quad.Text();
    ReplaceAll(json, R"(,"uri":"")", "");
    ReplaceAll(json, R"({"buffer":0,"byteOffset":48,"byteLength":12}])",
               R"({"buffer":0,"byteOffset":48,"byteLength":12},{"buffer":0,"byteOffset":60,"byteLength":)" +
                   std::to_string(png.size()) + "}]");
    return Glb(json, QuadBuffer() + png);
}

TEST_F(ModelFormatsCache, AGlbLoadsOnceWithItsOwnTextureAndABadOneCachesAnEmptyModel) {
    D3DZDMXFILE& cache = D3DZDMXFILE::GetInstance();
    const std::string good = m_dir.Write("quad.glb", TexturedGlb());
    D3DZCXFILE* model = cache.Load(good);
    ASSERT_NE(model->GetMesh(), nullptr) << ModelLoader::LastError(good);
    EXPECT_EQ(model->GetMesh()->GetNumFaces(), 2u);
    ASSERT_EQ(model->GetMaterialCnt(), 1u);
    EXPECT_NE(model->GetTextures()[0].GetTex(), nullptr);
    EXPECT_EQ(cache.Load(good), model);

    const std::string bad = m_dir.Write("bad.glb", TexturedGlb().substr(0, 30));
    D3DZCXFILE* empty = cache.Load(bad);
    EXPECT_EQ(empty->GetMesh(), nullptr);
    EXPECT_EQ(empty->GetMaterialCnt(), 0u);
    EXPECT_NE(ModelLoader::LastError(bad).find("bad.glb"), std::string::npos);
    EXPECT_EQ(cache.Load(bad), empty);
}

} // namespace
