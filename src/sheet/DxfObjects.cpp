#include "sheet/DxfObjects.h"

#include <dl_writer_ascii.h>

#include <string>
#include <utility>
#include <vector>

namespace {

// The handles dxflib's tables refer to: its block records name the layouts
// 1E (*Paper_Space), 22 (*Model_Space) and 26 (*Paper_Space0), owned by the
// block records 1B, 1F and 23.
enum Handle : int {
    Root = 0xC,
    Groups = 0xD,
    PlotStyleNames = 0xE,
    PlotStyleNormal = 0xF,
    MlineStyles = 0x17,
    MlineStandard = 0x18,
    PlotSettings = 0x19,
    Layouts = 0x1A,
    PaperSpaceRecord = 0x1B,
    PaperLayout = 0x1E,
    ModelSpaceRecord = 0x1F,
    ModelLayout = 0x22,
    PaperSpace0Record = 0x23,
    PaperLayout0 = 0x26,
};

struct Out {
    const DL_WriterA& dw;

    // An object's start: its type, handle and owner (0 for the root). A
    // handle of 0 is the writer's next one, counted on from the entities'.
    void begin(const char* type, int handle, int owner) const {
        dw.dxfString(0, type);
        if (handle != 0)
            dw.dxfHex(5, handle);
        else
            dw.handle();
        // The owner's reactor list, then the owner itself.
        if (owner != 0) {
            dw.dxfString(102, "{ACAD_REACTORS");
            dw.dxfHex(330, owner);
            dw.dxfString(102, "}");
        }
        dw.dxfHex(330, owner);
    }

    void dictionary(int handle, int owner, const std::vector<std::pair<const char*, int>>& entries,
                    bool hardOwner = true) const {
        begin("DICTIONARY", handle, owner);
        dw.dxfString(100, "AcDbDictionary");
        if (hardOwner) dw.dxfInt(280, 0);
        dw.dxfInt(281, 1);
        for (const auto& [name, entry] : entries) {
            dw.dxfString(3, name);
            dw.dxfHex(350, entry);
        }
    }

    void layout(int handle, const char* name, int tab, int blockRecord, int flags, QSizeF limits) const {
        begin("LAYOUT", handle, Layouts);
        dw.dxfString(100, "AcDbPlotSettings");
        dw.dxfString(1, "");
        dw.dxfString(2, "none_device");
        dw.dxfString(4, "");
        dw.dxfString(6, "");
        for (int code = 40; code <= 49; ++code) dw.dxfReal(code, 0.0);
        dw.dxfReal(140, 0.0);
        dw.dxfReal(141, 0.0);
        dw.dxfReal(142, 1.0);
        dw.dxfReal(143, 1.0);
        dw.dxfInt(70, flags);
        dw.dxfInt(72, 1);   // plot paper units: millimetres
        dw.dxfInt(73, 0);
        dw.dxfInt(74, tab == 0 ? 0 : 5);
        dw.dxfString(7, "");
        dw.dxfInt(75, tab == 0 ? 0 : 16);
        dw.dxfReal(147, 1.0);
        dw.dxfReal(148, 0.0);
        dw.dxfReal(149, 0.0);
        dw.dxfString(100, "AcDbLayout");
        dw.dxfString(1, name);
        dw.dxfInt(70, 1);
        dw.dxfInt(71, tab);
        dw.dxfReal(10, 0.0);
        dw.dxfReal(20, 0.0);
        dw.dxfReal(11, limits.width());
        dw.dxfReal(21, limits.height());
        for (int code : {12, 22, 32}) dw.dxfReal(code, 0.0);
        // An empty drawing's extents: the largest number each way.
        for (int code : {14, 24, 34}) dw.dxfReal(code, 1e20);
        for (int code : {15, 25, 35}) dw.dxfReal(code, -1e20);
        dw.dxfReal(146, 0.0);
        for (int code : {13, 23, 33}) dw.dxfReal(code, 0.0);
        dw.dxfReal(16, 1.0);
        dw.dxfReal(26, 0.0);
        dw.dxfReal(36, 0.0);
        dw.dxfReal(17, 0.0);
        dw.dxfReal(27, 1.0);
        dw.dxfReal(37, 0.0);
        dw.dxfInt(76, 0);
        dw.dxfHex(330, blockRecord);
    }

    void variable(int owner, const char* value) const {
        begin("DICTIONARYVAR", 0, owner);
        dw.dxfString(100, "DictionaryVariables");
        dw.dxfInt(280, 0);
        dw.dxfString(1, value);
    }
};

}  // namespace

void writeDxfObjects(DL_WriterA& dw, QSizeF paperMm) {
    const Out out{dw};
    // The variables take the handles after the entities' (a fixed handle
    // there would be an entity's on a sheet of many copies), in the order
    // written below: their dictionary, HIDETEXT, DIMASSOC.
    const int Variables = int(dw.getNextHandle());
    const int HideText = Variables + 1, DimAssoc = Variables + 2;
    dw.dxfString(0, "SECTION");
    dw.dxfString(2, "OBJECTS");
    out.dictionary(Root, 0,
                   {{"ACAD_GROUP", Groups},
                    {"ACAD_LAYOUT", Layouts},
                    {"ACAD_MLINESTYLE", MlineStyles},
                    {"ACAD_PLOTSETTINGS", PlotSettings},
                    {"ACAD_PLOTSTYLENAME", PlotStyleNames},
                    {"AcDbVariableDictionary", Variables}});
    out.dictionary(Groups, Root, {});

    out.begin("ACDBDICTIONARYWDFLT", PlotStyleNames, Root);
    dw.dxfString(100, "AcDbDictionary");
    dw.dxfInt(281, 1);
    dw.dxfString(3, "Normal");
    dw.dxfHex(350, PlotStyleNormal);
    dw.dxfString(100, "AcDbDictionaryWithDefault");
    dw.dxfHex(340, PlotStyleNormal);
    out.begin("ACDBPLACEHOLDER", PlotStyleNormal, PlotStyleNames);

    out.dictionary(MlineStyles, Root, {{"Standard", MlineStandard}});
    out.begin("MLINESTYLE", MlineStandard, MlineStyles);
    dw.dxfString(100, "AcDbMlineStyle");
    dw.dxfString(2, "STANDARD");
    dw.dxfInt(70, 0);
    dw.dxfString(3, "");
    dw.dxfInt(62, 256);
    dw.dxfReal(51, 90.0);
    dw.dxfReal(52, 90.0);
    dw.dxfInt(71, 2);
    for (const double offset : {0.5, -0.5}) {
        dw.dxfReal(49, offset);
        dw.dxfInt(62, 256);
        dw.dxfString(6, "BYLAYER");
    }

    out.dictionary(PlotSettings, Root, {});
    out.dictionary(Layouts, Root, {{"Layout1", PaperLayout}, {"Layout2", PaperLayout0}, {"Model", ModelLayout}},
                   false);
    out.layout(PaperLayout, "Layout1", 1, PaperSpaceRecord, 688, paperMm);
    out.layout(ModelLayout, "Model", 0, ModelSpaceRecord, 1712, QSizeF(12.0, 9.0));
    out.layout(PaperLayout0, "Layout2", 2, PaperSpace0Record, 688, QSizeF(12.0, 9.0));

    out.dictionary(0, Root, {{"DIMASSOC", DimAssoc}, {"HIDETEXT", HideText}}, false);
    out.variable(Variables, "2");   // HIDETEXT
    out.variable(Variables, "1");   // DIMASSOC
    dw.dxfString(0, "ENDSEC");
}
