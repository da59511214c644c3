// The text form of X files, construct by construct, read through the whole loader.
#include "XFileModel.h"
#include "XFileParser.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace {

std::span<const std::uint8_t> AsBytes(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

XFileModel Load(std::string_view text) {
    XFileModel model;
    std::string error;
    EXPECT_TRUE(XFileModel::LoadFromMemory(AsBytes(text), model, error)) << error;
    return model;
}

std::string LoadError(std::string_view text) {
    XFileModel model;
    std::string error;
    EXPECT_FALSE(XFileModel::LoadFromMemory(AsBytes(text), model, error));
    EXPECT_TRUE(model.frames.empty() && model.meshes.empty());
    return error;
}

std::vector<XFileDataObject> ParseAll(std::string_view text) {
    return XFileParser().Parse(AsBytes(text));
}

constexpr std::string_view kHeader = "xof 0303txt 0032\n";

std::string File(std::string_view body) {
    return std::string(kHeader) + std::string(body);
}

const std::string kFullMesh = File(R"(
Mesh Box {
  5;
  0;0;0;, 1;0;0;, 1;1;0;, 0;1;0;, 0.5;0.5;1;;
  2;
  4;0,1,2,3;,
  3;0,1,4;;
  MeshNormals {
    2; 0;0;-1;, 0;1;0;;
    2; 4;0,0,0,0;, 3;1,1,1;;
  }
  MeshTextureCoords { 5; 0;0;, 1;0;, 1;1;, 0;1;, 0.5;0.5;; }
  MeshVertexColors { 2; 0;1;0;0;1;;, 4;0;0;1;0.5;;; }
  MeshMaterialList {
    2; 1; 1;;
    Material Red {
      1;0;0;1;; 20; 0.5;0.5;0.5;; 0;0;0.25;;
      TextureFilename { "C:\\art\\red.png"; }
      EffectInstance {
        "shiny.fx";
        EffectParamFloats { "Tint"; 3; 0.1, 0.2, 0.3; }
        EffectParamString { "Mode"; "fast"; }
        EffectParamDWord { "Passes"; 2; }
      }
    }
    Material Green { 0;1;0;1;; 5; 0;0;0;; 0;0;0;; }
  }
  XSkinMeshHeader { 2; 4; 1; }
  SkinWeights { "Bone"; 2; 0, 4; 0.25, 0.75; 1,0,0,0, 0,1,0,0, 0,0,1,0, 1,2,3,1;; }
  VertexDuplicationIndices { 5; 4; 0,1,2,3,0; }
  DeclData { 1; 2;0;6;0;; 2; 1065353216, 0; }
}
)");

TEST(XFileText, ReadsAMeshWithEveryPart) {
    const XFileModel model = Load(kFullMesh);
    ASSERT_EQ(model.meshes.size(), 1u);
    const XFileMesh& mesh = *model.meshes[0];
    EXPECT_EQ(mesh.name, "Box");
    ASSERT_EQ(mesh.positions.size(), 5u);
    EXPECT_EQ(mesh.positions[4], (std::array<float, 3>{0.5f, 0.5f, 1.0f}));
    EXPECT_EQ(mesh.faceSizes, (std::vector<std::uint32_t>{4, 3}));
    EXPECT_EQ(mesh.faceIndices, (std::vector<std::uint32_t>{0, 1, 2, 3, 0, 1, 4}));

    ASSERT_TRUE(mesh.hasNormals);
    EXPECT_EQ(mesh.normals[1], (std::array<float, 3>{0, 1, 0}));
    EXPECT_EQ(mesh.normalFaceSizes, (std::vector<std::uint32_t>{4, 3}));
    EXPECT_EQ(mesh.normalFaceIndices, (std::vector<std::uint32_t>{0, 0, 0, 0, 1, 1, 1}));
    ASSERT_EQ(mesh.textureCoords.size(), 5u);
    EXPECT_EQ(mesh.textureCoords[2], (std::array<float, 2>{1, 1}));

    ASSERT_TRUE(mesh.hasVertexColors);
    EXPECT_EQ(mesh.vertexColors[0], (std::array<float, 4>{1, 0, 0, 1}));
    EXPECT_EQ(mesh.vertexColors[1], (std::array<float, 4>{1, 1, 1, 1}))
        << "vertices without a colour stay white";
    EXPECT_EQ(mesh.vertexColors[4], (std::array<float, 4>{0, 0, 1, 0.5f}));

    // One index for two faces: the last index carries over.
    EXPECT_EQ(mesh.faceMaterials, (std::vector<std::uint32_t>{1, 1}));
    ASSERT_EQ(mesh.materials.size(), 2u);
    const XFileMaterial& red = mesh.materials[0];
    EXPECT_EQ(red.name, "Red");
    EXPECT_EQ(red.faceColor, (std::array<float, 4>{1, 0, 0, 1}));
    EXPECT_EQ(red.power, 20.0f);
    EXPECT_EQ(red.specularColor, (std::array<float, 3>{0.5f, 0.5f, 0.5f}));
    EXPECT_EQ(red.emissiveColor, (std::array<float, 3>{0, 0, 0.25f}));
    EXPECT_EQ(red.textureFilename, "C:\\\\art\\\\red.png") << "the name stays as written";
    ASSERT_TRUE(red.hasEffect);
    EXPECT_EQ(red.effect.effectFilename, "shiny.fx");
    ASSERT_EQ(red.effect.parameters.size(), 3u);
    EXPECT_EQ(red.effect.parameters[0].name, "Tint");
    EXPECT_EQ(red.effect.parameters[0].floats, (std::vector<float>{0.1f, 0.2f, 0.3f}));
    EXPECT_EQ(red.effect.parameters[1].kind, XFileEffectParameter::Kind::String);
    EXPECT_EQ(red.effect.parameters[1].text, "fast");
    EXPECT_EQ(red.effect.parameters[2].kind, XFileEffectParameter::Kind::DWord);
    EXPECT_EQ(red.effect.parameters[2].dword, 2u);
    EXPECT_TRUE(mesh.materials[1].textureFilename.empty());
    EXPECT_FALSE(mesh.materials[1].hasEffect);

    ASSERT_TRUE(mesh.hasSkinHeader);
    EXPECT_EQ(mesh.maxSkinWeightsPerVertex, 2u);
    EXPECT_EQ(mesh.maxSkinWeightsPerFace, 4u);
    EXPECT_EQ(mesh.boneCount, 1u);
    ASSERT_EQ(mesh.skinWeights.size(), 1u);
    EXPECT_EQ(mesh.skinWeights[0].boneName, "Bone");
    EXPECT_EQ(mesh.skinWeights[0].vertexIndices, (std::vector<std::uint32_t>{0, 4}));
    EXPECT_EQ(mesh.skinWeights[0].weights, (std::vector<float>{0.25f, 0.75f}));
    EXPECT_EQ(mesh.skinWeights[0].offsetMatrix[12], 1.0f);
    EXPECT_EQ(mesh.skinWeights[0].offsetMatrix[14], 3.0f);

    ASSERT_TRUE(mesh.hasDuplicationIndices);
    EXPECT_EQ(mesh.originalVertexCount, 4u);
    EXPECT_EQ(mesh.duplicationIndices, (std::vector<std::uint32_t>{0, 1, 2, 3, 0}));
    ASSERT_EQ(mesh.declElements.size(), 1u);
    EXPECT_EQ(mesh.declElements[0].type, 2u);
    EXPECT_EQ(mesh.declElements[0].usage, 6u);
    EXPECT_EQ(mesh.declData, (std::vector<std::uint32_t>{1065353216, 0}));
}

TEST(XFileText, ReadsFramesWithTransformsChildrenAndMeshes) {
    const XFileModel model = Load(File(R"(
Frame Root {
  FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 10,20,30,1;; }
  Frame Arm {
    Frame Hand { Mesh HandMesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; } }
  }
  Frame Leg { }
}
Frame Second { }
Mesh Loose { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;2,1,0;; }
)"));
    ASSERT_EQ(model.frames.size(), 2u);
    const XFileFrame& root = model.frames[0];
    EXPECT_EQ(root.name, "Root");
    EXPECT_EQ(root.transform[12], 10.0f);
    EXPECT_EQ(root.transform[14], 30.0f);
    ASSERT_EQ(root.children.size(), 2u);
    EXPECT_EQ(root.children[0].name, "Arm");
    EXPECT_EQ(root.children[0].transform, XFileFrame{}.transform) << "no matrix means identity";
    ASSERT_EQ(root.children[0].children.size(), 1u);
    ASSERT_EQ(root.children[0].children[0].meshes.size(), 1u);
    EXPECT_EQ(root.children[0].children[0].meshes[0]->name, "HandMesh");
    EXPECT_EQ(root.children[1].name, "Leg");
    EXPECT_EQ(model.frames[1].name, "Second");
    ASSERT_EQ(model.meshes.size(), 1u);
    EXPECT_EQ(model.meshes[0]->faceIndices, (std::vector<std::uint32_t>{2, 1, 0}));
}

