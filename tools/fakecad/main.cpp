// fakecad.exe: a stand-in CAD application for tests, benchmarks and demonstrations. An
// out-of-process automation server (single-threaded apartment, message loop) whose application
// object is registered in the running object table under every ProgID given on the command line.
// Its members are implemented through DispInvoke over the type library embedded in the exe, so
// arguments are coerced to the declared types exactly as a real CAD's type information does.
//
//   fakecad.exe [options] PROGID...
//     --log=PATH            one line per call, with a millisecond timestamp (UTF-8)
//     --ready-event=NAME    a named event set once every ProgID is registered
//     --fail-insert=TEXT    InsertBlock refuses files whose name contains TEXT (repeatable)
//     --no-document         ActiveDocument fails, as with no drawing open
//     --no-document=null    ActiveDocument succeeds with no object
//     --name=TEXT           what Application.Name answers (default: the first ProgID)
//     --hidden              no window
//
// Every call is also drawn: each inserted block is a labelled marker at its insertion point,
// scaled to fit the window. Closing the window or WM_QUIT to the main thread revokes the
// registrations and removes the registry keys.
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>
#include <shellapi.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

// ---- options and log -------------------------------------------------------------------------

struct Options {
  std::wstring logPath, readyEvent, name;
  std::vector<std::wstring> failInsert, progIds;
  bool noDocument = false, noDocumentNull = false, hidden = false;
} g_opt;

HANDLE g_log = INVALID_HANDLE_VALUE;
LARGE_INTEGER g_freq;

std::string Utf8(const std::wstring& w) {
  if (w.empty()) return {};
  int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
  std::string s(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
  return s;
}

double NowMs() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(g_freq.QuadPart);
}

