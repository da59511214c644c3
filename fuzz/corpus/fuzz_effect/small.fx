// flat
parameter float4x4 Bones[4];
parameter float Scale = 0x10;
parameter string Name = "two words";
parameter texture MeshTex
parameter bool On = TRUE
technique Tech
pass P0
  state CULLMODE CCW
  state D3DRS_ZENABLE 1
  state DEPTHBIAS 0.5
vertex
#version 330 core
void main() {}
fragment
void main() {}
pass P1
vertex
void main() {}
fragment
void main() {}
