#include "SettingStatics.h"

#include "DataFolder.h"

float SettingStatics::m_fGridValue = 0.0f;
bool SettingStatics::m_bGridCheckBox1 = false;
bool SettingStatics::m_bGridCheckBox2 = false;
bool SettingStatics::m_bGridCheckBox3 = false;

float SettingStatics::m_fLightDirX = 0.0f;
float SettingStatics::m_fLightDirY = 0.0f;
float SettingStatics::m_fLightDirZ = 0.0f;
float SettingStatics::m_fLightDifR = 0.0f;
float SettingStatics::m_fLightDifG = 0.0f;
float SettingStatics::m_fLightDifB = 0.0f;
float SettingStatics::m_fLightDifA = 0.0f;
float SettingStatics::m_fLightAmbR = 0.0f;
float SettingStatics::m_fLightAmbG = 0.0f;
float SettingStatics::m_fLightAmbB = 0.0f;
float SettingStatics::m_fLightAmbA = 0.0f;
float SettingStatics::m_fLightSpeR = 0.0f;
float SettingStatics::m_fLightSpeG = 0.0f;
float SettingStatics::m_fLightSpeB = 0.0f;
float SettingStatics::m_fLightSpeA = 0.0f;

std::string SettingStatics::ToonName = "Data/Shader/TEX/Toon.png";
std::string SettingStatics::SpeMapName = "Data/Shader/TEX/SpeMap.png";

bool SettingStatics::m_bOKClick = false;
bool SettingStatics::m_bFileOk_1 = false;
bool SettingStatics::m_bFileOk_2 = false;

bool SettingStatics::isFileOk_1() {
    const bool raised = m_bFileOk_1;
    m_bFileOk_1 = false;
    return raised;
}

bool SettingStatics::isFileOk_2() {
    const bool raised = m_bFileOk_2;
    m_bFileOk_2 = false;
    return raised;
}

void SettingStatics::SetStartUpLight() {
    m_fLightDirX = 1.0f;
    m_fLightDirY = -1.0f;
    m_fLightDirZ = 0.0f;
    m_fLightDifR = m_fLightDifG = m_fLightDifB = m_fLightDifA = 1.0f;
    m_fLightAmbR = m_fLightAmbG = m_fLightAmbB = 0.5f;
    m_fLightAmbA = 0.0f;
    m_fLightSpeR = m_fLightSpeG = m_fLightSpeB = 0.5f;
    m_fLightSpeA = 0.0f;
}

void SettingStatics::SetStartUpTexturePaths() {
    ToonName = DataFolder::Path("Data/Shader/TEX/Toon.png");
    SpeMapName = DataFolder::Path("Data/Shader/TEX/SpeMap.png");
}