void Log(const std::wstring& line) {
  if (g_log == INVALID_HANDLE_VALUE) return;
  char stamp[64];
  std::snprintf(stamp, sizeof stamp, "%.3f ", NowMs());
  std::string bytes = stamp + Utf8(line) + "\n";
  DWORD written = 0;
  WriteFile(g_log, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

std::wstring Number(double v) {
  wchar_t buf[64];
  std::swprintf(buf, 64, L"%.15g", v);
  return buf;
}

std::wstring VtName(VARTYPE vt) {
  static const struct {
    VARTYPE vt;
    const wchar_t* name;
  } names[] = {{VT_EMPTY, L"VT_EMPTY"}, {VT_NULL, L"VT_NULL"},     {VT_I2, L"VT_I2"},
               {VT_I4, L"VT_I4"},       {VT_R4, L"VT_R4"},         {VT_R8, L"VT_R8"},
               {VT_CY, L"VT_CY"},       {VT_DATE, L"VT_DATE"},     {VT_BSTR, L"VT_BSTR"},
               {VT_DISPATCH, L"VT_DISPATCH"}, {VT_ERROR, L"VT_ERROR"}, {VT_BOOL, L"VT_BOOL"},
               {VT_VARIANT, L"VT_VARIANT"}, {VT_UNKNOWN, L"VT_UNKNOWN"}, {VT_I1, L"VT_I1"},
               {VT_UI1, L"VT_UI1"},     {VT_UI2, L"VT_UI2"},       {VT_UI4, L"VT_UI4"},
               {VT_I8, L"VT_I8"},       {VT_UI8, L"VT_UI8"},       {VT_INT, L"VT_INT"},
               {VT_UINT, L"VT_UINT"}};
  std::wstring out;
  if (vt & VT_BYREF) out += L"VT_BYREF|";
  if (vt & VT_ARRAY) out += L"VT_ARRAY|";
  VARTYPE base = vt & VT_TYPEMASK;
  for (const auto& n : names)
    if (n.vt == base) return out + n.name;
  return out + L"VT_" + std::to_wstring(base);
}

// Types of the raw arguments of the call being dispatched, in the caller's order.
std::wstring g_sent;

std::wstring SentTypes(const DISPPARAMS* p) {
  std::wstring s;
  if (!p) return s;
  for (UINT i = p->cArgs; i-- > 0;) {
    if (!s.empty()) s += L",";
    s += VtName(p->rgvarg[i].vt);
  }
  return s;
}

// ---- the drawing window ----------------------------------------------------------------------

struct Marker {
  double x, y;
  std::wstring label;
};
std::vector<Marker> g_markers;
HWND g_window;
std::wstring g_status = L"waiting for calls";

void Redraw() {
  if (g_window) InvalidateRect(g_window, nullptr, TRUE);
}

void Paint(HWND hwnd) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  RECT rc;
  GetClientRect(hwnd, &rc);
  SetBkMode(dc, TRANSPARENT);
  HFONT font = CreateFontW(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"SimSun");
  HGDIOBJ oldFont = SelectObject(dc, font);
  std::wstring head = g_status + L"   blocks: " + std::to_wstring(g_markers.size());
  TextOutW(dc, 8, 6, head.c_str(), static_cast<int>(head.size()));
  if (!g_markers.empty()) {
    double minX = g_markers[0].x, maxX = minX, minY = g_markers[0].y, maxY = minY;
    for (const Marker& m : g_markers) {
      minX = m.x < minX ? m.x : minX;
      maxX = m.x > maxX ? m.x : maxX;
      minY = m.y < minY ? m.y : minY;
      maxY = m.y > maxY ? m.y : maxY;
    }
    const int left = 40, top = 50, right = rc.right - 120, bottom = rc.bottom - 40;
    double spanX = maxX - minX, spanY = maxY - minY;
    double sx = spanX > 0 ? (right - left) / spanX : 0, sy = spanY > 0 ? (bottom - top) / spanY : 0;
    double s = (sx > 0 && sy > 0) ? (sx < sy ? sx : sy) : (sx > 0 ? sx : sy);
    // Centred in the area along the direction that does not fill it.
    const int offX = static_cast<int>(((right - left) - spanX * s) / 2);
    const int offY = static_cast<int>(((bottom - top) - spanY * s) / 2);
    HPEN pen = CreatePen(PS_SOLID, 2, RGB(0, 90, 200));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    for (std::size_t i = 0; i < g_markers.size(); ++i) {
      const Marker& m = g_markers[i];
      int px = left + offX + static_cast<int>((m.x - minX) * s);
      int py = top + offY + static_cast<int>((maxY - m.y) * s);  // drawing Y grows upwards
      Rectangle(dc, px - 4, py - 4, px + 5, py + 5);
      std::wstring text = std::to_wstring(i + 1) + L" " + m.label;
      TextOutW(dc, px + 7, py - 6, text.c_str(), static_cast<int>(text.size()));
    }
    SelectObject(dc, oldPen);
    DeleteObject(pen);
  }
  SelectObject(dc, oldFont);
  DeleteObject(font);
  EndPaint(hwnd, &ps);
}

LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PAINT:
      Paint(hwnd);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
}

// ---- automation objects ----------------------------------------------------------------------

ITypeLib* g_typeLib;

// The interfaces as declared in fakecad.idl; the order of the members is the vtable order.
struct IFakeApplication : IDispatch {
  virtual HRESULT STDMETHODCALLTYPE get_ActiveDocument(IDispatch** document) = 0;
  virtual HRESULT STDMETHODCALLTYPE Update() = 0;
  virtual HRESULT STDMETHODCALLTYPE ZoomExtents() = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) = 0;
};
struct IFakeDocument : IDispatch {
  virtual HRESULT STDMETHODCALLTYPE get_ModelSpace(IDispatch** modelSpace) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Utility(IDispatch** utility) = 0;
};
struct IFakeModelSpace : IDispatch {
  virtual HRESULT STDMETHODCALLTYPE InsertBlock(VARIANT point, BSTR name, double xs, double ys, double zs,
                                                double rotation, VARIANT password, IDispatch** result) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Count(long* count) = 0;
};
struct IFakeUtility : IDispatch {
  virtual HRESULT STDMETHODCALLTYPE ScaleValue(double factor, double* value, BSTR* note) = 0;
};
struct IFakeBlockReference : IDispatch {
  virtual HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) = 0;
};

