// Automation references: holders of one IDispatch object of the CAD application each.
// Storing into a holder releases the object it held.
#pragma once
#include <windows.h>
#include <oaidl.h>

#include <string>
#include <vector>

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
    members_.clear();
    if (old) old->Release();
  }
  void Release() { Store(nullptr); }
  IDispatch* get() const { return object_; }
  bool empty() const { return object_ == nullptr; }

  // What a member's lookup found for the held object: its DISPID and the declared type of each
  // by-reference parameter (VT_EMPTY: by value). Every lookup is a call into the CAD
  // application's process, so it is done once per object and member.
  struct Member {
    std::wstring name;
    WORD flags;
    DISPID id;
    std::vector<VARTYPE> byRef;
  };
  std::vector<Member>& members() const { return members_; }

 private:
  IDispatch* object_ = nullptr;
  mutable std::vector<Member> members_;
};

extern AutomationRef cadApplication;
extern AutomationRef activeDocument;
extern AutomationRef modelSpace;
extern AutomationRef cadUtility;
extern AutomationRef lastBlockReference;

// Late-bound automation through IDispatch. Every operation reports success to its caller and
// nothing to the user: the merge run decides what a failure means.

#include "common/text.h"

// Arguments of one call, in the member's parameter order, by value.
class AutomationArgs {
 public:
  AutomationArgs() = default;
  AutomationArgs(const AutomationArgs&) = delete;
  AutomationArgs& operator=(const AutomationArgs&) = delete;
  ~AutomationArgs();
  AutomationArgs& Int(long value);          // VT_I4
  AutomationArgs& String(const Text& gbk);  // VT_BSTR, converted from GBK
  AutomationArgs& Array(SAFEARRAY* array, VARTYPE elements);  // VT_ARRAY|elements; not owned
  const std::vector<VARIANT>& values() const { return values_; }

 private:
  std::vector<VARIANT> values_;
};

// A point for InsertBlock: one array of three doubles whose lower bound is 1.
class AutomationPoint {
 public:
  AutomationPoint();
  AutomationPoint(const AutomationPoint&) = delete;
  AutomationPoint& operator=(const AutomationPoint&) = delete;
  ~AutomationPoint();
  bool Set(double x, double y, double z);
  SAFEARRAY* array() const { return array_; }

 private:
  SAFEARRAY* array_ = nullptr;
};

// CLSIDFromProgID + GetActiveObject. On success target's old object is replaced; on failure
// target is left exactly as it was.
bool GetRunningObject(const Text& progId, AutomationRef& target);

// Calls member `name` of obj (looked up in the user default locale). flags is DISPATCH_METHOD or
// DISPATCH_PROPERTYGET. A parameter that the object's type information declares by reference
// gets its argument converted to the declared type and passed by reference. result (optional)
// receives the returned value; it is VT_EMPTY after a failure.
bool AutomationInvoke(IDispatch* obj, const Text& name, WORD flags, const AutomationArgs& args,
                      VARIANT* result);
// The same on a holder's object, with the member lookup remembered by the holder.
bool AutomationInvoke(const AutomationRef& obj, const Text& name, WORD flags, const AutomationArgs& args,
                      VARIANT* result);

// A property read or a method call whose result is an object: the result replaces target's
// object, an empty reference when the call failed or returned no object. True when the call
// succeeded and gave an object.
bool ReadObjectProperty(const AutomationRef& obj, const Text& name, AutomationRef& target);
bool CallForObject(const AutomationRef& obj, const Text& name, const AutomationArgs& args,
                   AutomationRef& target);
// A method call whose result is not kept.
bool CallMethod(const AutomationRef& obj, const Text& name, const AutomationArgs& args = AutomationArgs());
