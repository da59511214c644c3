// Everything undo and redo must put back, compared bit for bit: each object's model path, world
// matrix, position, index, list name and check mark, and the list's selection.
#pragma once

#include "CXLIST.h"
#include "CheckedListBox.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

struct SceneSnapshot {
    struct Object {
        std::string path;
        std::array<std::uint32_t, 16> world;
        std::array<std::uint32_t, 3> pos;
        int id;
        std::string name;
        bool checked;
        bool operator==(const Object&) const = default;
    };
    std::vector<Object> objects;
    int selection = -1;
    bool operator==(const SceneSnapshot&) const = default;

    static SceneSnapshot Of(const CXLIST& list, const CheckedListBox& box) {
        SceneSnapshot snapshot;
        for (unsigned int i = 0; i < list.GetMaxSize(); ++i) {
            CXData& object = *list.GetObject(i);
            Object record{object.GetFilename(),
                          {},
                          {},
                          object.GetID(),
                          box.Item(static_cast<int>(i)).toStdString(),
                          box.GetItemChecked(static_cast<int>(i))};
            std::memcpy(record.world.data(), object.GetWorld(), sizeof record.world);
            std::memcpy(record.pos.data(), &object.GetPos(), sizeof record.pos);
            snapshot.objects.push_back(record);
        }
        if (static_cast<unsigned int>(box.Count()) != list.GetMaxSize())
            snapshot.objects.push_back(Object{"<list count differs>", {}, {}, box.Count(), "", false});
        snapshot.selection = box.SelectedIndex();
        return snapshot;
    }
};

inline std::ostream& operator<<(std::ostream& out, const SceneSnapshot& snapshot) {
    out << "selection " << snapshot.selection << ":";
    for (const auto& object : snapshot.objects) {
        float x = 0;
        std::memcpy(&x, &object.world[12], sizeof x);
        out << " [" << object.id << " " << object.name << (object.checked ? "" : " hidden") << " "
            << object.path << " x=" << x << "]";
    }
    return out;
}