const GUID kIidApplication = {0x6B0F0C2E, 0x3D4B, 0x4B8E, {0x9E, 0x1A, 0x0C, 0x6D, 0x6E, 0x7A, 0x00, 0x02}};
const GUID kIidDocument = {0x6B0F0C2E, 0x3D4B, 0x4B8E, {0x9E, 0x1A, 0x0C, 0x6D, 0x6E, 0x7A, 0x00, 0x03}};
const GUID kIidModelSpace = {0x6B0F0C2E, 0x3D4B, 0x4B8E, {0x9E, 0x1A, 0x0C, 0x6D, 0x6E, 0x7A, 0x00, 0x04}};
const GUID kIidUtility = {0x6B0F0C2E, 0x3D4B, 0x4B8E, {0x9E, 0x1A, 0x0C, 0x6D, 0x6E, 0x7A, 0x00, 0x05}};
const GUID kIidBlockReference = {0x6B0F0C2E, 0x3D4B, 0x4B8E, {0x9E, 0x1A, 0x0C, 0x6D, 0x6E, 0x7A, 0x00, 0x06}};

// IUnknown and IDispatch for one interface: the type information handed to callers is the one
// the library gives for the interface's IID (the dispatch side of a dual interface); DispInvoke
// needs the vtable side.
template <class Iface>
class Dispatched : public Iface {
 public:
  explicit Dispatched(const GUID& iid) : iid_(iid) {
    if (SUCCEEDED(g_typeLib->GetTypeInfoOfGuid(iid, &callerInfo_))) {
      TYPEATTR* attr = nullptr;
      TYPEKIND kind = TKIND_INTERFACE;
      if (SUCCEEDED(callerInfo_->GetTypeAttr(&attr))) {
        kind = attr->typekind;
        callerInfo_->ReleaseTypeAttr(attr);
      }
      HREFTYPE ref;
      bool dual = kind == TKIND_DISPATCH && SUCCEEDED(callerInfo_->GetRefTypeOfImplType(-1, &ref)) &&
                  SUCCEEDED(callerInfo_->GetRefTypeInfo(ref, &vtableInfo_));
      if (!dual) {
        vtableInfo_ = callerInfo_;
        vtableInfo_->AddRef();
      }
    }
  }
  virtual ~Dispatched() {
    if (callerInfo_) callerInfo_->Release();
    if (vtableInfo_) vtableInfo_->Release();
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (!out) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) || IsEqualIID(riid, iid_)) {
      *out = static_cast<Iface*>(this);
      this->AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    LONG n = InterlockedDecrement(&refs_);
    if (n == 0) delete this;
    return static_cast<ULONG>(n);
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = callerInfo_ ? 1 : 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
    if (index != 0 || !callerInfo_) return DISP_E_BADINDEX;
    callerInfo_->AddRef();
    *info = callerInfo_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    return DispGetIDsOfNames(vtableInfo_, names, count, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* excep, UINT* argErr) override {
    g_sent = SentTypes(params);
    HRESULT hr = DispInvoke(static_cast<Iface*>(this), vtableInfo_, id, flags, params, result, excep, argErr);
    if (FAILED(hr)) {
      wchar_t buf[160];
      std::swprintf(buf, 160, L"Invoke dispid=%ld flags=%u sent=%ls -> refused 0x%08lX scode 0x%08lX", static_cast<long>(id),
                    static_cast<unsigned>(flags), g_sent.c_str(), static_cast<unsigned long>(hr),
                    static_cast<unsigned long>(excep ? excep->scode : 0));
      Log(buf);
    }
    return hr;
  }

 private:
  GUID iid_;
  LONG refs_ = 1;
  ITypeInfo* callerInfo_ = nullptr;
  ITypeInfo* vtableInfo_ = nullptr;
};

