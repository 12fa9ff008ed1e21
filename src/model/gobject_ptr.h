#pragma once
// Owners for the GLib objects the image code handles, so that every return
// path drops its reference: a GObject (g_object_unref), a GError
// (g_error_free) and a g_malloc'd buffer (g_free).

#include <glib-object.h>

#include <memory>

struct LGObjectUnref {
  void operator()(gpointer object) const { g_object_unref(object); }
};
template <typename T>
using LGObjectPtr = std::unique_ptr<T, LGObjectUnref>;

struct LGFree {
  void operator()(gpointer memory) const { g_free(memory); }
};
template <typename T>
using LGMallocPtr = std::unique_ptr<T, LGFree>;

// Collects a GError written through Out(); frees it on destruction.
class LGErrorSlot {
 public:
  GError** Out() { return &raw_; }
  bool IsSet() const { return raw_ != nullptr; }
  const char* Message() const { return raw_ != nullptr ? raw_->message : ""; }
  ~LGErrorSlot() {
    if (raw_ != nullptr) g_error_free(raw_);
  }
  LGErrorSlot() = default;
  LGErrorSlot(const LGErrorSlot&) = delete;
  LGErrorSlot& operator=(const LGErrorSlot&) = delete;

 private:
  GError* raw_ = nullptr;
};
