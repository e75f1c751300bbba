#pragma once
// An AM_MEDIA_TYPE that owns its format block and its pUnk reference.
#include <windows.h>
#include <dshow.h>

namespace sombrevox {

class MediaType : public AM_MEDIA_TYPE {
 public:
  // A fresh value: all zero except fixed-size samples and a sample size of 1.
  MediaType();
  // Deep copies; when the format block cannot be duplicated the copy carries
  // no block and a format size of 0.
  explicit MediaType(const AM_MEDIA_TYPE& other);
  MediaType(const MediaType& other);
  MediaType(MediaType&& other) noexcept;
  MediaType& operator=(const MediaType& other);
  MediaType& operator=(MediaType&& other) noexcept;
  ~MediaType();

  MediaType& Assign(const AM_MEDIA_TYPE& other);
  // Frees the format block, zeroes its size and pointer, releases pUnk.
  void Clear();
  // Back to the fresh value.
  void Reset();

  // Major type or format type left open.
  bool IsPartiallySpecified() const { return IsPartiallySpecified(*this); }
  static bool IsPartiallySpecified(const AM_MEDIA_TYPE& type);
  // True when `type` fits `partial`: each GUID_NULL of the partial type
  // matches anything; a given format type also needs an equal format block.
  static bool Matches(const AM_MEDIA_TYPE& type, const AM_MEDIA_TYPE& partial);

  // Hands this type's contents to `target` (which must hold nothing to free)
  // and leaves this object fresh. Used to give a type away to a caller.
  void MoveTo(AM_MEDIA_TYPE* target);

  // Deep copy of `source` into a caller's structure; false when the format
  // block could not be allocated (the copy then carries no block).
  static bool CopyInto(const AM_MEDIA_TYPE& source, AM_MEDIA_TYPE* target);
  // Frees what a task-allocated type owns (not the structure itself).
  static void FreeContents(AM_MEDIA_TYPE* type);
  // Frees a type allocated by a peer's enumerator: contents, then the structure.
  static void DeleteTaskType(AM_MEDIA_TYPE* type);
};

}  // namespace sombrevox