// The error a CAD reports for a file it cannot open (an automation exception).
const HRESULT kFileError = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x0201);
const HRESULT kRefused = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x0202);
const HRESULT kNoDocument = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x0203);

class BlockReference : public Dispatched<IFakeBlockReference> {
 public:
  explicit BlockReference(std::wstring name) : Dispatched(kIidBlockReference), name_(std::move(name)) {}
  HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) override {
    *name = SysAllocString(name_.c_str());
    return S_OK;
  }

 private:
  std::wstring name_;
};

// Elements of a one-dimensional array of three doubles; false (with the reason) otherwise.
bool ReadPoint(const VARIANT& v, double out[3], long* lowerBound, std::wstring* why) {
  const VARIANT* p = &v;
  if (p->vt == (VT_BYREF | VT_VARIANT) && p->pvarVal) p = p->pvarVal;
  SAFEARRAY* sa = nullptr;
  if (p->vt == (VT_ARRAY | VT_R8)) sa = p->parray;
  else if (p->vt == (VT_BYREF | VT_ARRAY | VT_R8) && p->pparray) sa = *p->pparray;
  if (!sa) {
    *why = L"not an array of doubles";
    return false;
  }
  if (SafeArrayGetDim(sa) != 1) {
    *why = L"array of " + std::to_wstring(SafeArrayGetDim(sa)) + L" dimensions";
    return false;
  }
  long lb = 0, ub = -1;
  SafeArrayGetLBound(sa, 1, &lb);
  SafeArrayGetUBound(sa, 1, &ub);
  *lowerBound = lb;
  if (ub - lb + 1 != 3) {
    *why = std::to_wstring(ub - lb + 1) + L" elements";
    return false;
  }
  for (long i = 0; i < 3; ++i) {
    long at = lb + i;
    if (FAILED(SafeArrayGetElement(sa, &at, &out[i]))) {
      *why = L"unreadable element";
      return false;
    }
  }
  return true;
}

std::wstring Leaf(const std::wstring& path) {
  std::size_t cut = path.find_last_of(L"\\/");
  return cut == std::wstring::npos ? path : path.substr(cut + 1);
}

class ModelSpace : public Dispatched<IFakeModelSpace> {
 public:
  ModelSpace() : Dispatched(kIidModelSpace) {}
  HRESULT STDMETHODCALLTYPE InsertBlock(VARIANT point, BSTR name, double xs, double ys, double zs, double rotation,
                                        VARIANT password, IDispatch** result) override {
    *result = nullptr;
    std::wstring file = name ? name : L"";
    double xyz[3] = {0, 0, 0};
    long lb = 0;
    std::wstring why;
    bool pointOk = ReadPoint(point, xyz, &lb, &why);
    std::wstring line = L"InsertBlock point=";
    line += pointOk ? L"(" + Number(xyz[0]) + L"," + Number(xyz[1]) + L"," + Number(xyz[2]) + L")" : L"?";
    line += L" vt=" + VtName(point.vt) + L" lb=" + std::to_wstring(lb);
    line += L" name=" + file;
    line += L" scales=" + Number(xs) + L"," + Number(ys) + L"," + Number(zs) + L" rot=" + Number(rotation) +
            L" (VT_R8 each)";
    line += L" password=" + VtName(password.vt);
    if (password.vt == VT_I4) line += L" " + std::to_wstring(password.lVal);
    line += L" sent=" + g_sent;
    HRESULT hr = S_OK;
    if (!pointOk) {
      line += L" -> refused: point " + why;
      hr = E_INVALIDARG;
    } else if (GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES) {
      line += L" -> refused: no such file";
      hr = kFileError;
    } else {
      for (const std::wstring& f : g_opt.failInsert)
        if (file.find(f) != std::wstring::npos) {
          line += L" -> refused: told to fail";
          hr = kRefused;
          break;
        }
    }
    if (hr == S_OK) {
      line += L" -> ok";
      g_markers.push_back({xyz[0], xyz[1], Leaf(file)});
      *result = new BlockReference(file);
    }
    Log(line);
    return hr;
  }
  HRESULT STDMETHODCALLTYPE get_Count(long* count) override {
    *count = static_cast<long>(g_markers.size());
    Log(L"Count " + std::to_wstring(*count));
    return S_OK;
  }
};

