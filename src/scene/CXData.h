// One model instance placed in the scene: a mesh shared through the mesh cache, the model's path, its
// index in the scene list and the world matrix that every edit folds into. The world matrix is the
// object's only authoritative transform; it is what is drawn, saved, copied and pasted. The position
// is kept beside it because each update writes it back into the translation row.
#pragma once

#include "D3DZBinaryRecords.h"
#include "D3DZCMATRIX.h"
#include "D3DZCXFILE.h"
#include "D3DZMapFileLoad.h"
#include "Fieldsmith.h"
#include "ShadedObject.h"

#include <string>

class CXData : public ShadedObject {
public:
    // With flag 0 the model named by the main window's model-open dialog is loaded; the record is not
    // used. Any other flag leaves an empty object.
    CXData(int flag, D3DZMAPDATA* data);
    // Model and world matrix from a map record; a null record leaves an empty object.
    explicit CXData(Fieldsmith::_TAG_MAPDATA* data);
    ~CXData() override = default;
    CXData(const CXData&) = delete;
    CXData& operator=(const CXData&) = delete;

    void Init();
    void Init(Fieldsmith::_TAG_MAPDATA* data);

    D3DZCMATRIX* GetWorld() override { return &m_mWorld; }
    D3DZCXFILE* GetXData() override { return m_pXFile; }
    // The position is not taken from m: the next update puts the object's own position back.
    void SetWorld(const D3DXMATRIX* m);
    int GetID() const { return m_iID; }
    void SetID(int id) { m_iID = id; }
    std::string GetFilename() const { return m_strFileName; }

    // The position the next update writes into the world matrix; the list's commands move the object
    // through it.
    const D3DXVECTOR3& GetPos() const { return m_vPos; }
    void SetPos(const D3DXVECTOR3& pos) { m_vPos = pos; }
    const D3DXVECTOR3& GetRot() const { return m_vRot; }
    const D3DZCMATRIX& GetRotation() const { return m_mRotation; }
    int GetSnapCount() const { return m_iSnapCount; }

    // One frame of editing for the selected object: the coordinate pop-up's entry and the mouse drag
    // on the manipulator, by the main window's edit type.
    void Update();
    // In the main window's render mode, with the local axes when they are switched on.
    void Draw();
    // What Draw does to the object's own state when the object is left out of a pass: in the
    // shadow-map mode its toggle between the two passes still turns.
    void PassOver();
    void Release() {}

    // The drag edits, one step per frame.
    void TransUnProjectMove();
    void MatrixRotation(D3DZCMATRIX& mRot);
    void MatrixScaling(D3DZORVFILE* delta);

private:
    // This frame's drag as rotation or scale amounts (c per pixel and unit of camera distance), with
    // the Shift snap counted and Ctrl and Alt applied.
    void DragAmounts(float c, float& dX, float& dY);
    void DrawLocalAxes();

    D3DXVECTOR3 m_vPos{0.0f, 0.0f, 0.0f};
    D3DXVECTOR3 m_vRot{0.0f, 0.0f, 0.0f};
    D3DXVECTOR3 m_vScale{1.0f, 1.0f, 1.0f};
    D3DZCMATRIX m_mRotation;
    D3DZCMATRIX m_mWorld;
    D3DZCXFILE* m_pXFile = nullptr;
    int m_iID = 0;
    std::string m_strFileName;
    int m_iSnapCount = 0;
    bool m_bShadowPass = false;
};
