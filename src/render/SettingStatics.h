// The values the settings window edits. They live in statics so that they outlive any one settings
// window and so that the frame loop, the grid overlay and the shader set can read them without a
// window: the settings window class derives from this one and reaches them under its own name.
#pragma once

#include <string>

class SettingStatics {
public:
    static float m_fGridValue;
    static bool m_bGridCheckBox1;
    static bool m_bGridCheckBox2;
    static bool m_bGridCheckBox3;

    static float m_fLightDirX, m_fLightDirY, m_fLightDirZ;
    static float m_fLightDifR, m_fLightDifG, m_fLightDifB, m_fLightDifA;
    static float m_fLightAmbR, m_fLightAmbG, m_fLightAmbB, m_fLightAmbA;
    static float m_fLightSpeR, m_fLightSpeG, m_fLightSpeB, m_fLightSpeA;

    // Paths as chosen, UTF-8; the path boxes of the window always show the same text.
    static std::string ToonName;
    static std::string SpeMapName;

    static bool m_bOKClick;
    static bool m_bFileOk_1;
    static bool m_bFileOk_2;

    // The start-up texture paths in the data folder in use: "Data/Shader/TEX/Toon.png" and
    // "Data/Shader/TEX/SpeMap.png" as they stand while that is the working directory's.
    static void SetStartUpTexturePaths();
    // The light the editor starts with: white from above at an angle, grey ambient and specular.
    static void SetStartUpLight();
    static float GetGridValue() { return m_fGridValue; }
    static void SetGridValue(float value) { m_fGridValue = value; }
    static bool GetOKClick() { return m_bOKClick; }
    static void SetOKClick(bool value) { m_bOKClick = value; }
    // True once after a new toon texture was chosen.
    static bool isFileOk_1();
    // True once after a new sphere-map texture was chosen.
    static bool isFileOk_2();
};