class Utility : public Dispatched<IFakeUtility> {
 public:
  Utility() : Dispatched(kIidUtility) {}
  HRESULT STDMETHODCALLTYPE ScaleValue(double factor, double* value, BSTR* note) override {
    std::wstring text = (note && *note) ? *note : L"";
    Log(L"ScaleValue factor=" + Number(factor) + L" value=" + Number(*value) + L" note=" + text + L" sent=" + g_sent);
    *value *= factor;
    return S_OK;
  }
};

class Document : public Dispatched<IFakeDocument> {
 public:
  Document() : Dispatched(kIidDocument), modelSpace_(new ModelSpace), utility_(new Utility) {}
  ~Document() override {
    modelSpace_->Release();
    utility_->Release();
  }
  HRESULT STDMETHODCALLTYPE get_ModelSpace(IDispatch** out) override {
    Log(L"ModelSpace");
    modelSpace_->AddRef();
    *out = modelSpace_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_Utility(IDispatch** out) override {
    Log(L"Utility");
    utility_->AddRef();
    *out = utility_;
    return S_OK;
  }

 private:
  ModelSpace* modelSpace_;
  Utility* utility_;
};

class Application : public Dispatched<IFakeApplication> {
 public:
  Application() : Dispatched(kIidApplication), document_(new Document) {}
  ~Application() override { document_->Release(); }
  HRESULT STDMETHODCALLTYPE get_ActiveDocument(IDispatch** out) override {
    *out = nullptr;
    if (g_opt.noDocument) {
      Log(L"ActiveDocument -> no document");
      return g_opt.noDocumentNull ? S_OK : kNoDocument;
    }
    Log(L"ActiveDocument");
    document_->AddRef();
    *out = document_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Update() override {
    Log(L"Update");
    g_status = L"Update";
    Redraw();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ZoomExtents() override {
    Log(L"ZoomExtents");
    g_status = L"ZoomExtents";
    Redraw();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) override {
    Log(L"Name");
    *name = SysAllocString(g_opt.name.c_str());
    return S_OK;
  }

 private:
  Document* document_;
};

// ---- registration ----------------------------------------------------------------------------

// One class id per ProgID, the same in every run: the base GUID with the ProgID's hash.
CLSID ClassIdFor(const std::wstring& progId) {
  unsigned long long h = 1469598103934665603ull;
  for (wchar_t c : progId) {
    h ^= static_cast<unsigned long long>(towlower(c));
    h *= 1099511628211ull;
  }
  CLSID id = {0x6B0F0C2E, 0x3D4B, 0x4B8E, {0x9E, 0x1A, 0, 0, 0, 0, 0, 0}};
  for (int i = 0; i < 6; ++i) id.Data4[2 + i] = static_cast<unsigned char>(h >> (8 * i));
  return id;
}

std::wstring GuidText(const CLSID& id) {
  wchar_t buf[64];
  StringFromGUID2(id, buf, 64);
  return buf;
}

bool SetKeyDefault(const std::wstring& key, const std::wstring& value) {
  HKEY k;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr) != ERROR_SUCCESS)
    return false;
  LONG rc = RegSetValueExW(k, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                           static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(k);
  return rc == ERROR_SUCCESS;
}

struct Registration {
  std::wstring progId;
  CLSID clsid;
  DWORD cookie = 0;
};

bool Register(IUnknown* app, Registration& r) {
  r.clsid = ClassIdFor(r.progId);
  const std::wstring clsid = GuidText(r.clsid);
  if (!SetKeyDefault(L"Software\\Classes\\" + r.progId, L"Stand-in CAD (" + r.progId + L")") ||
      !SetKeyDefault(L"Software\\Classes\\" + r.progId + L"\\CLSID", clsid) ||
      !SetKeyDefault(L"Software\\Classes\\CLSID\\" + clsid + L"\\ProgID", r.progId))
    return false;
  HRESULT hr = RegisterActiveObject(app, r.clsid, ACTIVEOBJECT_STRONG, &r.cookie);
  Log(L"Register " + r.progId + L" " + clsid + (SUCCEEDED(hr) ? L" -> ok" : L" -> failed"));
  return SUCCEEDED(hr);
}

void Unregister(const Registration& r) {
  if (r.cookie) RevokeActiveObject(r.cookie, nullptr);
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, (L"Software\\Classes\\" + r.progId).c_str());
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, (L"Software\\Classes\\CLSID\\" + GuidText(r.clsid)).c_str());
  Log(L"Unregister " + r.progId);
}

