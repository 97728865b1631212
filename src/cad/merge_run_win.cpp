#include "cad/merge_run.h"

#include <memory>
#include <utility>
#include <vector>

#include "app/main_window.h"
#include "app/ui.h"
#include "cad/automation.h"
#include "cad/cad_connection.h"
#include "cad/part_frame.h"
#include "common/globals.h"
#include "common/platform.h"
#include "drawing_list/drawing_list.h"

namespace {

const char kTitle[] = "提示：";
constexpr unsigned kPauseMs = 100;
constexpr std::size_t kMaxNamedFailures = 20;

Text Padded(std::size_t before, const Text& text, std::size_t after) {
  return Text(before, ' ') + text + Text(after, ' ');
}

void Tell(const Text& text, const Text& title = kTitle) { ShowMessage(mainwin::window, text, title, MB_OK); }

// The point array of the run in progress (created once per run).
AutomationPoint* g_point = nullptr;
bool g_running = false;

// Input controls are disabled while a run goes on: the automation calls pump this thread's
// messages, and a second click on the start button would otherwise start a run inside the run.
// The list stays enabled: it shows and focuses the row being inserted.
class ControlsDisabled {
 public:
  ControlsDisabled() {
    std::size_t n = 0;
    const ui::ControlDef* defs = mainwin::Controls(&n);
    for (std::size_t i = 0; i < n; ++i) {
      switch (defs[i].kind) {
        case ui::Kind::Button: case ui::Kind::CheckBox: case ui::Kind::Radio: case ui::Kind::Edit:
        case ui::Kind::Combo: {
          HWND h = *defs[i].handle;
          if (!h) break;
          saved_.emplace_back(h, IsWindowEnabled(h) != FALSE);
          EnableWindow(h, FALSE);
          break;
        }
        default:
          break;
      }
    }
  }
  ~ControlsDisabled() {
    for (const auto& s : saved_) EnableWindow(s.first, s.second ? TRUE : FALSE);
  }

 private:
  std::vector<std::pair<HWND, bool>> saved_;
};

Text FieldName(MergeField f) {
  switch (f) {
    case MergeField::Spacing: return "图纸间距";
    case MergeField::Length: return "图纸长度";
    case MergeField::Width: return "图纸宽度";
    case MergeField::PerRow: return "每行数量";
    case MergeField::DirH: return "定向水平数";
    case MergeField::DirV: return "定向垂直数";
  }
  return Text();
}

// The boxes a mode reads; a box outside the 32-bit range matters only there.
bool ModeUses(std::int32_t mode, MergeField f) {
  switch (f) {
    case MergeField::Spacing: return true;
    case MergeField::Length: return mode == 1 || mode == 3 || mode == 4;
    case MergeField::Width: return mode == 2 || mode == 3 || mode == 4;
    case MergeField::PerRow: return mode == 3;
    case MergeField::DirH: case MergeField::DirV: return mode == 4;
  }
  return false;
}

// The refusal text for parameters the layout cannot use; empty when the layout is usable.
Text RefusalText(std::int32_t mode, const MergeParameters& p, const LayoutResult& layout) {
  Text fields;
  for (MergeField f : p.outOfRange)
    if (ModeUses(mode, f)) fields += (fields.empty() ? "" : "、") + FieldName(f);
  if (!fields.empty()) return fields + "的数值超出允许范围，请修改后再开始合图。未合并任何文件。";
  switch (layout.error) {
    case LayoutError::None: return Text();
    case LayoutError::CountBelowOne:
      return FieldName(layout.count) + "必须是不小于1的整数，请修改后再开始合图。未合并任何文件。";
    case LayoutError::OutOfRange:
      return "按当前参数排列，插入点坐标将超出允许范围，请减小图纸尺寸、间距或数量后再开始合图。未合并任何文件。";
    case LayoutError::UnknownMode: return "请先选择排列方式。未合并任何文件。";
  }
  return Text();
}

Text CompletionText(std::size_t total, const TextArray& failed, bool noModelSpace) {
  if (failed.empty()) return Padded(26, "在打开的第一个CAD文件中合并完毕！", 26);
  Text t = "合并结束：共 " + IntToText(static_cast<std::int32_t>(total)) + " 个文件，其中 " +
           IntToText(static_cast<std::int32_t>(failed.size())) + " 个未能合并";
  if (noModelSpace) t += "（未能取得CAD中打开的图纸）";
  t += "：";
  for (std::size_t i = 0; i < failed.size() && i < kMaxNamedFailures; ++i) t += "\r\n" + failed[i];
  if (failed.size() > kMaxNamedFailures)
    t += "\r\n……另有 " + IntToText(static_cast<std::int32_t>(failed.size() - kMaxNamedFailures)) + " 个";
  return t;
}

// Steps 4 to 8 of every insertion: pause, InsertBlock, pause, Update, ZoomExtents.
bool InsertAt(const InsertionPoint& point, const Text& path) {
  Pause(kPauseMs);
  bool inserted = false;
  if (g_point && g_point->Set(point.X, point.Y, point.Z)) {
    AutomationArgs args;
    args.Array(g_point->array(), VT_R8).String(path).Int(1).Int(1).Int(1).Int(0).Int(0);
    inserted = CallForObject(modelSpace, "InsertBlock", args, lastBlockReference);
  }
  Pause(kPauseMs);
  CallMethod(cadApplication, "Update");
  CallMethod(cadApplication, "ZoomExtents");
  return inserted;
}

}  // namespace