TEST(XFileText, FollowsReferencesByNameByUuidAndByBoth) {
    const XFileModel model = Load(File(R"(
Material Gold { <11111111-2222-3333-4444-555555555555> 1;0.8;0;1;; 10; 1;1;1;; 0;0;0;; }
Material Iron { <AAAAAAAA-BBBB-cccc-DDDD-eeeeeeeeeeee> 0.5;0.5;0.5;1;; 1; 0;0;0;; 0;0;0;; }
Mesh Shared { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;;
  MeshMaterialList { 3; 1; 2;; { Gold } {<aaaaaaaa-bbbb-CCCC-dddd-EEEEEEEEEEEE>} { Gold <11111111-2222-3333-4444-555555555555> } }
}
Frame Holder { {Shared} }
)"));
    ASSERT_EQ(model.meshes.size(), 1u);
    const XFileMesh& mesh = *model.meshes[0];
    ASSERT_EQ(mesh.materials.size(), 3u);
    EXPECT_EQ(mesh.materials[0].name, "Gold");
    EXPECT_EQ(mesh.materials[1].name, "Iron") << "UUIDs compare ignoring case";
    EXPECT_EQ(mesh.materials[2].name, "Gold");
    EXPECT_EQ(mesh.faceMaterials, (std::vector<std::uint32_t>{2}));
    ASSERT_EQ(model.frames.size(), 1u);
    ASSERT_EQ(model.frames[0].meshes.size(), 1u) << "a frame may hold a mesh by reference";
    EXPECT_EQ(model.frames[0].meshes[0]->name, "Shared");
}

TEST(XFileText, ReadsTheNumberFormsExportersWrite) {
    const std::vector<XFileDataObject> objects = ParseAll(File(R"(
template Numbers { <01234567-89ab-cdef-0123-456789abcdef> array FLOAT f[12]; DWORD a; SDWORD b; DWORD c; WORD d; }
Numbers {
  1;;2,+1.5,.5,-0.25e1
  1.#QNAN0,-1.#INF,1.#IND00,nan,1e39,-1.#INF00,3.5;
  24.000000; -7; 4294967295; +8
}
)"));
    ASSERT_EQ(objects.size(), 1u);
    EXPECT_EQ(objects[0].floats, (std::vector<float>{1, 2, 1.5f, 0.5f, -2.5f, 0, 0, 0, 0, 0, 0, 3.5f}))
        << "non-finite and out-of-range values read as 0";
    EXPECT_EQ(objects[0].integers,
              (std::vector<std::uint32_t>{24, static_cast<std::uint32_t>(-7), 4294967295u, 8}));
}

TEST(XFileText, ReadsNumbersTheSameWhateverTheProcessLocale) {
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous ? previous : "C";
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8"))
        GTEST_SKIP() << "no de_DE.UTF-8 locale";
    const XFileModel model = Load(kFullMesh);
    std::setlocale(LC_NUMERIC, saved.c_str());
    ASSERT_EQ(model.meshes.size(), 1u);
    EXPECT_EQ(model.meshes[0]->positions[4][0], 0.5f);
}

TEST(XFileText, SkipsCommentsAndToleratesLooseSeparators) {
    const XFileModel model = Load(File("# a comment { with braces\r\n"
                                       "// another \"quoted\" one\r\n"
                                       "Mesh M { // trailing comment\r\n"
                                       "  3 # count\r\n"
                                       "  0 0 0, 1 0 0 ,, 0 1 0;;;\r\n"
                                       "  1 3 0 1 2\r\n"
                                       "}\r\n"));
    ASSERT_EQ(model.meshes.size(), 1u);
    EXPECT_EQ(model.meshes[0]->positions[2], (std::array<float, 3>{0, 1, 0}));
    EXPECT_EQ(model.meshes[0]->faceIndices, (std::vector<std::uint32_t>{0, 1, 2}));
}

TEST(XFileText, ReadsShiftJisAndUtf8NamesWhoseBytesLookLikeBraces) {
    // "ボーン" in Shift-JIS is 83 7B 81 5B 83 93: its second bytes are '{' and '['. "マ" is 83 7D: '}'.
    const std::string bone = "\x83\x7B\x81\x5B\x83\x93";
    const XFileModel model = Load(File("Unknown \x83\x7D { \x83\x7D }\n"
                                       "Frame " +
                                       bone +
                                       " { Frame \xE3\x83\x9C\xE3\x83\xBC\xE3\x83\xB3{ } }\n"
                                       "AnimationSet { Animation { {" +
                                       bone + "} } }\n"));
    ASSERT_EQ(model.frames.size(), 1u);
    EXPECT_EQ(model.frames[0].name, bone);
    ASSERT_EQ(model.frames[0].children.size(), 1u);
    EXPECT_EQ(model.frames[0].children[0].name, "\xE3\x83\x9C\xE3\x83\xBC\xE3\x83\xB3");
    EXPECT_EQ(model.animationSets.at(0).animations.at(0).frameName, bone);
}

TEST(XFileText, SkipsUnknownObjectsWholeWithEverythingInThem) {
    const XFileModel model = Load(File(R"(
Undeclared stuff { 1; "a } brace in a string"; # } in a comment
  Frame Hidden { }
  { Reference }
}
template Wrapper { <00000000-0000-0000-0000-000000000001> DWORD n; [...] }
Wrapper { 2; Frame AlsoHidden { } }
Frame Seen { Undeclared { Mesh Inner { 1; 0;0;0;; 0;; } } }
)"));
    ASSERT_EQ(model.frames.size(), 1u);
    EXPECT_EQ(model.frames[0].name, "Seen");
    EXPECT_TRUE(model.frames[0].meshes.empty());

    // The generic parser keeps declared templates when asked for everything.
    const std::vector<XFileDataObject> all =
        ParseAll(File("template Wrapper { <00000000-0000-0000-0000-000000000001> "
                      "DWORD n; [...] }\nWrapper w { 2; Frame F { } }\n"));
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0].type, "Wrapper");
    EXPECT_EQ(all[0].name, "w");
    EXPECT_EQ(all[0].integers, std::vector<std::uint32_t>{2});
    ASSERT_EQ(all[0].children.size(), 1u);
    EXPECT_EQ(all[0].children[0].type, "Frame");
}

TEST(XFileText, DeclaresTemplatesWithArraysRestrictionsAndRedeclarations) {
    const std::vector<XFileDataObject> objects = ParseAll(File(R"(
template Grid { <00000000-0000-0000-0000-000000000002>
  DWORD rows; DWORD cols; array WORD cells[rows][cols]; array FLOAT fixed[2][2]; STRING label;
  [Frame <3D82AB46-62DA-11cf-AB39-0020AF71E433>, Mesh]
}
Grid { 2; 3; 1,2,3,4,5,6; 0.5,1.5,2.5,3.5; "tag"; }
template Vector { <3D82AB5E-62DA-11cf-AB39-0020AF71E433> FLOAT x; FLOAT y; }
template UsesMissing { <00000000-0000-0000-0000-000000000003> Missing m; }
template BadSize { <00000000-0000-0000-0000-000000000004> array DWORD d[nowhere]; }
template Pair { <00000000-0000-0000-0000-000000000005> Vector a; Vector b; }
UsesMissing { 1; }
BadSize { 1; }
Pair { 1;2;;3;4;; }
)"));
    ASSERT_EQ(objects.size(), 2u) << "objects of unusable templates are skipped";
    EXPECT_EQ(objects[0].integers, (std::vector<std::uint32_t>{2, 3, 1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(objects[0].floats, (std::vector<float>{0.5f, 1.5f, 2.5f, 3.5f}));
    EXPECT_EQ(objects[0].strings, std::vector<std::string>{"tag"});
    EXPECT_EQ(objects[1].type, "Pair");
    EXPECT_EQ(objects[1].floats, (std::vector<float>{1, 2, 3, 4}))
        << "the redeclared two-float Vector applies";
}

TEST(XFileText, ReadsAnimationSetsKeysAndOptions) {
    const XFileModel model = Load(File(R"(
Frame Bone { <99999999-0000-0000-0000-000000000000> }
AnimTicksPerSecond { 30; }
AnimationSet Walk {
  Animation A {
    { Bone }
    AnimationOptions { 0; 0; }
    AnimationKey { 0; 2; 0;4;1,0,0,0;;, 10;4;0.5,0.5,0.5,0.5;;; }
    AnimationKey { 1; 1; 5;3;2,2,2;;; }
    AnimationKey { 2; 1; 7;3;1,2,3;;; }
    AnimationKey { 4; 1; 9;16;1,0,0,0,0,1,0,0,0,0,1,0,4,5,6,1;;; }
  }
  Animation { {<99999999-0000-0000-0000-000000000000>} AnimationKey { 3; 0; } }
}
Animation Loose { { Missing } }
AnimTicksPerSecond { 60; }
)"));
    EXPECT_TRUE(model.hasTicksPerSecond);
    EXPECT_EQ(model.ticksPerSecond, 60u) << "the last value stands";
    ASSERT_EQ(model.animationSets.size(), 2u);
    const XFileAnimationSet& walk = model.animationSets[0];
    EXPECT_EQ(walk.name, "Walk");
    ASSERT_EQ(walk.animations.size(), 2u);
    const XFileAnimation& a = walk.animations[0];
    EXPECT_EQ(a.frameName, "Bone");
    EXPECT_TRUE(a.hasOptions);
    EXPECT_EQ(a.openClosed, 0u);
    EXPECT_EQ(a.positionQuality, 0u);
    ASSERT_EQ(a.rotationKeys.size(), 2u);
    EXPECT_EQ(a.rotationKeys[1].time, 10u);
    EXPECT_EQ(a.rotationKeys[0].w, 1.0f) << "w comes first in the file";
    EXPECT_EQ(a.rotationKeys[0].x, 0.0f);
    ASSERT_EQ(a.scaleKeys.size(), 1u);
    EXPECT_EQ(a.scaleKeys[0].value, (std::array<float, 3>{2, 2, 2}));
    ASSERT_EQ(a.positionKeys.size(), 1u);
    EXPECT_EQ(a.positionKeys[0].time, 7u);
    EXPECT_EQ(a.positionKeys[0].value, (std::array<float, 3>{1, 2, 3}));
    ASSERT_EQ(a.matrixKeys.size(), 1u);
    EXPECT_EQ(a.matrixKeys[0].matrix[13], 5.0f);
    EXPECT_EQ(walk.animations[1].frameName, "Bone") << "a reference by UUID names its target";
    EXPECT_FALSE(walk.animations[1].hasOptions);
    EXPECT_EQ(model.animationSets[1].name, "") << "animations outside sets are gathered";
    EXPECT_EQ(model.animationSets[1].animations[0].frameName, "Missing");
}

TEST(XFileText, WithoutTicksPerSecondUsesTheDefault) {
    const XFileModel model = Load(File("Frame F { }\n"));
    EXPECT_FALSE(model.hasTicksPerSecond);
    EXPECT_EQ(model.ticksPerSecond, XFileModel::kDefaultTicksPerSecond);
}

const std::string kTriangle = "Mesh T { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; ";

TEST(XFileText, RejectsIndicesOutOfRangeNamingThePlace) {
    EXPECT_EQ(LoadError(File("Mesh T {\n 3; 0;0;0;, 1;0;0;, 0;1;0;;\n 1; 3;0,1,3;;\n}\n")),
              "line 2: Mesh 'T' face 0 uses vertex 3, but there are 3 vertices");
    EXPECT_EQ(LoadError(File(kTriangle + "MeshNormals { 1; 0;0;1;; 1; 3;0,0,1;; } }")),
              "line 2: MeshNormals face 0 uses normal 1, but there is 1 normal");
    EXPECT_EQ(LoadError(File(kTriangle +
                             "MeshMaterialList { 1; 1; 1;; Material { 1;1;1;1;; 0; 0;0;0;; 0;0;0;; } } }")),
              "line 2: MeshMaterialList gives face 0 material 1, but there is 1 material");
    EXPECT_EQ(
        LoadError(File(kTriangle + "SkinWeights { \"B\"; 1; 3; 1; 1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1;; } }")),
        "line 2: SkinWeights for bone 'B' weights vertex 3, but the mesh has 3 vertices");
    EXPECT_EQ(LoadError(File(kTriangle + "MeshVertexColors { 1; 7; 1;1;1;1;;; } }")),
              "line 2: MeshVertexColors colours vertex 7, but the mesh has 3 vertices");
}

TEST(XFileText, RejectsBrokenMaterialListsAndAnimationKeys) {
    EXPECT_EQ(LoadError(File(kTriangle + "MeshMaterialList { 2; 1; 0;; { Nothing } } }")),
              "line 2: MeshMaterialList refers to 'Nothing', which the file does not define");
    EXPECT_EQ(LoadError(File(kTriangle + "MeshMaterialList { 2; 1; 0;; } }")),
              "line 2: MeshMaterialList declares 2 materials but holds 0");
    EXPECT_EQ(LoadError(File("Animation { AnimationKey k { 5; 0; } }")),
              "line 2: AnimationKey 'k' has the unknown key type 5");
    EXPECT_EQ(LoadError(File("Animation { AnimationKey { 0; 1; 0;3;1,2,3;;; } }")),
              "line 2: AnimationKey key 0 of type 0 has 3 values, not 4");
}

TEST(XFileText, RejectsCountsTheRestOfTheFileCannotHoldBeforeAllocating) {
    const std::string error = LoadError(File("Mesh M {\n 4000000000;\n 0;0;0;;\n}\n"));
    EXPECT_EQ(error,
              "line 3: 'vertices' declares 4000000000 elements, more than the rest of the file can hold");
    EXPECT_NE(LoadError(File("Mesh M { 1; 0;0;0;; 1; 4294967295; 0; }")).find("'faceVertexIndices' declares"),
              std::string::npos);
}

TEST(XFileText, RejectsMalformedSyntaxWithTheLineAndWhatWasExpected) {
    EXPECT_EQ(LoadError("abc"), "not an X file: shorter than the 16-byte header");
    EXPECT_EQ(LoadError("xyz 0303txt 0032 Frame F {}"), "not an X file: it does not begin with \"xof \"");
    EXPECT_EQ(LoadError("xof 0303zip 0032 Frame F {}"), "byte offset 8: unknown X file format \"zip \"");
    EXPECT_EQ(LoadError("xof 0303txt 0016 Frame F {}"), "byte offset 12: unsupported float size \"0016\"");
    EXPECT_EQ(LoadError(File("Frame F {\n")), "line 3: the file ends inside 'Frame' begun at line 2");
    EXPECT_EQ(LoadError(File("\n\nMesh M { 1; 0;0;0;; 0; 5; }")),
              "line 4: 'Mesh' holds more values than its template declares");
    EXPECT_EQ(LoadError(File("Mesh M { 1; 0;0;0x1;; 0; }")), "line 2: malformed number, found '0x1'");
    EXPECT_EQ(LoadError(File("Mesh M { 1.5; }")), "line 2: expected an integer, found '1.5'");
    EXPECT_EQ(LoadError(File("Mesh M { 99999999999; }")),
              "line 2: integer out of range, found '99999999999'");
    EXPECT_EQ(LoadError(File("TextureFilename { \"open")), "line 2: a string runs to the end of the file");
    EXPECT_EQ(LoadError(File("Frame F { } 5")), "line 2: expected a template or a data object, found '5'");
    EXPECT_EQ(LoadError(File("template T { <0000-> }")),
              "line 2: malformed UUID: expected a hexadecimal digit, found '-'");
    EXPECT_EQ(LoadError(File("Frame F { ( }")), "line 2: expected '}' to close 'Frame', found '('");
}

TEST(XFileText, RefusesObjectsNestedDeeperThanAnyModel) {
    std::string deep;
    for (int i = 0; i < 300; ++i)
        deep += "Frame {";
    deep += std::string(300, '}');
    EXPECT_EQ(LoadError(File(deep)), "line 2: data objects are nested more than 256 deep");
    std::string fine;
    for (int i = 0; i < 200; ++i)
        fine += "Frame {";
    fine += std::string(200, '}');
    EXPECT_EQ(Load(File(fine)).frames.size(), 1u);
}

TEST(XFileText, FailsCleanlyWhenCutAtAnyByte) {
    const std::string whole = File(R"(Frame R {
  FrameTransformMatrix { 1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1;; }
  Mesh M { 3; 0;0;0;, 1.5;0;0;, 0;1;0;; 1; 3;0,1,2;;
    MeshMaterialList { 1; 1; 0;; Material { 1;1;1;1;; 0; 0;0;0;; 0;0;0;; TextureFilename { "t.png"; } } }
    SkinWeights { "R"; 1; 0; 1.0; 1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1;; }
  }
})");
    // Up to the frame the cut leaves an empty but valid file (or not even a header); after it, a broken
    // frame.
    const std::size_t frameStart = whole.find("Frame");
    for (std::size_t length = 0; length < whole.size(); ++length) {
        if (length >= 16 && length <= frameStart)
            continue;
        XFileModel model;
        std::string error;
        EXPECT_FALSE(
            XFileModel::LoadFromMemory(AsBytes(std::string_view(whole).substr(0, length)), model, error))
            << "cut at " << length;
        EXPECT_FALSE(error.empty());
    }
    EXPECT_EQ(Load(whole).frames.size(), 1u);
}

} // namespace