bool StartsWith(const std::wstring& s, const wchar_t* prefix, std::wstring* rest) {
  std::size_t n = std::wcslen(prefix);
  if (s.compare(0, n, prefix) != 0) return false;
  if (rest) *rest = s.substr(n);
  return true;
}

void ParseOptions() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  for (int i = 1; i < argc; ++i) {
    std::wstring a = argv[i], v;
    if (StartsWith(a, L"--log=", &v)) g_opt.logPath = v;
    else if (StartsWith(a, L"--ready-event=", &v)) g_opt.readyEvent = v;
    else if (StartsWith(a, L"--fail-insert=", &v)) g_opt.failInsert.push_back(v);
    else if (a == L"--no-document") g_opt.noDocument = true;
    else if (a == L"--no-document=null") g_opt.noDocument = g_opt.noDocumentNull = true;
    else if (StartsWith(a, L"--name=", &v)) g_opt.name = v;
    else if (a == L"--hidden") g_opt.hidden = true;
    else g_opt.progIds.push_back(a);
  }
  LocalFree(argv);
  if (g_opt.name.empty() && !g_opt.progIds.empty()) g_opt.name = g_opt.progIds[0];
}

void CreateDrawingWindow() {
  WNDCLASSW wc{};
  wc.lpfnWndProc = WndProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = L"FakeCadWindow";
  RegisterClassW(&wc);
  std::wstring title = L"FakeCAD - ";
  for (std::size_t i = 0; i < g_opt.progIds.size(); ++i) title += (i ? L", " : L"") + g_opt.progIds[i];
  g_window = CreateWindowExW(0, wc.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 760, 560, nullptr,
                             nullptr, wc.hInstance, nullptr);
  ShowWindow(g_window, SW_SHOWNOACTIVATE);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  QueryPerformanceFrequency(&g_freq);
  ParseOptions();
  if (!g_opt.logPath.empty())
    g_log = CreateFileW(g_opt.logPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                        nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (FAILED(OleInitialize(nullptr))) return 2;
  wchar_t exe[MAX_PATH];
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  if (FAILED(LoadTypeLibEx(exe, REGKIND_NONE, &g_typeLib))) {
    Log(L"no type library");
    return 3;
  }
  if (!g_opt.hidden) CreateDrawingWindow();

  Application* app = new Application;
  std::vector<Registration> regs;
  bool ok = true;
  for (const std::wstring& id : g_opt.progIds) {
    regs.push_back({id, {}, 0});
    ok = Register(app, regs.back()) && ok;
  }
  HANDLE ready = nullptr;
  if (ok && !g_opt.readyEvent.empty()) {
    ready = CreateEventW(nullptr, TRUE, FALSE, g_opt.readyEvent.c_str());
    if (ready) SetEvent(ready);
  }

  int rc = ok ? 0 : 4;
  if (ok) {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  for (const Registration& r : regs) Unregister(r);
  CoDisconnectObject(static_cast<IFakeApplication*>(app), 0);
  app->Release();
  if (ready) CloseHandle(ready);
  if (g_window) DestroyWindow(g_window);
  g_typeLib->Release();
  OleUninitialize();
  if (g_log != INVALID_HANDLE_VALUE) CloseHandle(g_log);
  return rc;
}
