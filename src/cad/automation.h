// Automation references: holders of one IDispatch object of the CAD application each.
// Storing into a holder releases the object it held.
#pragma once
#include <windows.h>
#include <oaidl.h>

class AutomationRef {
 public:
  AutomationRef() = default;
  AutomationRef(const AutomationRef&) = delete;
  AutomationRef& operator=(const AutomationRef&) = delete;
  ~AutomationRef() { Release(); }

  // Takes over one reference of obj (may be null).
  void Store(IDispatch* obj) {
    if (obj == object_) {
      if (obj) obj->Release();  // already held: drop the extra reference handed over
      return;
    }
    IDispatch* old = object_;
    object_ = obj;
    if (old) old->Release();
  }
  void Release() { Store(nullptr); }
  IDispatch* get() const { return object_; }
  bool empty() const { return object_ == nullptr; }

 private:
  IDispatch* object_ = nullptr;
};

extern AutomationRef cadApplication;
extern AutomationRef activeDocument;
extern AutomationRef modelSpace;
extern AutomationRef cadUtility;
extern AutomationRef lastBlockReference;
