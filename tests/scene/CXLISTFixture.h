// A list of our own on the real main window: frames are the input sampling followed by the list's
// update, models are boxes written to a fresh directory, and the main window is made active where the
// window system allows it.
#pragma once

#include "SceneFixture.h"

#include "CXLIST.h"
#include "CheckedListBox.h"
#include "FileDialog.h"
#include "RequireActive.h"
#include "TempDir.h"
#include "TestMeshes.h"

#include <QTest>

#include <string>
#include <vector>

class ObjectList : public SceneFixture {
protected:
    void SetUp() override {
        SceneFixture::SetUp();
        m_form->activateWindow();
        m_active = QTest::qWaitForWindowActive(m_form, 3000);
        m_box = m_dir.Write("box.x", TestMeshes::Box(-1, -1, -1, 1, 1, 1, {1, 0, 0}));
        m_ball = m_dir.Write("ball.x", TestMeshes::Sphere(1, 8, 6, {0, 1, 0}));
    }
    void TearDown() override {
        m_list.Release();
        SceneFixture::TearDown();
    }

    void Frame() {
        CAPP::GetInstance().SampleInput();
        m_list.Update();
    }
    // What choosing a file in the model dialog, or dropping it, leaves for the next frame.
    void Open(const std::string& path) {
        m_form->openFileDialog1->setFileName(QString::fromStdString(path));
        m_form->SetXFileOpenFlg(true);
        Frame();
    }
    void OpenMap(const std::string& path) {
        m_form->openFileDialog3->setFileName(QString::fromStdString(path));
        m_form->SetMapOpenFlg(true);
        Frame();
    }
    void Select(int index) {
        List().SetSelectedIndex(index);
        Frame();
    }

    // Where the object's next update keeps it.
    void Place(unsigned int no, const D3DXMATRIX& world) {
        CXData& object = *m_list.GetObject(no);
        object.SetWorld(&world);
        object.SetPos(D3DXVECTOR3(world._41, world._42, world._43));
    }

    CheckedListBox& List() const { return *m_form->checkedListBox1; }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (int i = 0; i < List().Count(); ++i)
            names.push_back(List().Item(i).toStdString());
        return names;
    }
    std::vector<int> IDs() {
        std::vector<int> ids;
        for (unsigned int i = 0; i < m_list.GetMaxSize(); ++i)
            ids.push_back(m_list.GetObject(i)->GetID());
        return ids;
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const auto& message : m_messages.Messages())
            texts.push_back(message.text);
        return texts;
    }

    TempDir m_dir;
    std::string m_box, m_ball;
    CXLIST m_list;
    bool m_active = false;
};
