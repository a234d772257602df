#pragma once

#include <utility>

namespace vorlund {

// A file descriptor or handle, closed once, when it goes. close() says whether closing worked:
// closing a written file can report late write errors (NFS, quotas).
template <class Handle, Handle (*none)(), bool (*closeHandle)(Handle)> class OwnedHandle
{
public:
    explicit OwnedHandle(Handle handle) : m_handle(handle) {}
    OwnedHandle(OwnedHandle&& other) noexcept : m_handle(std::exchange(other.m_handle, none())) {}
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;
    ~OwnedHandle()
    {
        if (valid())
            closeHandle(m_handle);
    }
    Handle get() const { return m_handle; }
    bool valid() const { return m_handle != none(); }
    bool close() { return closeHandle(std::exchange(m_handle, none())); }

private:
    Handle m_handle;
};

} // namespace vorlund
