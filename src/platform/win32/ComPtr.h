// One reference to a COM object, released when the holder lets go of it: for members and locals of our
// own code that would otherwise pair every Release by hand. Public interfaces keep raw pointers, as the
// platform's do; Get() hands the object to them and Receive() takes one from an out parameter.
#pragma once

#include <utility>

template <typename T> class ComPtr {
public:
    ComPtr() = default;
    // Takes over a reference the caller already holds (a Create or Get result).
    explicit ComPtr(T* owned) : m_object(owned) {}
    ~ComPtr() { Reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : m_object(other.Detach()) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other)
            Reset(other.Detach());
        return *this;
    }

    T* Get() const { return m_object; }
    T* operator->() const { return m_object; }
    explicit operator bool() const { return m_object != nullptr; }

    // Releases what was held (after taking the new one, so that resetting to the same object is safe)
    // and takes over `owned`'s reference.
    void Reset(T* owned = nullptr) {
        T* old = std::exchange(m_object, owned);
        if (old != nullptr)
            old->Release();
    }
    // Holds `shared` with a reference of its own, as a Set call does with what it is given.
    void Share(T* shared) {
        if (shared != nullptr)
            shared->AddRef();
        Reset(shared);
    }
    // The object with a new reference for the caller, as a Get call hands it out; null when empty.
    T* Copy() const {
        if (m_object != nullptr)
            m_object->AddRef();
        return m_object;
    }
    // Empties the holder first and gives its address to a call that returns a new reference.
    T** Receive() {
        Reset();
        return &m_object;
    }
    // Gives the reference up without releasing it.
    T* Detach() { return std::exchange(m_object, nullptr); }

private:
    T* m_object = nullptr;
};

// Releases the reference a raw member holds and clears it, for classes that keep raw members because
// they live until the program's end and must not release at static destruction.
template <typename T> void ReleaseAndClear(T*& held) {
    ComPtr<T> released(std::exchange(held, nullptr));
}
