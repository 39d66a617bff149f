// Scoped holders of kernel handles: an open file and a directory listing. Each closes its handle
// exactly once, when it goes or on Close(); an invalid handle is never closed.
#pragma once
#include <windows.h>

#include <utility>

namespace bw::platform {

template <BOOL(WINAPI* CloseFn)(HANDLE)>
class ScopedHandle {
public:
    explicit ScopedHandle(HANDLE h = INVALID_HANDLE_VALUE) : h_(h) {}
    ~ScopedHandle() { Close(); }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;

    HANDLE get() const { return h_; }
    bool valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
    // Gives the handle up without closing it.
    HANDLE release() { return std::exchange(h_, INVALID_HANDLE_VALUE); }
    // Closes now; false when Windows reported a failure closing it.
    bool Close() {
        if (!valid()) return true;
        return CloseFn(std::exchange(h_, INVALID_HANDLE_VALUE)) != 0;
    }

private:
    HANDLE h_;
};

using FileHandle = ScopedHandle<CloseHandle>;
using FindHandle = ScopedHandle<FindClose>;

}  // namespace bw::platform
