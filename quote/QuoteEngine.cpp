#include "quote/QuoteEngine.h"

#include "Main/model/SpecSheet.h"
#include "Main/model/WallDesign.h"
#include "Main/model/WallDesignEditor.h"
#include "Main/model/WallGeometry.h"
#include "shell/lang/LanguageTable.h"

namespace {

// The main window's side of the editor, without a window: what the message box would show is
// kept; spinners, radios and labels have nothing to show.
class RecordingView : public IWallDesignView {
public:
    void ShowCount(int, int) override {}
    void ShowLampstand(double) override {}
    void ShowOrientation(int) override {}
    void ShowModelName(const std::wstring&) override {}
    void ShowMessage(const std::wstring&, const std::wstring& text) override {
        messages.push_back(text);
    }
    std::vector<std::wstring> messages;
};

void Apply(WallDesignEditor& editor, const ProductParameter& record) {
    editor.ApplyModel(record.model, record.panelWidthMm, record.panelHeightMm);
}

}  // namespace

const ProductParameter* FindModel(const ProductCatalogue& catalogue, const WallRequest& request) {
    if (!request.modelName.empty()) {
        for (const auto& [line, record] : catalogue) {
            if (record.model == request.modelName) {
                return &record;
            }
        }
        return nullptr;
    }
    return CatalogueRecordAt(catalogue, request.modelRow >= 0 ? request.modelRow : 0);
}

WallQuote QuoteWall(const ProductCatalogue& catalogue, const ProductParameter& model,
                    const WallRequest& request) {
    WallGeometry geometry;
    RecordingView view;
    WallDesignEditor editor(geometry, view);
    geometry.SetListener(&editor);

    Apply(editor, *CatalogueRecordAt(catalogue, 0));
    if (request.feet) {
        editor.ApplyMetersToFeet();
    }
    if (request.hasWall) {
        editor.ApplyWallSize(request.width, request.height);
    }
    if (request.hasLampstand && request.lampstand != editor.Design().lampstand) {
        editor.ApplyLampstand(request.lampstand);
    }
    Apply(editor, model);
    if (request.portrait && editor.ApplyOrientationChange() == 0) {
        // The parameter panel shows this refusal itself, with the attention title.
        view.ShowMessage(WallDesign::AttentionTitle(),
                         editor.Design().AttentionText(kAttentionOrientation));
    }
    if (request.fit) {
        editor.ApplyFitToRoom();
    } else {
        editor.ApplyCount(1, request.columns);
        editor.ApplyCount(0, request.rows);
    }

    WallQuote quote;
    const WallDesign& design = editor.Design();
    quote.columns = design.columns;
    quote.rows = design.rows;
    quote.landscape = design.landscape == 1;
    quote.attention = std::move(view.messages);
    if (quote.columns <= 0 || quote.rows <= 0) {
        quote.attention.push_back(Translate(L"No display fits on this wall."));
    }
    SetProductInfo(quote.sheet, model);
    SetScreenConfiguration(quote.sheet, quote.columns, quote.rows);
    return quote;
}
