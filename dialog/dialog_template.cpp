#include "dialog/dialog_template.h"

#include <QFontMetrics>

#include "dialog/resource.h"

namespace {

using K = ControlKind;

// clang-format off
constexpr ControlTemplate kControls[] = {
    {K::DefaultButton, IDOK,                  "IDOK",                   "Schließen",                               613, 365,  50,  16, nullptr},
    {K::GroupBox,      IDC_STATIC,            "groupLibrary1",          "Bibliothek 1",                              7,   4, 222, 362, nullptr},
    {K::GroupBox,      IDC_STATIC,            "groupLibrary2",          "Bibliothek 2",                            444,   6, 222, 359, nullptr},
    {K::ListBox,       IDC_ONLY1_LIST,        "IDC_ONLY1_LIST",         "",                                         31,  60, 182, 222, "Symbole nur in Bibliothek 1"},
    {K::ListBox,       IDC_ONLY2_LIST,        "IDC_ONLY2_LIST",         "",                                        467,  61, 180, 221, "Symbole nur in Bibliothek 2"},
    {K::UpperCaseEdit, IDC_PATH1_EDIT,        "IDC_PATH1_EDIT",         "",                                          7,  42, 221,  13, "Pfad Bibliothek 1"},
    {K::UpperCaseEdit, IDC_PATH2_EDIT,        "IDC_PATH2_EDIT",         "",                                        444,  42, 219,  14, "Pfad Bibliothek 2"},
    {K::Button,        IDC_LOAD1_BUTTON,      "IDC_LOAD1_BUTTON",       "1ste Bibliothek Einlesen",                 56,  17, 116,  14, nullptr},
    {K::Button,        IDC_LOAD2_BUTTON,      "IDC_LOAD2_BUTTON",       "2te Bibliothek Einlesen und Vergleichen", 497,  18, 127,  14, nullptr},
    {K::ListBox,       IDC_COMMON_LIST,       "IDC_COMMON_LIST",        "",                                        266,  78, 144, 216, "Gemeinsame Symbole"},
    {K::Label,         IDC_STATIC,            "labelCommon",            "Gemeinsame Symbole",                      300,  66,  72,  11, nullptr},
    {K::Label,         IDC_STATIC,            "labelOnly1",             "Symbole nur in Bibliothek 1",              66, 288,  92,   8, nullptr},
    {K::Label,         IDC_STATIC,            "labelOnly2",             "Symbole nur in Bibliothek 2",             510, 288,  86,   8, nullptr},
    {K::Label,         IDC_STATIC,            "labelLib1Symbol",        "Symbol:",                                  21, 305,  40,  14, nullptr},
    {K::Label,         IDC_STATIC,            "labelLib1Designation",   "Bezeichnung:",                             21, 319,  40,  14, nullptr},
    {K::Label,         IDC_STATIC,            "labelLib1Class1",        "Klassifizierung 1:",                       21, 332,  69,  14, nullptr},
    {K::Edit,          IDC_LIB1_SYMBOL,       "IDC_LIB1_SYMBOL",        "",                                         87, 303, 124,  14, "Symbol (Bibliothek 1)"},
    {K::Edit,          IDC_LIB1_DESIGNATION,  "IDC_LIB1_DESIGNATION",   "",                                         87, 318, 124,  14, "Bezeichnung (Bibliothek 1)"},
    {K::Edit,          IDC_LIB1_CLASS1,       "IDC_LIB1_CLASS1",        "",                                         87, 332, 124,  14, "Klassifizierung 1 (Bibliothek 1)"},
    {K::Edit,          IDC_LIB1_CLASS2,       "IDC_LIB1_CLASS2",        "",                                         87, 345, 124,  14, "Klassifizierung 2 (Bibliothek 1)"},
    {K::Label,         IDC_STATIC,            "labelLib1Class2",        "Klassifizierung 2:",                       21, 346,  61,  14, nullptr},
    {K::Label,         IDC_STATIC,            "labelLib2Symbol",        "Symbol:",                                 462, 301,  40,  14, nullptr},
    {K::Label,         IDC_STATIC,            "labelLib2Designation",   "Bezeichnung:",                            462, 316,  40,  14, nullptr},
    {K::Label,         IDC_STATIC,            "labelLib2Class1",        "Klassifizierung 1:",                      462, 329,  69,  14, nullptr},
    {K::Edit,          IDC_LIB2_SYMBOL,       "IDC_LIB2_SYMBOL",        "",                                        527, 300, 124,  14, "Symbol (Bibliothek 2)"},
    {K::Edit,          IDC_LIB2_DESIGNATION,  "IDC_LIB2_DESIGNATION",   "",                                        527, 314, 124,  14, "Bezeichnung (Bibliothek 2)"},
    {K::Edit,          IDC_LIB2_CLASS1,       "IDC_LIB2_CLASS1",        "",                                        527, 329, 124,  14, "Klassifizierung 1 (Bibliothek 2)"},
    {K::Edit,          IDC_LIB2_CLASS2,       "IDC_LIB2_CLASS2",        "",                                        527, 342, 124,  14, "Klassifizierung 2 (Bibliothek 2)"},
    {K::Label,         IDC_STATIC,            "labelLib2Class2",        "Klassifizierung 2:",                      462, 343,  61,  14, nullptr},
    {K::Label,         IDC_STATIC,            "labelCommonSymbol",      "Symbol:",                                 240, 303,  40,  14, nullptr},
    {K::Label,         IDC_STATIC,            "labelCommonDesignation", "Bezeichnung:",                            240, 316,  40,  14, nullptr},
    {K::Label,         IDC_STATIC,            "labelCommonClass1",      "Klassifizierung 1:",                      240, 330,  69,  14, nullptr},
    {K::Edit,          IDC_COMMON_SYMBOL,     "IDC_COMMON_SYMBOL",      "",                                        306, 300, 124,  14, "Symbol (Gemeinsam)"},
    {K::Edit,          IDC_COMMON_DESIGNATION,"IDC_COMMON_DESIGNATION", "",                                        306, 316, 124,  14, "Bezeichnung (Gemeinsam)"},
    {K::Edit,          IDC_COMMON_CLASS1,     "IDC_COMMON_CLASS1",      "",                                        306, 330, 124,  14, "Klassifizierung 1 (Gemeinsam)"},
    {K::Edit,          IDC_COMMON_CLASS2,     "IDC_COMMON_CLASS2",      "",                                        306, 343, 124,  14, "Klassifizierung 2 (Gemeinsam)"},
    {K::Label,         IDC_STATIC,            "labelCommonClass2",      "Klassifizierung 2:",                      240, 343,  61,  14, nullptr},
    {K::GroupBox,      IDC_STATIC,            "groupCommon",            "",                                        234,  60, 204, 306, nullptr},
};
// clang-format on

constexpr DialogTemplate kTemplate = {
    "TORVEX_Bibliotheks_Vergleich", 670, 388, "MS Shell Dlg", 8, kControls,
};

}  // namespace

const DialogTemplate& LibCompareDialogTemplate() {
    return kTemplate;
}

DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    const int alphabet = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    baseX_ = (alphabet / 26 + 1) / 2;
    baseY_ = metrics.height();
}

int DialogUnits::X(int dialogUnits) const {
    return (dialogUnits * baseX_ + 2) / 4;
}
int DialogUnits::Y(int dialogUnits) const {
    return (dialogUnits * baseY_ + 4) / 8;
}

QRect DialogUnits::Rect(int x, int y, int width, int height) const {
    // Both edges are converted, as the platform maps a rectangle.
    const int left = X(x), top = Y(y);
    return {left, top, X(x + width) - left, Y(y + height) - top};
}
