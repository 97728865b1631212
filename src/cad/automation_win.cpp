#include "cad/automation.h"

#include <oleauto.h>

#include "common/gbk.h"

AutomationRef cadApplication;
AutomationRef activeDocument;
AutomationRef modelSpace;
AutomationRef cadUtility;
AutomationRef lastBlockReference;

AutomationArgs::~AutomationArgs() {
  for (VARIANT& v : values_)
    if (v.vt == VT_BSTR) VariantClear(&v);  // arrays belong to the caller
}

AutomationArgs& AutomationArgs::Int(long value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = value;
  values_.push_back(v);
  return *this;
}

AutomationArgs& AutomationArgs::String(const Text& gbk) {
  const std::wstring w = GbkToWide(gbk);
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BSTR;
  v.bstrVal = SysAllocStringLen(w.data(), static_cast<UINT>(w.size()));
  values_.push_back(v);
  return *this;
}

AutomationArgs& AutomationArgs::Array(SAFEARRAY* array, VARTYPE elements) {
  VARIANT v;
  VariantInit(&v);
  v.vt = static_cast<VARTYPE>(VT_ARRAY | elements);
  v.parray = array;
  values_.push_back(v);
  return *this;
}

AutomationPoint::AutomationPoint() {
  SAFEARRAYBOUND bound{3, 1};  // elements 1, 2, 3
  array_ = SafeArrayCreate(VT_R8, 1, &bound);
}

AutomationPoint::~AutomationPoint() {
  if (array_) SafeArrayDestroy(array_);
}

bool AutomationPoint::Set(double x, double y, double z) {
  if (!array_) return false;
  const double xyz[3] = {x, y, z};
  for (long i = 0; i < 3; ++i) {
    long index = i + 1;
    double value = xyz[i];
    if (FAILED(SafeArrayPutElement(array_, &index, &value))) return false;
  }
  return true;
}

bool GetRunningObject(const Text& progId, AutomationRef& target) {
  CLSID clsid;
  if (FAILED(CLSIDFromProgID(GbkToWide(progId).c_str(), &clsid))) return false;
  IUnknown* unknown = nullptr;
  if (FAILED(GetActiveObject(clsid, nullptr, &unknown)) || !unknown) return false;
  IDispatch* dispatch = nullptr;
  HRESULT hr = unknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch));
  unknown->Release();
  if (FAILED(hr) || !dispatch) return false;
  target.Store(dispatch);
  return true;
}

namespace {

// Element types that a by-reference argument can be converted to and pointed at.
bool Referable(VARTYPE vt) {
  switch (vt) {
    case VT_I1: case VT_UI1: case VT_I2: case VT_UI2: case VT_I4: case VT_UI4: case VT_I8:
    case VT_UI8: case VT_INT: case VT_UINT: case VT_R4: case VT_R8: case VT_CY: case VT_DATE:
    case VT_BSTR: case VT_BOOL: case VT_ERROR: case VT_DISPATCH: case VT_UNKNOWN: case VT_DECIMAL:
    case VT_VARIANT:
      return true;
    default:
      return false;
  }
}

// The declared type of each parameter that the member takes by reference (VT_EMPTY: by value),
// in parameter order, the return-value and locale parameters left out. Empty when the object
// gives no type information: then everything goes by value. Remote type information cannot
// look names up, so the member is found by walking its functions for the DISPID.
std::vector<VARTYPE> ByReferenceTypes(IDispatch* obj, DISPID id, WORD flags) {
  std::vector<VARTYPE> out;
  UINT count = 0;
  if (FAILED(obj->GetTypeInfoCount(&count)) || count == 0) return out;
  ITypeInfo* info = nullptr;
  if (FAILED(obj->GetTypeInfo(0, LOCALE_USER_DEFAULT, &info)) || !info) return out;
  TYPEATTR* attr = nullptr;
  if (SUCCEEDED(info->GetTypeAttr(&attr))) {
    const INVOKEKIND wanted = (flags & DISPATCH_PROPERTYGET) ? INVOKE_PROPERTYGET : INVOKE_FUNC;
    for (UINT i = 0; i < attr->cFuncs; ++i) {
      FUNCDESC* fd = nullptr;
      if (FAILED(info->GetFuncDesc(i, &fd))) continue;
      const bool match = fd->memid == id && fd->invkind == wanted;
      if (match) {
        for (SHORT p = 0; p < fd->cParams; ++p) {
          const ELEMDESC& e = fd->lprgelemdescParam[p];
          if (e.paramdesc.wParamFlags & (PARAMFLAG_FRETVAL | PARAMFLAG_FLCID)) continue;
          VARTYPE declared = VT_EMPTY;
          if (e.tdesc.vt == VT_PTR && e.tdesc.lptdesc && Referable(e.tdesc.lptdesc->vt))
            declared = e.tdesc.lptdesc->vt;
          out.push_back(declared);
        }
      }
      info->ReleaseFuncDesc(fd);
      if (match) break;
    }
    info->ReleaseTypeAttr(attr);
  }
  info->Release();
  return out;
}

}  // namespace

