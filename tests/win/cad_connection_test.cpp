// Finding the running CAD application, against the stand-in CAD in other processes, and the
// automation helpers' argument forms as the stand-in receives them.
#include <windows.h>

#include <memory>

#include "app/main_window.h"
#include "app/ui.h"
#include "cad/automation.h"
#include "cad/cad_connection.h"
#include "common/globals.h"
#include "fakecad_process.h"
#include "harness.h"
#include "settings/settings.h"

namespace {

const Text kNotConnected = "Tessaro_不限CAD版本_v3.2  [未连接到CAD，请打开CAD软件]";
Text Connected(const Text& label) { return "Tessaro_不限CAD版本_v3.2  [当前CAD: " + label + "]"; }

// Application.Name of the object ConnectToCad kept: which stand-in won.
Text ConnectedName() {
  VARIANT v;
  if (!AutomationInvoke(cadApplication.get(), "Name", DISPATCH_PROPERTYGET, AutomationArgs(), &v)) return "(none)";
  Text name = v.vt == VT_BSTR ? WideToGbk(v.bstrVal) : "(not text)";
  VariantClear(&v);
  return name;
}

using CadConnection = AppTest;

TEST_F(CadConnection, CaptionAndWinnerForWhatRuns) {
  struct Server {
    std::vector<std::wstring> progIds;
    const wchar_t* name;
  };
  struct Case {
    const char* what;
    const char* versions;
    std::vector<Server> servers;
    bool result;
    const char* label;   // nullptr: not connected
    const char* winner;  // Application.Name of the kept object
  } cases[] = {
      {"nothing runs", kDefaultVersionList, {}, false, nullptr, nullptr},
      {"only AutoCAD 22", kDefaultVersionList, {{{L"Autocad.Application.22"}, L"acad22"}}, true,
       "2018版本", "acad22"},
      {"AutoCAD and ZWCAD", kDefaultVersionList,
       {{{L"Autocad.Application.22"}, L"acad22"}, {{L"ZWCAD.Application"}, L"zw"}}, true, "国产中望CAD", "zw"},
      {"all three", kDefaultVersionList,
       {{{L"Autocad.Application.22"}, L"acad22"}, {{L"GstarCAD.Application"}, L"gstar"},
        {{L"ZWCAD.Application"}, L"zw"}},
       true, "国产浩辰CAD", "gstar"},
      {"two AutoCAD releases: the later entry wins", "23-2019/22-2018/",
       {{{L"Autocad.Application.23"}, L"acad23"}, {{L"Autocad.Application.22"}, L"acad22"}}, true, "2018版本",
       "acad22"},
      {"empty version list probes only ZWCAD and GstarCAD", "",
       {{{L"Autocad.Application.22", L"Autocad.Application."}, L"acad"}}, false, nullptr, nullptr},
      {"empty version list, ZWCAD runs", "", {{{L"ZWCAD.Application"}, L"zw"}}, true, "国产中望CAD", "zw"},
      {"three pieces", "24-2021-x/", {{{L"Autocad.Application.24"}, L"acad24"}}, true, "2021版本", "acad24"},
      {"empty entries are not probed", "//", {{{L"Autocad.Application."}, L"acad"}}, false, nullptr, nullptr},
      {"entry without a year is named by its version", "24/", {{{L"Autocad.Application.24"}, L"acad24"}}, true,
       "24版本", "acad24"},
      {"entry with an empty year", "24-/", {{{L"Autocad.Application.24"}, L"acad24"}}, true, "24版本", "acad24"},
      {"listed release not running", "22-2018/", {{{L"Autocad.Application.23"}, L"acad23"}}, false, nullptr,
       nullptr},
  };
  Start();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::unique_ptr<FakeCad>> running;
    for (const Server& s : c.servers)
      running.push_back(std::make_unique<FakeCad>(s.progIds, std::vector<std::wstring>{
                                                                 L"--hidden", std::wstring(L"--name=") + s.name}));
    cadApplication.Release();
    versionListText = c.versions;
    EXPECT_EQ(ConnectToCad(), c.result);
    EXPECT_EQ(ui::GetText(main), c.label ? Connected(c.label) : kNotConnected);
    if (c.winner) EXPECT_EQ(ConnectedName(), c.winner);
    else EXPECT_TRUE(cadApplication.empty());
  }
}

TEST_F(CadConnection, NothingRunningAnyMoreKeepsTheEarlierObject) {
  Start();
  auto zw = std::make_unique<FakeCad>(std::vector<std::wstring>{L"ZWCAD.Application"},
                                      std::vector<std::wstring>{L"--hidden"});
  ASSERT_TRUE(ConnectToCad());
  IDispatch* earlier = cadApplication.get();
  ASSERT_NE(earlier, nullptr);
  zw->Stop();
  EXPECT_FALSE(ConnectToCad());
  EXPECT_EQ(ui::GetText(main), kNotConnected);
  EXPECT_EQ(cadApplication.get(), earlier);
}

TEST_F(CadConnection, StartUpConnects) {
  FakeCad gstar({L"GstarCAD.Application"}, {L"--hidden"});
  Start();
  EXPECT_EQ(ui::GetText(main), Connected("国产浩辰CAD"));
  EXPECT_FALSE(cadApplication.empty());
}

