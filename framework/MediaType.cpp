#include "MediaType.h"

#include <cstring>

namespace sombrevox {

namespace {

void SetFresh(AM_MEDIA_TYPE* type) {
  std::memset(type, 0, sizeof(*type));
  type->bFixedSizeSamples = TRUE;
  type->lSampleSize = 1;
}

}  // namespace

MediaType::MediaType() : AM_MEDIA_TYPE() { SetFresh(this); }

MediaType::MediaType(const AM_MEDIA_TYPE& other) : AM_MEDIA_TYPE() {
  SetFresh(this);
  CopyInto(other, this);
}

MediaType::MediaType(const MediaType& other) : MediaType(static_cast<const AM_MEDIA_TYPE&>(other)) {}

MediaType::MediaType(MediaType&& other) noexcept : AM_MEDIA_TYPE(other) { SetFresh(&other); }

MediaType& MediaType::operator=(const MediaType& other) { return Assign(other); }

MediaType& MediaType::operator=(MediaType&& other) noexcept {
  if (this != &other) {
    Clear();
    static_cast<AM_MEDIA_TYPE&>(*this) = other;
    SetFresh(&other);
  }
  return *this;
}

MediaType::~MediaType() { Clear(); }

MediaType& MediaType::Assign(const AM_MEDIA_TYPE& other) {
  if (&other != this) {
    Clear();
    CopyInto(other, this);
  }
  return *this;
}

void MediaType::Clear() { FreeContents(this); }

void MediaType::Reset() {
  Clear();
  SetFresh(this);
}

bool MediaType::IsPartiallySpecified(const AM_MEDIA_TYPE& type) {
  return type.majortype == GUID_NULL || type.formattype == GUID_NULL;
}

bool MediaType::Matches(const AM_MEDIA_TYPE& type, const AM_MEDIA_TYPE& partial) {
  if (partial.majortype != GUID_NULL && partial.majortype != type.majortype) {
    return false;
  }
  if (partial.subtype != GUID_NULL && partial.subtype != type.subtype) {
    return false;
  }
  if (partial.formattype == GUID_NULL) {
    return true;
  }
  if (partial.formattype != type.formattype || partial.cbFormat != type.cbFormat) {
    return false;
  }
  if (partial.cbFormat == 0) {
    return true;
  }
  if (partial.pbFormat == nullptr || type.pbFormat == nullptr) {
    return partial.pbFormat == type.pbFormat;
  }
  return std::memcmp(partial.pbFormat, type.pbFormat, partial.cbFormat) == 0;
}

void MediaType::MoveTo(AM_MEDIA_TYPE* target) {
  *target = *this;
  SetFresh(this);
}

bool MediaType::CopyInto(const AM_MEDIA_TYPE& source, AM_MEDIA_TYPE* target) {
  *target = source;
  bool complete = true;
  if (source.cbFormat != 0 && source.pbFormat != nullptr) {
    target->pbFormat = static_cast<BYTE*>(CoTaskMemAlloc(source.cbFormat));
    if (target->pbFormat != nullptr) {
      std::memcpy(target->pbFormat, source.pbFormat, source.cbFormat);
    } else {
      target->cbFormat = 0;
      complete = false;
    }
  } else {
    target->cbFormat = 0;
    target->pbFormat = nullptr;
  }
  if (target->pUnk != nullptr) {
    target->pUnk->AddRef();
  }
  return complete;
}

void MediaType::FreeContents(AM_MEDIA_TYPE* type) {
  if (type->cbFormat != 0) {
    CoTaskMemFree(type->pbFormat);
  }
  type->cbFormat = 0;
  type->pbFormat = nullptr;
  if (type->pUnk != nullptr) {
    type->pUnk->Release();
    type->pUnk = nullptr;
  }
}

void MediaType::DeleteTaskType(AM_MEDIA_TYPE* type) {
  if (type != nullptr) {
    FreeContents(type);
    CoTaskMemFree(type);
  }
}

}  // namespace sombrevox
