#pragma once
// RAII owners for the Windows handles and buffers the platform layer obtains, so that every path
// out of an operation, the error path included, releases them.

#include <windows.h>
#include <objbase.h>

namespace dustmere::platform::win32 {

template <typename T, T Invalid, typename Closer>
class UniqueHandle {
public:
  UniqueHandle() = default;
  explicit UniqueHandle(T value) noexcept : FValue(value) {}
  ~UniqueHandle() { reset(); }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : FValue(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }

  T get() const noexcept { return FValue; }
  bool valid() const noexcept { return FValue != Invalid && FValue != T{}; }
  T release() noexcept {
    T value = FValue;
    FValue = Invalid;
    return value;
  }
  void reset(T value = Invalid) noexcept {
    if (valid()) Closer{}(FValue);
    FValue = value;
  }

private:
  T FValue = Invalid;
};

struct FindCloser {
  void operator()(HANDLE h) const noexcept { FindClose(h); }
};
struct HandleCloser {
  void operator()(HANDLE h) const noexcept { CloseHandle(h); }
};
struct RegKeyCloser {
  void operator()(HKEY h) const noexcept { RegCloseKey(h); }
};

class FindHandle : public UniqueHandle<HANDLE, nullptr, FindCloser> {
public:
  FindHandle() = default;
  explicit FindHandle(HANDLE h) noexcept
      : UniqueHandle(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
  void reset(HANDLE h = nullptr) noexcept {
    UniqueHandle::reset(h == INVALID_HANDLE_VALUE ? nullptr : h);
  }
};

class FileHandle : public UniqueHandle<HANDLE, nullptr, HandleCloser> {
public:
  FileHandle() = default;
  explicit FileHandle(HANDLE h) noexcept
      : UniqueHandle(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
  void reset(HANDLE h = nullptr) noexcept {
    UniqueHandle::reset(h == INVALID_HANDLE_VALUE ? nullptr : h);
  }
};

using RegKeyHandle = UniqueHandle<HKEY, nullptr, RegKeyCloser>;

// Memory that the system allocated for us and that CoTaskMemFree or LocalFree gives back.
template <typename T>
class CoTaskMemPtr {
public:
  explicit CoTaskMemPtr(T* p) noexcept : FPtr(p) {}
  ~CoTaskMemPtr() { CoTaskMemFree(FPtr); }
  CoTaskMemPtr(const CoTaskMemPtr&) = delete;
  CoTaskMemPtr& operator=(const CoTaskMemPtr&) = delete;
  T* get() const noexcept { return FPtr; }

private:
  T* FPtr;
};

template <typename T>
class LocalPtr {
public:
  explicit LocalPtr(T* p) noexcept : FPtr(p) {}
  ~LocalPtr() {
    if (FPtr) LocalFree(FPtr);
  }
  LocalPtr(const LocalPtr&) = delete;
  LocalPtr& operator=(const LocalPtr&) = delete;
  T* get() const noexcept { return FPtr; }

private:
  T* FPtr;
};

}  // namespace dustmere::platform::win32