TEST_F(CadConnection, GetRunningObjectLeavesTargetAloneOnFailure) {
  FakeCad zw({L"ZWCAD.Application"}, {L"--hidden"});
  AutomationRef target;
  ASSERT_TRUE(GetRunningObject("ZWCAD.Application", target));
  IDispatch* held = target.get();
  EXPECT_FALSE(GetRunningObject("NoSuch.Application.1", target));  // CLSIDFromProgID fails
  EXPECT_EQ(target.get(), held);
  EXPECT_FALSE(GetRunningObject("Autocad.Application.99", target));  // not registered either
  EXPECT_EQ(target.get(), held);
}

// The argument forms the CAD side receives: by value as given, except parameters declared by
// reference, which get the declared type; and failures that reach only the caller.
TEST_F(CadConnection, AutomationCallsAsTheServerSeesThem) {
  FakeCad zw({L"ZWCAD.Application"}, {L"--hidden"});
  AutomationRef app, doc, space, util, block;
  ASSERT_TRUE(GetRunningObject("ZWCAD.Application", app));
  ASSERT_TRUE(ReadObjectProperty(app, "ActiveDocument", doc));
  ASSERT_TRUE(ReadObjectProperty(doc, "ModelSpace", space));
  ASSERT_TRUE(ReadObjectProperty(doc, "Utility", util));

  {
    AutomationArgs args;
    args.Int(3).Int(7).String("备注");
    EXPECT_TRUE(CallMethod(util, "ScaleValue", args));
  }
  const Text file = dir->path();  // the stand-in only checks that the name exists
  AutomationPoint point;
  ASSERT_TRUE(point.Set(-2.5, 4, 0));
  {
    AutomationArgs args;
    args.Array(point.array(), VT_R8).String(file).Int(1).Int(1).Int(1).Int(0).Int(0);
    EXPECT_TRUE(CallForObject(space, "InsertBlock", args, block));
    EXPECT_FALSE(block.empty());
  }
  {
    // A holder remembers member lookups for its object only: "Name" has another DISPID on a
    // block reference than on the application.
    AutomationRef holder;
    ASSERT_TRUE(GetRunningObject("ZWCAD.Application", holder));
    auto name = [&holder] {
      VARIANT v;
      Text out = AutomationInvoke(holder, "Name", DISPATCH_PROPERTYGET, AutomationArgs(), &v) && v.vt == VT_BSTR
                     ? WideToGbk(v.bstrVal) : Text("(failed)");
      VariantClear(&v);
      return out;
    };
    EXPECT_EQ(name(), "ZWCAD.Application");
    block.get()->AddRef();
    holder.Store(block.get());
    EXPECT_EQ(name(), file);
  }
  // Refusals: a point of two doubles, too many arguments, an unknown member, an empty object.
  {
    SAFEARRAYBOUND two{2, 1};
    SAFEARRAY* sa = SafeArrayCreate(VT_R8, 1, &two);
    AutomationArgs args;
    args.Array(sa, VT_R8).String(file).Int(1).Int(1).Int(1).Int(0).Int(0);
    EXPECT_FALSE(CallForObject(space, "InsertBlock", args, block));
    EXPECT_TRUE(block.empty());  // a failed call's empty result replaces the old one
    SafeArrayDestroy(sa);
  }
  {
    AutomationArgs args;
    args.Array(point.array(), VT_R8).String(file).Int(1).Int(1).Int(1).Int(0).Int(0).Int(0);
    EXPECT_FALSE(CallMethod(space, "InsertBlock", args));
  }
  EXPECT_FALSE(CallMethod(app, "NoSuchMember"));
  EXPECT_FALSE(CallMethod(AutomationRef(), "Update"));
  AutomationRef none;
  EXPECT_FALSE(ReadObjectProperty(none, "ModelSpace", doc));
  EXPECT_TRUE(doc.empty());

  const std::vector<FakeCadCall> calls = zw.Calls();
  ASSERT_GE(calls.size(), 5u);
  EXPECT_EQ(calls[0].line, "ActiveDocument");
  EXPECT_EQ(calls[1].line, "ModelSpace");
  EXPECT_EQ(calls[2].line, "Utility");
  // Declared [in] double, [in,out] double*, [in,out] BSTR*: the integers arrive converted, the
  // by-reference ones as references.
  EXPECT_EQ(calls[3].line, "ScaleValue factor=3 value=7 note=备注 sent=VT_I4,VT_BYREF|VT_R8,VT_BYREF|VT_BSTR");
  EXPECT_EQ(calls[4].line, "InsertBlock point=(-2.5,4,0) vt=VT_ARRAY|VT_R8 lb=1 name=" + file +
                               " scales=1,1,1 rot=0 (VT_R8 each) password=VT_I4 0"
                               " sent=VT_ARRAY|VT_R8,VT_BSTR,VT_I4,VT_I4,VT_I4,VT_I4,VT_I4 -> ok");
  ASSERT_GE(calls.size(), 7u);
  EXPECT_EQ(calls[5].line, "Name");
  EXPECT_NE(calls[6].line.find("-> refused: point 2 elements"), Text::npos) << calls[6].line;
}

}  // namespace