bool InsertDrawingAt(int row, const InsertionPoint& point, const Text& path) {
  // The list moves on a page at a time: Wine's list view scrolls one row per focus change
  // otherwise, at about 4 ms a scroll, which is most of the run's own time per drawing.
  drawing_list::ShowFromRow(row);
  drawing_list::SetCurrentRow(row);
  drawing_list::GiveFocus();
  drawing_list::MakeVisible(row);
  return InsertAt(point, path);
}

bool InsertPartFrameAt(const InsertionPoint& point) { return InsertAt(point, PartFramePath()); }

void RunMerge() {
  if (g_running) return;
  g_running = true;
  struct Finish {
    ~Finish() { g_running = false; }
  } finish;
  ControlsDisabled disabled;

  if (!ConnectToCad()) {
    Tell(Padded(26, "请打开CAD软件", 26));
    return;
  }
  ReadObjectProperty(cadApplication, "ActiveDocument", activeDocument);
  ReadObjectProperty(activeDocument, "ModelSpace", modelSpace);
  ReadObjectProperty(activeDocument, "Utility", cadUtility);

  using namespace mainwin;
  const int n = drawing_list::RowCount();
  const MergeParameters p =
      ReadMergeParameters(ui::GetText(编辑框_间距), ui::GetText(编辑框_水平尺寸), ui::GetText(编辑框_垂直尺寸),
                          ui::GetText(编辑框_行数量), ui::GetText(编辑框_定向水平数量), ui::GetText(编辑框_定向垂直数量));
  AutomationPoint point;
  g_point = &point;
  struct ForgetPoint {
    ~ForgetPoint() { g_point = nullptr; }
  } forgetPoint;

  if (n == 0) {
    Tell(Padded(26, "请增加要合图的CAD文件！", 26));
    return;
  }
  // Parameters the layout cannot use are refused before anything is inserted.
  const LayoutResult layout = ComputeLayout(ArrangementMode, n, p);
  const Text refusal = RefusalText(ArrangementMode, p, layout);
  if (!refusal.empty()) {
    Tell(refusal);
    return;
  }

  Tell(Padded(11, "将在打开的第一个CAD中起始点坐标处开始合并，期间请不要操作!", 9), "准备开始合并文件");

  TextArray failed;
  for (int i = 0; i < n; ++i) {
    const Text path = drawing_list::CellText(i, 1);
    if (!InsertDrawingAt(i, layout.drawings[static_cast<std::size_t>(i)], path)) failed.push_back(path);
  }
  for (const InsertionPoint& frame : layout.partFrames)
    if (!InsertPartFrameAt(frame)) failed.push_back(PartFramePath());

  Tell(CompletionText(static_cast<std::size_t>(n) + layout.partFrames.size(), failed, modelSpace.empty()));
}