namespace {

// Looks the member up: its DISPID by name, then (when there are arguments) its by-reference
// parameters from the type information.
bool LookUp(IDispatch* obj, const Text& name, WORD flags, bool withArguments, AutomationRef::Member& m) {
  m.name = GbkToWide(name);
  m.flags = flags;
  LPOLESTR names[1] = {m.name.data()};
  if (FAILED(obj->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &m.id))) return false;
  if (withArguments) m.byRef = ByReferenceTypes(obj, m.id, flags);
  return true;
}

bool InvokeMember(IDispatch* obj, const AutomationRef::Member& member, WORD flags, const AutomationArgs& args,
                  VARIANT* result) {
  const std::vector<VARIANT>& given = args.values();
  const std::size_t n = given.size();
  const std::vector<VARTYPE>& byRef = member.byRef;

  // Converted copies for by-reference parameters (they must outlive the call), and the argument
  // list in the reverse order that IDispatch::Invoke takes.
  std::vector<VARIANT> converted(n);
  std::vector<VARIANT> reversed(n);
  bool ok = true;
  for (std::size_t i = 0; i < n; ++i) {
    VariantInit(&converted[i]);
    VARIANT& slot = reversed[n - 1 - i];
    VariantInit(&slot);
    const VARTYPE declared = i < byRef.size() ? byRef[i] : static_cast<VARTYPE>(VT_EMPTY);
    if (declared == VT_EMPTY) {
      slot = given[i];  // shallow: the caller keeps ownership
      continue;
    }
    if (declared == VT_VARIANT) {
      ok = SUCCEEDED(VariantCopy(&converted[i], const_cast<VARIANT*>(&given[i])));
      slot.vt = static_cast<VARTYPE>(VT_BYREF | VT_VARIANT);
      slot.pvarVal = &converted[i];
    } else {
      ok = SUCCEEDED(VariantChangeType(&converted[i], const_cast<VARIANT*>(&given[i]), 0, declared));
      slot.vt = static_cast<VARTYPE>(VT_BYREF | declared);
      slot.byref = declared == VT_DECIMAL ? static_cast<void*>(&converted[i].decVal)
                                          : static_cast<void*>(&converted[i].lVal);
    }
    if (!ok) break;
  }

  HRESULT hr = E_FAIL;
  if (ok) {
    DISPPARAMS params{n ? reversed.data() : nullptr, nullptr, static_cast<UINT>(n), 0};
    EXCEPINFO excep{};
    UINT argErr = 0;
    VARIANT ignored;
    VariantInit(&ignored);
    hr = obj->Invoke(member.id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result ? result : &ignored, &excep,
                     &argErr);
    VariantClear(&ignored);
    SysFreeString(excep.bstrSource);
    SysFreeString(excep.bstrDescription);
    SysFreeString(excep.bstrHelpFile);
    if (FAILED(hr) && result) VariantClear(result);
  }
  for (VARIANT& v : converted) VariantClear(&v);
  return ok && SUCCEEDED(hr);
}

}  // namespace

bool AutomationInvoke(IDispatch* obj, const Text& name, WORD flags, const AutomationArgs& args,
                      VARIANT* result) {
  if (result) VariantInit(result);
  AutomationRef::Member member;
  if (!obj || !LookUp(obj, name, flags, !args.values().empty(), member)) return false;
  return InvokeMember(obj, member, flags, args, result);
}

bool AutomationInvoke(const AutomationRef& obj, const Text& name, WORD flags, const AutomationArgs& args,
                      VARIANT* result) {
  if (result) VariantInit(result);
  if (obj.empty()) return false;
  const std::wstring wide = GbkToWide(name);
  std::vector<AutomationRef::Member>& known = obj.members();
  const AutomationRef::Member* member = nullptr;
  for (const AutomationRef::Member& m : known)
    if (m.flags == flags && m.name == wide) member = &m;
  if (!member) {
    // Looked up with its parameters always, so that a later call with arguments finds them.
    AutomationRef::Member m;
    if (!LookUp(obj.get(), name, flags, true, m)) return false;
    known.push_back(std::move(m));
    member = &known.back();
  }
  return InvokeMember(obj.get(), *member, flags, args, result);
}

namespace {
bool StoreObjectResult(bool called, VARIANT& result, AutomationRef& target) {
  IDispatch* obj = nullptr;
  if (called && result.vt == VT_DISPATCH && result.pdispVal) {
    obj = result.pdispVal;
    obj->AddRef();
  } else if (called && result.vt == VT_UNKNOWN && result.punkVal) {
    result.punkVal->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&obj));
  }
  VariantClear(&result);
  target.Store(obj);
  return obj != nullptr;
}
}  // namespace

bool ReadObjectProperty(const AutomationRef& obj, const Text& name, AutomationRef& target) {
  VARIANT result;
  bool called = AutomationInvoke(obj, name, DISPATCH_PROPERTYGET, AutomationArgs(), &result);
  return StoreObjectResult(called, result, target);
}

bool CallForObject(const AutomationRef& obj, const Text& name, const AutomationArgs& args,
                   AutomationRef& target) {
  VARIANT result;
  bool called = AutomationInvoke(obj, name, DISPATCH_METHOD, args, &result);
  return StoreObjectResult(called, result, target);
}

bool CallMethod(const AutomationRef& obj, const Text& name, const AutomationArgs& args) {
  VARIANT result;
  bool called = AutomationInvoke(obj, name, DISPATCH_METHOD, args, &result);
  VariantClear(&result);
  return called;
}
