#include "dwg_writer.h"

#include "dwg_file.h"
#include "dwg_objects.h"

namespace dwgframe {

namespace {

// Handles follow the numbering AutoCAD gives a new drawing, so the file reads like one of its own.
enum : Handle {
  kBlockControl = 0x01,
  kLayerControl = 0x02,
  kStyleControl = 0x03,
  kLtypeControl = 0x05,
  kViewControl = 0x06,
  kUcsControl = 0x07,
  kVportControl = 0x08,
  kAppidControl = 0x09,
  kDimstyleControl = 0x0A,
  kVxControl = 0x0B,
  kNamedObjects = 0x0C,
  kGroupDict = 0x0D,
  kPlotStyleDict = 0x0E,
  kPlotStyleNormal = 0x0F,
  kLayer0 = 0x10,
  kStyleStandard = 0x11,
  kAppidAcad = 0x12,
  kLtypeByBlock = 0x14,
  kLtypeByLayer = 0x15,
  kLtypeContinuous = 0x16,
  kMlineStyleDict = 0x17,
  kMlineStyleStandard = 0x18,
  kPlotSettingsDict = 0x19,
  kLayoutDict = 0x1A,
  kPaperSpaceRecord = 0x1B,
  kPaperSpaceBlock = 0x1C,
  kPaperSpaceEndblk = 0x1D,
  kLayout1 = 0x1E,
  kModelSpaceRecord = 0x1F,
  kModelSpaceBlock = 0x20,
  kModelSpaceEndblk = 0x21,
  kLayoutModel = 0x22,
  kDimstyleStandard = 0x27,
  kVportActive = 0x29,
  kFirstEntity = 0x30,
};

// A fixed date keeps the output reproducible: 2025-01-01 12:00.
constexpr std::uint32_t kJulianDay = 2460677;
constexpr std::uint32_t kMilliseconds = 12u * 3600u * 1000u;

void WriteHeaderVariables(BitWriter& w, Handle handseed) {
  const double minX = 0.0, maxX = kSheetWidth, minY = -kSheetHeight, maxY = 0.0;
  w.BD(412148564080.0);
  w.BD(1.0);
  w.BD(1.0);
  w.BD(1.0);
  w.T("m");
  w.T("");
  w.T("");
  w.T("");
  w.BL(0);
  w.BL(0);
  w.H(kHardPointer, 0);  // current viewport entity header
  // DIMASO DIMSHO PLINEGEN ORTHOMODE REGENMODE FILLMODE QTEXTMODE PSLTSCALE LIMCHECK USRTIMER
  // SKPOLY ANGDIR SPLFRAME MIRRTEXT WORLDVIEW TILEMODE PLIMCHECK VISRETAIN DISPSILH PELLIPSE
  for (bool b : {true, true, false, false, true, true, false, true, false, true,
                 false, false, false, false, true, true, false, true, false, false}) {
    w.B(b);
  }
  // PROXYGRAPHICS TREEDEPTH LUNITS LUPREC AUNITS AUPREC ATTMODE PDMODE USERI1..5 SPLINESEGS SURFU
  // SURFV SURFTYPE SURFTAB1 SURFTAB2 SPLINETYPE SHADEDGE SHADEDIF UNITMODE MAXACTVP ISOLINES
  // CMLJUST TEXTQLTY
  for (std::uint16_t v : {1, 3020, 2, 4, 0, 0, 1, 0, 0, 0, 0, 0, 0, 8, 6, 6, 6, 6, 6, 6, 3, 70, 0, 64, 4, 0, 50}) {
    w.BS(v);
  }
  // LTSCALE TEXTSIZE TRACEWID SKETCHINC FILLETRAD THICKNESS ANGBASE PDSIZE PLINEWID USERR1..5
  // CHAMFERA..D FACETRES CMLSCALE CELTSCALE
  for (double v : {1.0, 2.5, 1.0, 1.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0,
                   0.0, 0.0, 0.0, 0.0, 0.5, 20.0, 1.0}) {
    w.BD(v);
  }
  w.T(".");  // MENUNAME
  for (int i = 0; i < 2; ++i) {  // TDCREATE, TDUPDATE
    w.BL(kJulianDay);
    w.BL(kMilliseconds);
  }
  for (int i = 0; i < 4; ++i) w.BL(0);  // TDINDWG, TDUSRTIMER
  w.CMC(256);                           // CECOLOR ByLayer
  w.H(0, handseed);
  w.H(kHardPointer, kLayer0);              // CLAYER
  w.H(kHardPointer, kStyleStandard);       // TEXTSTYLE
  w.H(kHardPointer, kLtypeByLayer);        // CELTYPE
  w.H(kHardPointer, kDimstyleStandard);    // DIMSTYLE
  w.H(kHardPointer, kMlineStyleStandard);  // CMLSTYLE
  w.BD(0.0);                               // PSVPSCALE

  // Paper space, then model space: INSBASE EXTMIN EXTMAX LIMMIN LIMMAX ELEVATION UCS...
  for (int space = 0; space < 2; ++space) {
    const bool model = space == 1;
    w.P3BD(0, 0, 0);
    if (model) {
      w.P3BD(minX, minY, 0);
      w.P3BD(maxX, maxY, 0);
      w.P2RD(minX, minY);
      w.P2RD(maxX, maxY);
    } else {  // nothing in paper space
      w.P3BD(1e20, 1e20, 1e20);
      w.P3BD(-1e20, -1e20, -1e20);
      w.P2RD(0, 0);
      w.P2RD(kSheetWidth, kSheetHeight);
    }
    w.BD(0.0);
    w.P3BD(0, 0, 0);
    w.P3BD(1, 0, 0);
    w.P3BD(0, 1, 0);
    w.H(kHardPointer, 0);  // UCSNAME
    w.H(kHardPointer, 0);  // UCSORTHOREF
    w.BS(0);               // UCSORTHOVIEW
    w.H(kHardPointer, 0);  // UCSBASE
    for (int i = 0; i < 6; ++i) w.P3BD(0, 0, 0);  // UCSORG TOP..BACK
  }

  WriteMetricDimValues(w);
  w.H(kHardPointer, kStyleStandard);  // DIMTXSTY
  for (int i = 0; i < 4; ++i) w.H(kHardPointer, 0);  // DIMLDRBLK DIMBLK DIMBLK1 DIMBLK2
  w.BS(0xFFFE);  // DIMLWD
  w.BS(0xFFFE);  // DIMLWE

  for (Handle h : {kBlockControl, kLayerControl, kStyleControl, kLtypeControl, kViewControl, kUcsControl,
                   kVportControl, kAppidControl, kDimstyleControl, kVxControl}) {
    w.H(kHardOwner, h);
  }
  w.H(kHardPointer, kGroupDict);
  w.H(kHardPointer, kMlineStyleDict);
  w.H(kHardOwner, kNamedObjects);
  w.BS(1);   // TSTACKALIGN
  w.BS(70);  // TSTACKSIZE
  w.T("");   // HYPERLINKBASE
  w.T("");   // STYLESHEET
  w.H(kHardPointer, kLayoutDict);
  w.H(kHardPointer, kPlotSettingsDict);
  w.H(kHardPointer, kPlotStyleDict);
  // CELWEIGHT ByLayer, round caps and joins, LWDISPLAY off, XEDIT on, EXTNAMES on, named plot
  // styles off, OLESTARTUP off: the flags of a new AutoCAD drawing.
  w.BL(0x2A1D);
  w.BS(4);  // INSUNITS millimetres
  w.BS(0);  // CEPSNTYPE ByLayer
  w.T("{5B0B6E3A-3C1D-4E2A-9F6B-7A1C2D3E4F50}");  // FINGERPRINTGUID
  w.T("{8D2C1B4A-5E6F-4A7B-8C9D-0E1F2A3B4C5D}");  // VERSIONGUID
  w.H(kHardPointer, kPaperSpaceRecord);
  w.H(kHardPointer, kModelSpaceRecord);
  w.H(kHardPointer, kLtypeByLayer);
  w.H(kHardPointer, kLtypeByBlock);
  w.H(kHardPointer, kLtypeContinuous);
  // Four trailing shorts AutoCAD always writes in their long form.
  for (int i = 0; i < 4; ++i) {
    w.BB(0);
    w.RS(0);
  }
}

}  // namespace

std::vector<Segment> PartFrameSegments() {
  const double gridBottom = -kCellHeight * kFrameRows;
  std::vector<Segment> s = {
      {0, 0, kSheetWidth, 0},
      {kSheetWidth, 0, kSheetWidth, -kSheetHeight},
      {kSheetWidth, -kSheetHeight, 0, -kSheetHeight},
      {0, -kSheetHeight, 0, 0},
  };
  for (int r = 1; r <= kFrameRows; ++r) s.push_back({0, -kCellHeight * r, kSheetWidth, -kCellHeight * r});
  for (int c = 1; c < kFrameColumns; ++c) s.push_back({kCellWidth * c, 0, kCellWidth * c, gridBottom});
  return s;
}

std::vector<std::uint8_t> BuildPartFrameDwg() {
  const std::vector<Segment> segments = PartFrameSegments();
  const Handle lastEntity = kFirstEntity + static_cast<Handle>(segments.size()) - 1;
  const Handle handseed = lastEntity + 1;

  FileContents c;
  c.handseed = handseed;
  c.julianDay = kJulianDay;
  c.milliseconds = kMilliseconds;
  c.metric = true;
  c.classes = {{kClassDictionaryWithDefault, "AcDbDictionaryWithDefault", "ACDBDICTIONARYWDFLT"},
               {kClassPlaceholder, "AcDbPlaceHolder", "ACDBPLACEHOLDER"},
               {kClassLayout, "AcDbLayout", "LAYOUT"}};
  c.secondHeaderHandles = {{1, kBlockControl},  {2, kLayerControl},    {3, kStyleControl}, {4, kLtypeControl},
                           {5, kViewControl},   {6, kUcsControl},      {7, kVportControl}, {8, kAppidControl},
                           {9, kDimstyleControl}, {10, kVxControl},    {11, kNamedObjects}, {12, kMlineStyleDict},
                           {13, kGroupDict}};
  WriteHeaderVariables(c.headerVariables, handseed);

  auto add = [&c](Handle h, Record r) { c.objects.emplace_back(h, std::move(r)); };
  add(kBlockControl, ControlObject(kTypeBlockControl, kBlockControl, {}, {kModelSpaceRecord, kPaperSpaceRecord}));
  add(kLayerControl, ControlObject(kTypeLayerControl, kLayerControl, {kLayer0}));
  add(kStyleControl, ControlObject(kTypeStyleControl, kStyleControl, {kStyleStandard}));
  add(kLtypeControl, ControlObject(kTypeLtypeControl, kLtypeControl, {kLtypeContinuous}, {kLtypeByBlock, kLtypeByLayer}));
  add(kViewControl, ControlObject(kTypeViewControl, kViewControl, {}));
  add(kUcsControl, ControlObject(kTypeUcsControl, kUcsControl, {}));
  add(kVportControl, ControlObject(kTypeVportControl, kVportControl, {kVportActive}));
  add(kAppidControl, ControlObject(kTypeAppidControl, kAppidControl, {kAppidAcad}));
  add(kDimstyleControl, ControlObject(kTypeDimstyleControl, kDimstyleControl, {kDimstyleStandard}));
  add(kVxControl, ControlObject(kTypeVxControl, kVxControl, {}));
  add(kNamedObjects, Dictionary(kNamedObjects, 0,
                                {{"ACAD_GROUP", kGroupDict},
                                 {"ACAD_LAYOUT", kLayoutDict},
                                 {"ACAD_MLINESTYLE", kMlineStyleDict},
                                 {"ACAD_PLOTSETTINGS", kPlotSettingsDict},
                                 {"ACAD_PLOTSTYLENAME", kPlotStyleDict}}));
  add(kGroupDict, Dictionary(kGroupDict, kNamedObjects, {}));
  add(kPlotStyleDict,
      DictionaryWithDefault(kPlotStyleDict, kNamedObjects, {{"Normal", kPlotStyleNormal}}, kPlotStyleNormal));
  add(kPlotStyleNormal, Placeholder(kPlotStyleNormal, kPlotStyleDict));
  add(kLayer0, Layer(kLayer0, kLayerControl, "0", 7, kPlotStyleNormal, kLtypeContinuous));
  add(kStyleStandard, TextStyle(kStyleStandard, kStyleControl, "Standard", 2.5, "txt"));
  add(kAppidAcad, AppId(kAppidAcad, kAppidControl, "ACAD"));
  add(kLtypeByBlock, Linetype(kLtypeByBlock, kLtypeControl, "ByBlock", ""));
  add(kLtypeByLayer, Linetype(kLtypeByLayer, kLtypeControl, "ByLayer", ""));
  add(kLtypeContinuous, Linetype(kLtypeContinuous, kLtypeControl, "Continuous", "Solid line"));
  add(kMlineStyleDict, Dictionary(kMlineStyleDict, kNamedObjects, {{"Standard", kMlineStyleStandard}}));
  add(kMlineStyleStandard, MlineStyle(kMlineStyleStandard, kMlineStyleDict, "STANDARD"));
  add(kPlotSettingsDict, Dictionary(kPlotSettingsDict, kNamedObjects, {}));
  add(kLayoutDict, Dictionary(kLayoutDict, kNamedObjects, {{"Layout1", kLayout1}, {"Model", kLayoutModel}}));

  const EntityLinks paperBlock{EntityMode::kPaperSpace, 0, kLayer0, 0, 0};
  add(kPaperSpaceRecord, BlockRecord(kPaperSpaceRecord, kBlockControl,
                                     {"*Paper_Space", kPaperSpaceBlock, kPaperSpaceEndblk, 0, 0, kLayout1}));
  add(kPaperSpaceBlock, BlockBegin(kPaperSpaceBlock, paperBlock, "*Paper_Space"));
  add(kPaperSpaceEndblk, BlockEnd(kPaperSpaceEndblk, paperBlock));
  add(kLayout1, Layout(kLayout1, kLayoutDict,
                       {"Layout1", 1, false, kPaperSpaceRecord, 0, 0, kSheetWidth, kSheetHeight}));

  const EntityLinks modelBlock{EntityMode::kModelSpace, 0, kLayer0, 0, 0};
  add(kModelSpaceRecord,
      BlockRecord(kModelSpaceRecord, kBlockControl,
                  {"*Model_Space", kModelSpaceBlock, kModelSpaceEndblk, kFirstEntity, lastEntity, kLayoutModel}));
  add(kModelSpaceBlock, BlockBegin(kModelSpaceBlock, modelBlock, "*Model_Space"));
  add(kModelSpaceEndblk, BlockEnd(kModelSpaceEndblk, modelBlock));
  add(kLayoutModel, Layout(kLayoutModel, kLayoutDict,
                           {"Model", 0, true, kModelSpaceRecord, 0, -kSheetHeight, kSheetWidth, 0}));
  add(kDimstyleStandard, DimStyle(kDimstyleStandard, kDimstyleControl, "Standard", kStyleStandard));
  // Zoomed to the sheet with a small margin.
  add(kVportActive, Vport(kVportActive, kVportControl, "*Active",
                          {kSheetWidth / 2, -kSheetHeight / 2, kSheetHeight * 1.1, kSheetWidth * 1.1}, 10.0));

  for (std::size_t i = 0; i < segments.size(); ++i) {
    const Handle h = kFirstEntity + static_cast<Handle>(i);
    const EntityLinks links{EntityMode::kModelSpace, 0, kLayer0, h == kFirstEntity ? 0 : h - 1,
                            h == lastEntity ? 0 : h + 1};
    const Segment& s = segments[i];
    add(h, Line(h, links, s.x1, s.y1, s.x2, s.y2));
  }
  return AssembleR2000(c);
}

}  // namespace dwgframe
