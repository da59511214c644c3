// A small skinned, animated X file for tests: a strip of two quads along x moved by two bones, the
// knee halfway, plus an unskinned stick in a frame of its own.
#pragma once

// The strip glows white (emissive), so it shows without normals in any light. Strip vertices 0 and 1
// (x = 0) follow Hip alone, 2 and 3 (x = 1) Hip and Knee half each, 4 and 5 (x = 2) Knee alone. Set
// "Bend" lifts Knee from (1, 0, 0) to (1, 2, 0) over one second; set "Stay" holds Hip where it is. Ten
// ticks per second.
constexpr const char* kSkinnedStrip = R"(xof 0303txt 0032
Frame Body {
  Mesh Strip {
    6; 0;0;0;, 0;1;0;, 1;0;0;, 1;1;0;, 2;0;0;, 2;1;0;;
    2; 4;0,1,3,2;, 4;2,3,5,4;;
    MeshMaterialList { 1; 2; 0,0;; Material Skin { 1;1;1;1;; 0; 0;0;0;; 1;1;1;; } }
    XSkinMeshHeader { 2; 4; 2; }
    SkinWeights { "Hip"; 4; 0,1,2,3; 1,1,0.5,0.5; 1,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,0,1;; }
    SkinWeights { "Knee"; 4; 2,3,4,5; 0.5,0.5,1,1; 1,0,0,0, 0,1,0,0, 0,0,1,0, -1,0,0,1;; }
  }
}
Frame Hip {
  Frame Knee {
    FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 1,0,0,1;; }
  }
}
Frame Prop {
  FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,5,1;; }
  Mesh Stick { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }
}
AnimTicksPerSecond { 10; }
AnimationSet Bend {
  Animation { { Knee } AnimationKey { 2; 2; 0;3;1,0,0;;, 10;3;1,2,0;;; } }
}
AnimationSet Stay {
  Animation { { Hip } AnimationKey { 2; 1; 0;3;0,0,0;;; } }
}
)";
