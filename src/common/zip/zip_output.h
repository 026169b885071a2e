// The zip writer's output: a memory area backed by the paging file that grows on demand.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <type_traits>

class ZipOutput {
 public:
  // Makes the area; false when the mapping cannot be made.
  bool Create(uint32_t capacity);
  // Appends bytes, growing the area first when they would reach its end; false when it cannot grow.
  bool Write(const void* bytes, uint32_t length);
  // Overwrites bytes already written; false when they do not lie inside the written part.
  bool Rewrite(uint32_t position, const void* bytes, uint32_t length);

  const uint8_t* Data() const { return view_.get(); }
  uint32_t Size() const { return position_; }

 private:
  struct HandleCloser {
    void operator()(HANDLE h) const {
      if (h != nullptr) CloseHandle(h);
    }
  };
  struct ViewUnmapper {
    void operator()(uint8_t* view) const {
      if (view != nullptr) UnmapViewOfFile(view);
    }
  };
  using UniqueMapping = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;
  using UniqueView = std::unique_ptr<uint8_t, ViewUnmapper>;

  bool Remap(uint32_t capacity, const char* operation);
  bool Grow(uint64_t needed);

  UniqueMapping mapping_;
  UniqueView view_;
  uint32_t capacity_ = 0;
  uint32_t position_ = 0;
};
