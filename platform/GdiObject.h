// A scoped holder of a GDI object (bitmap, font, brush, pen, region): deleted exactly once, when
// the holder goes. A null object is never deleted.
#pragma once
#include <windows.h>

#include <utility>

namespace bw::platform {

template <class T>
class GdiObject {
public:
    explicit GdiObject(T object = nullptr) : object_(object) {}
    ~GdiObject() {
        if (object_) DeleteObject(object_);
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    GdiObject(GdiObject&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}

    T get() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }
    // Gives the object up without deleting it.
    T release() { return std::exchange(object_, nullptr); }

private:
    T object_;
};

}  // namespace bw::platform
