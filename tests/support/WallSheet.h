#pragma once
// One wall as a user states it, fed both to the window (a Qt Test types it into the parameter
// panel) and to tessaro-quote (QuoteArguments), and the sheet the window's own rules make of it
// (SheetForWall): the reference both are compared with. Plain C++ (no gtest, no widgets);
// link main_model.
//
// The user's steps, in the window's order: the program starts with the first catalogue record
// applied; then the unit, the wall size and the lampstand (step 1 of the panel, left to right;
// the lampstand only when it differs from the current one, as the spinner reports only a
// change), the model, the orientation, Fit To Room or the columns then the rows; then the
// "Data output" page (SetProductInfo with the model, SetScreenConfiguration with the counts).
#include <charconv>
#include <string>
#include <vector>

#include "Main/model/ProductCatalogue.h"
#include "Main/model/SpecSheet.h"
#include "Main/model/WallDesign.h"
#include "Main/model/WallDesignEditor.h"
#include "Main/model/WallGeometry.h"

namespace testsupport {

struct WallDescription {
    double width = 6.0;  // wall and lampstand in metres, or in feet when `feet`
    double height = 2.0;
    double lampstand = 1.0;
    bool feet = false;
    int modelRow = 0;  // catalogue row, from 0
    bool fit = true;   // Fit To Room, else `columns` × `rows`
    int columns = 1;
    int rows = 1;
    bool portrait = false;
};

struct WallSheet {
    SpecSheetValues values;
    int columns = 0;
    int rows = 0;
    bool landscape = true;
    std::vector<std::wstring> messages;  // what the window's message box showed, in order
};

// The options of tessaro-quote that state the wall (without the program name).
inline std::vector<std::string> QuoteArguments(const WallDescription& d) {
    auto number = [](double v) {
        char buffer[64];
        return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, v).ptr);
    };
    std::vector<std::string> args = {"--wall",      number(d.width) + "x" + number(d.height),
                                     "--lampstand", number(d.lampstand),
                                     "--unit",      d.feet ? "ft" : "m",
                                     "--model-row", std::to_string(d.modelRow)};
    if (d.portrait) {
        args.push_back("--portrait");
    }
    if (d.fit) {
        args.push_back("--fit");
    } else {
        args.insert(args.end(),
                    {"--layout", std::to_string(d.columns) + "x" + std::to_string(d.rows)});
    }
    return args;
}

// The wall through WallDesignEditor over a WallGeometry, in the order above. `catalogue` must
// hold row 0 and `d.modelRow`.
inline WallSheet SheetForWall(const ProductCatalogue& catalogue, const WallDescription& d) {
    struct View : IWallDesignView {
        void ShowCount(int, int) override {}
        void ShowLampstand(double) override {}
        void ShowOrientation(int) override {}
        void ShowModelName(const std::wstring&) override {}
        void ShowMessage(const std::wstring&, const std::wstring& text) override {
            messages.push_back(text);
        }
        std::vector<std::wstring> messages;
    } view;
    WallGeometry geometry;
    WallDesignEditor editor(geometry, view);
    geometry.SetListener(&editor);
    auto choose = [&](int row) {
        const ProductParameter* record = CatalogueRecordAt(catalogue, row);
        editor.ApplyModel(record->model, record->panelWidthMm, record->panelHeightMm);
        return record;
    };

    choose(0);
    if (d.feet) {
        editor.ApplyMetersToFeet();
    }
    editor.ApplyWallSize(d.width, d.height);
    if (d.lampstand != editor.Design().lampstand) {
        editor.ApplyLampstand(d.lampstand);
    }
    const ProductParameter* model = choose(d.modelRow);
    if (d.portrait && editor.ApplyOrientationChange() == 0) {
        view.messages.push_back(editor.Design().AttentionText(kAttentionOrientation));
    }
    if (d.fit) {
        editor.ApplyFitToRoom();
    } else {
        editor.ApplyCount(1, d.columns);
        editor.ApplyCount(0, d.rows);
    }

    WallSheet sheet;
    sheet.columns = editor.Design().columns;
    sheet.rows = editor.Design().rows;
    sheet.landscape = editor.Design().landscape == 1;
    sheet.messages = view.messages;
    SetProductInfo(sheet.values, *model);
    SetScreenConfiguration(sheet.values, sheet.columns, sheet.rows);
    return sheet;
}

}  // namespace testsupport
